#include "dataset/BytesField.h"

namespace ds {

std::string TBytesField::AsString() const {
    std::string bytes(static_cast<size_t>(Size()), '\0');
    if (!GetData(bytes.data())) return {};
    return bytes;
}

void TBytesField::SetAsString(const std::string& value) {
    std::string bytes = value;
    bytes.resize(static_cast<size_t>(Size()), '\0');
    SetData(bytes.data());
}

TVariant TBytesField::Value() const {
    if (IsNull()) return {};
    return AsString();
}

}  // namespace ds
