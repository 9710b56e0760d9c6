#include "dataset/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace ds {

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (FPosition >= FBytes.size()) return 0;
    const size_t got = std::min(count, FBytes.size() - FPosition);
    std::memcpy(buffer, FBytes.data() + FPosition, got);
    FPosition += got;
    return got;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    if (FPosition + count > FBytes.size()) FBytes.resize(FPosition + count);
    std::memcpy(FBytes.data() + FPosition, buffer, count);
    FPosition += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    if (origin == soCurrent) base = static_cast<int64_t>(FPosition);
    if (origin == soEnd) base = Size();
    if (base + offset < 0) throw std::out_of_range("Stream seek before the beginning");
    FPosition = static_cast<size_t>(base + offset);
    return base + offset;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) throw std::out_of_range("Negative stream size");
    FBytes.resize(static_cast<size_t>(size));
    FPosition = std::min(FPosition, FBytes.size());
}

void TMemoryStream::Clear() {
    FBytes.clear();
    FPosition = 0;
}

}  // namespace ds
