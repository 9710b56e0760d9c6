// TBooleanField: true, false or null; its value buffer is an int16 (non-zero
// = true). As text it reads "True", "False" or "" (null). A written text
// clears the field when empty; otherwise it must be a case-insensitive
// beginning of "False" or of "True" (tried in that order), else it raises
// "'%s' is not a valid boolean value for field '%s'".
#pragma once

#include "dataset/Field.h"

namespace ds {

class TBooleanField : public TField {
public:
    TBooleanField() : TField(ftBoolean, 0) {}

    int DataSize() const override { return sizeof(int16_t); }

    bool AsBoolean() const override;
    void SetAsBoolean(bool value) override;
    std::string AsString() const override;
    void SetAsString(const std::string& value) override;
    TVariant Value() const override;
};

}  // namespace ds
