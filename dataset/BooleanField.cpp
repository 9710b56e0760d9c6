#include "dataset/BooleanField.h"

#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"

#include <cctype>

namespace ds {

namespace {

// The text is a case-insensitive beginning of the word, of at most its length.
bool IsBeginningOf(const std::string& text, const std::string& word) {
    if (text.size() > word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    }
    return true;
}

}  // namespace

bool TBooleanField::AsBoolean() const {
    int16_t value = 0;
    return GetData(&value) && value != 0;
}

void TBooleanField::SetAsBoolean(bool value) {
    const int16_t native = value ? 1 : 0;
    SetData(&native);
}

std::string TBooleanField::AsString() const {
    int16_t value = 0;
    if (!GetData(&value)) return {};
    return value != 0 ? "True" : "False";
}

void TBooleanField::SetAsString(const std::string& value) {
    if (value.empty()) Clear();
    else if (IsBeginningOf(value, "False")) SetAsBoolean(false);
    else if (IsBeginningOf(value, "True")) SetAsBoolean(true);
    else DatabaseError(Format(msg::InvalidBoolValue, value.c_str(), DisplayName().c_str()));
}

TVariant TBooleanField::Value() const {
    int16_t value = 0;
    if (!GetData(&value)) return {};
    return value != 0;
}

}  // namespace ds
