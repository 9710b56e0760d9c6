// TStream: a sequence of bytes with a position, as blob and memo fields read
// and write their content. Read and Write move at most the asked number of
// bytes at the position and advance it; Seek places the position anywhere
// from 0 on (a write beyond the end extends the stream); SetSize cuts or
// extends with zero bytes. Failures raise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace ds {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;

    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size() const = 0;
    virtual void SetSize(int64_t size) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }

    // The bytes from the position to the end; the position moves to the end.
    std::string ReadRest();
    void WriteAll(const std::string& bytes);
};

}  // namespace ds
