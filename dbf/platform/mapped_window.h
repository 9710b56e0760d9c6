// TMappedWindow: reads of a file through a shared, read-only memory map of a
// window of it, so that a walk over small records costs a copy per record
// instead of a system call. A shared map shows the file's page cache, so it
// sees every write to the file (this process's and other processes') at once,
// exactly as a positioned read would.
//
// Contract:
// - ReadAt copies count bytes at offset when they lie inside the file as it
//   was when the window was mapped. A read outside the window moves the
//   window (re-reading the file size) only when it looks like part of a walk:
//   just outside the window, or close to the last read that missed. Otherwise,
//   and when the bytes cannot be served (beyond the end, too large, no map
//   possible), it answers false and the caller reads them with pread. A true
//   answer always means all count bytes were copied.
// - A file that another program truncates under the window makes the copy
//   fault; the fault is caught (SIGBUS), the window dropped and false
//   answered, so the caller's pread reports the file as it now is.
// - Drop must be called whenever this process changes the file's size.
// - Bytes appended after the window reached the end of the file are left to
//   pread until the file has grown by half a window.
// - Only the window's pages are mapped, so the resident memory of a walk does
//   not grow with the file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dbf::platform {

class TMappedWindow {
public:
    TMappedWindow() = default;
    ~TMappedWindow() { Drop(); }
    TMappedWindow(const TMappedWindow&) = delete;
    TMappedWindow& operator=(const TMappedWindow&) = delete;

    bool ReadAt(int descriptor, int64_t offset, void* buffer, size_t count);
    void Drop() noexcept;

private:
    bool Covers(int64_t offset, size_t count) const {
        return FBase != nullptr && offset >= FStart && offset + static_cast<int64_t>(count) <= FEnd;
    }
    bool WorthMapping(int64_t offset) const;
    bool IsFreshTail(int64_t offset) const;
    bool Map(int descriptor, int64_t offset, size_t count);

    const char* FBase = nullptr;  // the map of bytes FStart..FEnd of the file
    size_t FLength = 0;           // length of the map
    int64_t FStart = 0;
    int64_t FEnd = 0;
    int64_t FFileSizeWhenMapped = 0;
    int64_t FLastMiss = -1;  // offset of the last read left to pread; -1 before any
};

}  // namespace dbf::platform
