// TMemoryStream: a TStream whose bytes live in memory. Subclasses (a table's
// memo cache, for example) reuse its storage and may look at it directly.
#pragma once

#include "dataset/Stream.h"

#include <vector>

namespace ds {

class TMemoryStream : public TStream {
public:
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() const override { return static_cast<int64_t>(FBytes.size()); }
    void SetSize(int64_t size) override;

    void Clear();
    char* Memory() { return FBytes.data(); }
    const char* Memory() const { return FBytes.data(); }

private:
    std::vector<char> FBytes;
    size_t FPosition = 0;
};

}  // namespace ds
