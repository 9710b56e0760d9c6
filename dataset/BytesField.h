// TBytesField: exactly Size raw bytes kept in the record (ftBytes). AsString
// gives the bytes unchanged; a shorter written value is padded with zero
// bytes, a longer one cut. A grid shows "(Bytes)".
#pragma once

#include "dataset/Field.h"

namespace ds {

class TBytesField : public TField {
public:
    explicit TBytesField(int size = 16) : TField(ftBytes, size) {}

    int DataSize() const override { return Size(); }

    std::string AsString() const override;
    void SetAsString(const std::string& value) override;
    TVariant Value() const override;
    std::string DisplayText() const override { return "(Bytes)"; }
};

}  // namespace ds
