#include "dbf/platform/mapped_window.h"

#include <algorithm>
#include <cstdlib>
#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dbf::platform {

namespace {

// A window of 2 MiB: large enough that re-mapping is rare, small enough
// that a walk's resident memory stays flat.
constexpr int64_t kWindowSize = int64_t{2} << 20;
// Larger transfers (memo blocks of whole files, headers) go to pread.
constexpr size_t kLargestMappedRead = 64 * 1024;
// Two reads this close together are taken for the start of a walk.
constexpr int64_t kNearbyRead = 64 * 1024;

// The copy in progress on this thread, for the SIGBUS handler.
thread_local sigjmp_buf* tCopyGuard = nullptr;
struct sigaction gPreviousBusAction {};

void PassToPreviousHandler(int signal, siginfo_t* info, void* context) {
    if (gPreviousBusAction.sa_flags & SA_SIGINFO) {
        gPreviousBusAction.sa_sigaction(signal, info, context);
    } else if (gPreviousBusAction.sa_handler != SIG_IGN && gPreviousBusAction.sa_handler != SIG_DFL) {
        gPreviousBusAction.sa_handler(signal);
    } else {
        // Not a fault of ours: let it do what it would have done without us,
        // for a fault (which recurs on return) and for a raised signal alike.
        sigaction(SIGBUS, &gPreviousBusAction, nullptr);
        raise(signal);
    }
}

void OnBusError(int signal, siginfo_t* info, void* context) {
    if (tCopyGuard != nullptr) siglongjmp(*tCopyGuard, 1);
    PassToPreviousHandler(signal, info, context);
}

void InstallBusHandlerOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        // SA_NODEFER: the handler leaves by siglongjmp without restoring the
        // signal mask, so SIGBUS must not stay blocked.
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &gPreviousBusAction);
    });
}

// Copies from the map; false when the pages vanished under the copy.
bool GuardedCopy(void* buffer, const char* source, size_t count) {
    sigjmp_buf guard;
    if (sigsetjmp(guard, 0) != 0) {
        tCopyGuard = nullptr;
        return false;
    }
    tCopyGuard = &guard;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(buffer, source, count);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    tCopyGuard = nullptr;
    return true;
}

int64_t PageSize() {
    static const int64_t size = sysconf(_SC_PAGESIZE);
    return size;
}

}  // namespace

bool TMappedWindow::ReadAt(int descriptor, int64_t offset, void* buffer, size_t count) {
    if (count > kLargestMappedRead || offset < 0) return false;
    if (!Covers(offset, count) && !(WorthMapping(offset) && Map(descriptor, offset, count))) {
        FLastMiss = offset;
        return false;
    }
    if (GuardedCopy(buffer, FBase + (offset - FStart), count)) return true;
    Drop();  // the file shrank under the map
    return false;
}

void TMappedWindow::NoteExtent(int64_t end) {
    if (FBase != nullptr) FKnownEnd = std::max(FKnownEnd, end);
}

// A map pays off for a walk, not for a jump: a read just outside the window
// continues a walk through it, and a second read close to the last one that
// missed starts one. Anything else (a header between records, a jump of a
// grid) is a single pread and leaves the window where it is. Inside the map
// but beyond the known end (records another process appended) pread finds
// out whether the bytes exist, and NoteExtent lets the map serve them next.
bool TMappedWindow::WorthMapping(int64_t offset) const {
    if (FBase != nullptr && offset >= FStart && offset < FMapEnd) return false;
    if (FBase != nullptr && offset >= FStart - kWindowSize && offset < FMapEnd + kWindowSize) return true;
    return FLastMiss >= 0 && std::abs(offset - FLastMiss) <= kNearbyRead;
}

bool TMappedWindow::Map(int descriptor, int64_t offset, size_t count) {
    Drop();
    struct stat info {};
    if (fstat(descriptor, &info) != 0) return false;
    if (offset + static_cast<int64_t>(count) > info.st_size) return false;
    // A little room before the offset keeps a backward walk from re-mapping at every step.
    const int64_t start = std::max<int64_t>(0, offset - kWindowSize / 4) / PageSize() * PageSize();
    InstallBusHandlerOnce();
    void* base = mmap(nullptr, static_cast<size_t>(kWindowSize), PROT_READ, MAP_SHARED, descriptor, start);
    if (base == MAP_FAILED) return false;
    FBase = static_cast<const char*>(base);
    FStart = start;
    FMapEnd = start + kWindowSize;
    FKnownEnd = info.st_size;
    return true;
}

void TMappedWindow::Drop() noexcept {
    if (FBase != nullptr) munmap(const_cast<char*>(FBase), static_cast<size_t>(kWindowSize));
    FBase = nullptr;
    FStart = FMapEnd = FKnownEnd = 0;
}

}  // namespace dbf::platform
