#include "dataset/StringField.h"

#include "dataset/ConvertError.h"
#include "dataset/DataSet.h"
#include "dataset/DataSetStr.h"
#include "dataset/DateTimeUtils.h"
#include "dataset/TextConvert.h"

#include <cstring>
#include <vector>

namespace ds {

TStringField::TStringField(int size, TFieldType dataType) : TField(dataType, size) {
    SetTransliterate(true);
}

// A string rather than a vector as the value buffer: short fields then
// need no heap allocation, and a walk reads every field of every record.
std::string TStringField::AsString() const {
    std::string buffer(static_cast<size_t>(DataSize()), '\0');
    if (!GetData(buffer.data())) return {};
    buffer.back() = '\0';
    if (Transliterate() && buffer[0] != '\0') DataSet()->Translate(buffer.data(), buffer.data(), false);
    buffer.resize(std::strlen(buffer.c_str()));
    return DataSet()->TextFromAnsi(buffer);
}

void TStringField::SetAsString(const std::string& value) {
    std::string ansi = DataSet()->AnsiFromText(value);
    if (ansi.size() > static_cast<size_t>(Size())) ansi.resize(static_cast<size_t>(Size()));
    std::vector<char> buffer(ansi.begin(), ansi.end());
    buffer.resize(static_cast<size_t>(DataSize()), '\0');
    if (Transliterate() && !ansi.empty()) DataSet()->Translate(buffer.data(), buffer.data(), true);
    SetData(buffer.data());
}

int32_t TStringField::AsInteger() const { return TextToInt(AsString()); }
void TStringField::SetAsInteger(int32_t value) { SetAsString(std::to_string(value)); }
int64_t TStringField::AsLargeInt() const { return TextToInt64(AsString()); }
void TStringField::SetAsLargeInt(int64_t value) { SetAsString(std::to_string(value)); }

bool TStringField::AsBoolean() const {
    const std::string text = AsString();
    return !text.empty() && std::string("YyTt1").find(text[0]) != std::string::npos;
}

void TStringField::SetAsBoolean(bool value) { SetAsString(value ? "T" : "F"); }
double TStringField::AsFloat() const { return TextToFloat(AsString()); }
void TStringField::SetAsFloat(double value) { SetAsString(FloatToText(value)); }

TDateTime TStringField::AsDateTime() const {
    const std::string text = AsString();
    const auto value = TextToDateTime(text);
    if (!value) throw EConvertError(Format(msg::InvalidDateTime, text.c_str()));
    return *value;
}

void TStringField::SetAsDateTime(TDateTime value) { SetAsString(DateTimeToText(value)); }

TVariant TStringField::Value() const {
    if (IsNull()) return {};
    return AsString();
}

}  // namespace ds
