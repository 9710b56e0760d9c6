#include "dbf/platform/files.h"

#include "dbf/messages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace dbf::platform {

namespace {

// One retry loop for every call that EINTR may cut short.
template <typename Call>
auto RetryOnInterrupt(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

bool SetLock(int descriptor, short type, int64_t offset, int64_t length) {
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = offset;
    request.l_len = length;
    request.l_pid = 0;  // required to be 0 for open-file-description locks
    return RetryOnInterrupt([&] { return fcntl(descriptor, F_OFD_SETLK, &request); }) == 0;
}

bool IsLockConflict(int error) { return error == EAGAIN || error == EACCES; }

// The sharing lock of a mode: none for readers, a read lock for shared
// writers (they tolerate each other), a write lock for an exclusive writer.
bool TakeSharingLock(int descriptor, TFileOpenMode mode) {
    switch (mode) {
        case TFileOpenMode::ReadShared: return true;
        case TFileOpenMode::ReadWriteShared: return SetLock(descriptor, F_RDLCK, kSharingByte, 1);
        case TFileOpenMode::ReadWriteExclusive: return SetLock(descriptor, F_WRLCK, kSharingByte, 1);
    }
    return false;
}

[[noreturn]] void ThrowOpenError(const std::string& path, int error) {
    throw EFOpenError(Format(msg::CannotOpenFile, path.c_str(), std::strerror(error)));
}

}  // namespace

TFile TFile::Open(const std::string& path, TFileOpenMode mode) {
    const bool writable = mode != TFileOpenMode::ReadShared;
    const int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    const int descriptor = RetryOnInterrupt([&] { return ::open(path.c_str(), flags); });
    if (descriptor < 0) ThrowOpenError(path, errno);
    TFile file(descriptor, writable);
    if (!TakeSharingLock(descriptor, mode)) {
        // A held sharing lock is the emulated sharing violation: the file is in use.
        ThrowOpenError(path, IsLockConflict(errno) ? EBUSY : errno);
    }
    return file;
}

void TFile::CreateEmpty(const std::string& path) {
    const int descriptor = RetryOnInterrupt(
        [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666); });
    if (descriptor < 0) {
        throw EFCreateError(Format(msg::CannotCreateFile, path.c_str(), std::strerror(errno)));
    }
    ::close(descriptor);
}

TFile::TFile(int descriptor, bool writable)
    : FDescriptor(descriptor), FWritable(writable), FWindow(std::make_unique<TMappedWindow>()) {}

TFile::TFile(TFile&& other) noexcept
    : FDescriptor(other.FDescriptor), FWritable(other.FWritable), FWindow(std::move(other.FWindow)) {
    other.FDescriptor = -1;
}

TFile& TFile::operator=(TFile&& other) noexcept {
    if (this != &other) {
        Release();
        FDescriptor = other.FDescriptor;
        FWritable = other.FWritable;
        FWindow = std::move(other.FWindow);
        other.FDescriptor = -1;
    }
    return *this;
}

TFile::~TFile() { Release(); }

void TFile::Release() noexcept {
    FWindow.reset();
    if (FDescriptor >= 0) ::close(FDescriptor);  // also drops every lock of this description
    FDescriptor = -1;
}

size_t TFile::ReadAt(int64_t offset, void* buffer, size_t count) const {
    if (offset < 0) return 0;
    if (FWindow && FWindow->ReadAt(FDescriptor, offset, buffer, count)) return count;
    auto* bytes = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t got = RetryOnInterrupt(
            [&] { return ::pread(FDescriptor, bytes + done, count - done, offset + static_cast<int64_t>(done)); });
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    if (FWindow && done > 0) FWindow->NoteExtent(offset + static_cast<int64_t>(done));
    return done;
}

size_t TFile::WriteAt(int64_t offset, const void* buffer, size_t count) const {
    if (offset < 0) return 0;
    const auto* bytes = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t put = RetryOnInterrupt(
            [&] { return ::pwrite(FDescriptor, bytes + done, count - done, offset + static_cast<int64_t>(done)); });
        if (put <= 0) break;
        done += static_cast<size_t>(put);
    }
    if (FWindow && done > 0) FWindow->NoteExtent(offset + static_cast<int64_t>(done));
    return done;
}

int64_t TFile::Size() const {
    struct stat info {};
    if (::fstat(FDescriptor, &info) != 0) return 0;
    return info.st_size;
}

bool TFile::SetSize(int64_t size) const {
    if (size < 0) return false;
    if (FWindow) FWindow->Drop();  // a map beyond a shrunk end would fault
    return RetryOnInterrupt([&] { return ::ftruncate(FDescriptor, size); }) == 0;
}

TLockOutcome TFile::Lock(int64_t offset, int64_t length) const {
    // A length of 0 would mean "to the end and beyond" and swallow the sharing byte.
    if (length <= 0) return TLockOutcome::Failed;
    // A read-only descriptor cannot hold a write lock on Linux; its read lock
    // still excludes every writer's lock on the range.
    if (SetLock(FDescriptor, FWritable ? F_WRLCK : F_RDLCK, offset, length)) return TLockOutcome::Granted;
    return IsLockConflict(errno) ? TLockOutcome::Violation : TLockOutcome::Failed;
}

bool TFile::Unlock(int64_t offset, int64_t length) const {
    if (length <= 0) return false;
    return SetLock(FDescriptor, F_UNLCK, offset, length);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameNoReplace(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

void Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

}  // namespace dbf::platform
