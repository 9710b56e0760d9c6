#include "dbf/index_tag.h"

#include "dbf/index_format.h"

#include <algorithm>
#include <cstring>

namespace dbf {

using namespace ixlayout;

int32_t TMdxTag::GetHeaderPageNo() const { return static_cast<int32_t>(Get32(FTag + kTagHeaderPageOffset)); }

void TMdxTag::SetHeaderPageNo(int32_t value) { Put32(FTag + kTagHeaderPageOffset, static_cast<uint32_t>(value)); }

std::string TMdxTag::GetTagName() const {
    const char* name = reinterpret_cast<const char*>(FTag + kTagNameOffset);
    return std::string(name, strnlen(name, static_cast<size_t>(FNameSize)));
}

// Cut to one byte less than the field, so the name is always terminated.
void TMdxTag::SetTagName(const std::string& value) {
    uint8_t* name = FTag + kTagNameOffset;
    std::memset(name, 0, static_cast<size_t>(FNameSize));
    std::memcpy(name, value.data(), std::min(value.size(), static_cast<size_t>(FNameSize - 1)));
}

TMdx4Tag::TMdx4Tag() : TMdxTag(kTagNameSize4, kTagFlagsOffset4) {}

TMdx7Tag::TMdx7Tag() : TMdxTag(kTagNameSize7, kTagFlagsOffset7) {}

std::unique_ptr<TMdxTag> NewMdxTag(bool level7) {
    if (level7) return std::make_unique<TMdx7Tag>();
    return std::make_unique<TMdx4Tag>();
}

}  // namespace dbf
