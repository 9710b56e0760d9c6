// Files of the platform layer: opening with an access and sharing mode,
// positioned reads and writes, sizing, byte-range locks, existence tests,
// deletion, renaming without replacing, and the short pauses of lock retries.
// Nothing else in the engine calls the operating system for these.
//
// Contract:
// - TFile owns one open file description; it is closed when the object dies.
//   Reads and writes loop over partial transfers and return the number of bytes
//   actually moved, so a caller sees a short write instead of losing it.
//   Small reads are served from a shared map of a window of the file
//   (TMappedWindow), which sees every write as a read would.
// - Byte-range locks are exclusive open-file-description locks: two TFile
//   objects on the same file exclude each other even inside one process, and
//   closing one releases only its own locks. They are advisory and never block
//   plain reads or writes.
// - Sharing modes are emulated with a lock on the reserved byte kSharingByte,
//   beyond every offset the file formats lock (see TFileOpenMode). An open
//   that cannot take that lock fails like a sharing violation.
// - Failures to open or create raise EFOpenError / EFCreateError with the
//   platform texts "Cannot open file "%s". %s" / "Cannot create file "%s". %s".
#pragma once

#include "dbf/common.h"
#include "dbf/platform/mapped_window.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace dbf::platform {

class EFOpenError : public ETableError {
public:
    using ETableError::ETableError;
};

class EFCreateError : public ETableError {
public:
    using ETableError::ETableError;
};

// The three access and sharing combinations the engine opens files with.
enum class TFileOpenMode {
    ReadShared,          // read only, others may read and write (0x40); no sharing lock
    ReadWriteShared,     // read and write, others may read and write (0x42); read lock
    ReadWriteExclusive,  // read and write, others may read but not write (0x22); write lock
};

// Outcome of a byte-range lock request; Violation is the platform's
// "lock violation": another handle holds a conflicting lock.
enum class TLockOutcome { Granted, Violation, Failed };

// The byte whose lock stands for the sharing mode of a handle.
inline constexpr int64_t kSharingByte = 0x100000000LL;

class TFile {
public:
    // Opens an existing file; EFOpenError when it cannot be opened or its
    // sharing lock is held by a handle that excludes this mode.
    static TFile Open(const std::string& path, TFileOpenMode mode);

    // Creates the file (or empties an existing one) and closes it again.
    static void CreateEmpty(const std::string& path);

    TFile(TFile&& other) noexcept;
    TFile& operator=(TFile&& other) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    ~TFile();

    size_t ReadAt(int64_t offset, void* buffer, size_t count) const;
    size_t WriteAt(int64_t offset, const void* buffer, size_t count) const;
    int64_t Size() const;
    bool SetSize(int64_t size) const;

    TLockOutcome Lock(int64_t offset, int64_t length) const;
    bool Unlock(int64_t offset, int64_t length) const;

private:
    TFile(int descriptor, bool writable);
    void Release() noexcept;

    int FDescriptor = -1;
    bool FWritable = false;
    std::unique_ptr<TMappedWindow> FWindow;
};

// True when path names an existing file that is not a folder.
bool FileExists(const std::string& path);

// Removes the file; false when it could not be removed.
bool DeleteFile(const std::string& path);

// Renames from to to; false when to exists already or the rename fails.
bool RenameNoReplace(const std::string& from, const std::string& to);

// The pauses between lock retries (1 and 10 ms).
void Pause(std::chrono::milliseconds duration);

}  // namespace dbf::platform
