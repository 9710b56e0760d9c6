#include "dbf/table_field_vars.h"

#include "dbf/platform/text.h"
#include "dbf/table_file.h"

#include <algorithm>

namespace dbf {

TFieldVar::TFieldVar(const TFieldDescriptor& field, const TTableFile& table)
    : FFieldDef(&field), FTable(&table), FFieldName(field.FieldName()) {}

bool TFieldVar::Decode(TFieldType dataType, const uint8_t* buffer, void* dst) const {
    return FTable->GetFieldDataFromDef(*FFieldDef, dataType, buffer, dst, false);
}

std::unique_ptr<TFieldVar> TFieldVar::Create(const TFieldDescriptor& field, const TTableFile& table) {
    switch (field.FieldType()) {
        case TFieldType::ftString:
        case TFieldType::ftFixedChar: return std::make_unique<TStringFieldVar>(field, table);
        case TFieldType::ftSmallint:
        case TFieldType::ftWord:
        case TFieldType::ftInteger:
        case TFieldType::ftAutoInc: return std::make_unique<TIntegerFieldVar>(field, table);
        case TFieldType::ftLargeint: return std::make_unique<TLargeIntFieldVar>(field, table);
        case TFieldType::ftFloat:
        case TFieldType::ftCurrency:
        case TFieldType::ftBCD: return std::make_unique<TFloatFieldVar>(field, table);
        case TFieldType::ftDate:
        case TFieldType::ftDateTime: return std::make_unique<TDateTimeFieldVar>(field, table);
        case TFieldType::ftBoolean: return std::make_unique<TBooleanFieldVar>(field, table);
        default: return nullptr;
    }
}

// ---- strings ----

TStringFieldVar::TStringFieldVar(const TFieldDescriptor& field, const TTableFile& table)
    : TFieldVar(field, table),
      FBuffer(static_cast<size_t>(std::max(field.Size(), 0)) + 1, u'\0'),
      FValue(FBuffer.data()),
      FCodePage(static_cast<int>(table.UseCodePage())) {
    for (int byte = 0; byte < 256 && FSingleByte; ++byte) {
        const char c = static_cast<char>(byte);
        const std::u16string decoded = platform::CodePageToUtf16(FCodePage, std::string_view(&c, 1));
        if (decoded.size() == 1) FDecode[static_cast<size_t>(byte)] = decoded[0];
        else if (byte == 0) FDecode[0] = 0;
        else FSingleByte = false;
    }
}

void TStringFieldVar::SetExprWord(const TExprWordPtr& word) {
    TFieldVar::SetExprWord(word);
    word->SetFixedLen(FRawStringField ? FFieldDef->Size() : -1);
}

void TStringFieldVar::SetRawStringField(bool raw) {
    FRawStringField = raw;
    if (FExprWord) FExprWord->SetFixedLen(raw ? FFieldDef->Size() : -1);
}

void TStringFieldVar::Refresh(const uint8_t* buffer) {
    const int size = static_cast<int>(FBuffer.size()) - 1;
    const uint8_t* bytes = buffer + FFieldDef->Offset();
    if (FRawStringField) {
        for (int i = 0; i < size; ++i) FBuffer[static_cast<size_t>(i)] = bytes[i];
        FBuffer[static_cast<size_t>(size)] = 0;
        return;
    }
    RefreshDecoded(bytes, size);
}

void TStringFieldVar::RefreshDecoded(const uint8_t* bytes, int size) {
    while (size > 0 && bytes[size - 1] == ' ') --size;
    if (FSingleByte) {
        for (int i = 0; i < size; ++i) FBuffer[static_cast<size_t>(i)] = FDecode[bytes[i]];
        FBuffer[static_cast<size_t>(size)] = 0;
        return;
    }
    const std::u16string decoded =
        platform::CodePageToUtf16(FCodePage, std::string_view(reinterpret_cast<const char*>(bytes), size));
    const size_t length = std::min(decoded.size(), FBuffer.size() - 1);
    std::copy_n(decoded.begin(), length, FBuffer.begin());
    FBuffer[length] = 0;
}

// ---- numbers, dates, logicals ----

void TIntegerFieldVar::Refresh(const uint8_t* buffer) {
    if (!Decode(TFieldType::ftInteger, buffer, &FValue)) FValue = 0;
}

void TLargeIntFieldVar::Refresh(const uint8_t* buffer) {
    if (!Decode(TFieldType::ftLargeint, buffer, &FValue)) FValue = 0;
}

void TFloatFieldVar::Refresh(const uint8_t* buffer) {
    const TFieldType type = FFieldDef->FieldType() == TFieldType::ftFloat ? TFieldType::ftFloat : TFieldType::ftCurrency;
    if (!Decode(type, buffer, &FValue)) FValue = 0;
}

void TDateTimeFieldVar::Refresh(const uint8_t* buffer) {
    if (!Decode(TFieldType::ftDateTime, buffer, &FValue)) FValue = 0;
}

void TBooleanFieldVar::Refresh(const uint8_t* buffer) {
    uint16_t value = 0;
    FValue = Decode(TFieldType::ftBoolean, buffer, &value) && value != 0 ? 1 : 0;
}

}  // namespace dbf
