// The engine's byte streams. Every file access of the engine goes through
// TStream, so the paged file does not care whether its bytes live in a file,
// in memory or in a stream the caller supplied (tests use one that fails).
//
// Contract:
// - ReadAt/WriteAt transfer at an absolute offset and return the number of
//   bytes actually moved; 0 at or beyond the end for reads, less than asked
//   for a failed or short write. Negative offsets transfer nothing.
// - Read/Write work at Position() and advance it by the bytes moved; Seek
//   sets the position (it may lie beyond the end; a write there extends).
// - SetSize truncates or extends (with zero bytes) and reports failure.
// - Lock/Unlock are byte-range locks; a stream without a file behind it has
//   nobody to share with and grants every lock.
#pragma once

#include "dbf/platform/files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dbf {

class TStream {
public:
    virtual ~TStream() = default;

    virtual size_t ReadAt(int64_t offset, void* buffer, size_t count) = 0;
    virtual size_t WriteAt(int64_t offset, const void* buffer, size_t count) = 0;
    virtual int64_t Size() const = 0;
    virtual bool SetSize(int64_t size) = 0;
    virtual platform::TLockOutcome Lock(int64_t offset, int64_t length);
    virtual bool Unlock(int64_t offset, int64_t length);

    size_t Read(void* buffer, size_t count);
    size_t Write(const void* buffer, size_t count);
    void Seek(int64_t position) { FPosition = position; }
    int64_t Position() const { return FPosition; }

private:
    int64_t FPosition = 0;
};

// A stream over an open platform file; the file is closed with the stream.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, platform::TFileOpenMode mode);

    size_t ReadAt(int64_t offset, void* buffer, size_t count) override;
    size_t WriteAt(int64_t offset, const void* buffer, size_t count) override;
    int64_t Size() const override;
    bool SetSize(int64_t size) override;
    platform::TLockOutcome Lock(int64_t offset, int64_t length) override;
    bool Unlock(int64_t offset, int64_t length) override;

private:
    platform::TFile FFile;
};

// A stream over a growable byte buffer.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}

    size_t ReadAt(int64_t offset, void* buffer, size_t count) override;
    size_t WriteAt(int64_t offset, const void* buffer, size_t count) override;
    int64_t Size() const override { return static_cast<int64_t>(FBytes.size()); }
    bool SetSize(int64_t size) override;

    const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
};

}  // namespace dbf
