// TMappedWindow: reads of a file through a shared, read-only memory map of a
// window of it, so that a walk over small records costs a copy per record
// instead of a system call. A shared map shows the file's page cache, so it
// sees every write to the file (this process's and other processes') at once,
// exactly as a positioned read would.
//
// Contract:
// - The map spans a whole window even where the file ends inside it, but
//   only bytes known to exist are copied from it: the file's size when the
//   window was mapped, raised by this handle's own writes and reads
//   (NoteExtent). So the record a handle has just appended is read back from
//   the map, and a byte beyond the file's end is never taken for data.
// - ReadAt answers true only when it copied all count bytes. A read outside
//   the window moves the window (re-reading the file size) only when it looks
//   like part of a walk: just outside the window, or close to the last read
//   that missed. Otherwise, and when the bytes cannot be served (beyond the
//   known end, too large, no map possible), it answers false and the caller
//   reads them with pread.
// - A file that another program truncates under the window makes the copy
//   fault; the fault is caught (SIGBUS), the window dropped and false
//   answered, so the caller's pread reports the file as it now is.
// - Drop must be called whenever this process changes the file's size other
//   than by writing.
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
    // The file holds at least the bytes up to end (a write or read reached it).
    void NoteExtent(int64_t end);
    void Drop() noexcept;

private:
    bool Covers(int64_t offset, size_t count) const {
        return FBase != nullptr && offset >= FStart && offset + static_cast<int64_t>(count) <= FKnownEnd &&
               offset + static_cast<int64_t>(count) <= FMapEnd;
    }
    bool WorthMapping(int64_t offset) const;
    bool Map(int descriptor, int64_t offset, size_t count);

    const char* FBase = nullptr;  // the map of bytes FStart..FMapEnd of the file
    int64_t FStart = 0;
    int64_t FMapEnd = 0;
    int64_t FKnownEnd = 0;   // the file holds at least the bytes before this offset
    int64_t FLastMiss = -1;  // offset of the last read left to pread; -1 before any
};

}  // namespace dbf::platform
