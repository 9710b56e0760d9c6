#include "dbf/stream.h"

#include <algorithm>
#include <cstring>

namespace dbf {

platform::TLockOutcome TStream::Lock(int64_t, int64_t) { return platform::TLockOutcome::Granted; }

bool TStream::Unlock(int64_t, int64_t) { return true; }

size_t TStream::Read(void* buffer, size_t count) {
    const size_t got = ReadAt(FPosition, buffer, count);
    FPosition += static_cast<int64_t>(got);
    return got;
}

size_t TStream::Write(const void* buffer, size_t count) {
    const size_t put = WriteAt(FPosition, buffer, count);
    FPosition += static_cast<int64_t>(put);
    return put;
}

TFileStream::TFileStream(const std::string& path, platform::TFileOpenMode mode)
    : FFile(platform::TFile::Open(path, mode)) {}

size_t TFileStream::ReadAt(int64_t offset, void* buffer, size_t count) {
    return FFile.ReadAt(offset, buffer, count);
}

size_t TFileStream::WriteAt(int64_t offset, const void* buffer, size_t count) {
    return FFile.WriteAt(offset, buffer, count);
}

int64_t TFileStream::Size() const { return FFile.Size(); }

bool TFileStream::SetSize(int64_t size) { return FFile.SetSize(size); }

platform::TLockOutcome TFileStream::Lock(int64_t offset, int64_t length) { return FFile.Lock(offset, length); }

bool TFileStream::Unlock(int64_t offset, int64_t length) { return FFile.Unlock(offset, length); }

size_t TMemoryStream::ReadAt(int64_t offset, void* buffer, size_t count) {
    if (offset < 0 || offset >= Size()) return 0;
    const size_t start = static_cast<size_t>(offset);
    const size_t got = std::min(count, FBytes.size() - start);
    if (got > 0) std::memcpy(buffer, FBytes.data() + start, got);
    return got;
}

size_t TMemoryStream::WriteAt(int64_t offset, const void* buffer, size_t count) {
    if (offset < 0) return 0;
    const size_t start = static_cast<size_t>(offset);
    if (start + count > FBytes.size()) FBytes.resize(start + count);
    if (count > 0) std::memcpy(FBytes.data() + start, buffer, count);
    return count;
}

bool TMemoryStream::SetSize(int64_t size) {
    if (size < 0) return false;
    FBytes.resize(static_cast<size_t>(size));
    return true;
}

}  // namespace dbf
