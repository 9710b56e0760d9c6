#include "dataset/Field.h"

#include "dataset/DataSet.h"
#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"

#include <cstring>
#include <string>

namespace ds {

TField::TField(TFieldType dataType, int size) : FDataType(dataType), FSize(size) {}

int TField::Index() const {
    return FDataSet ? FDataSet->Fields().IndexOf(this) : -1;
}

bool TField::CanModify() const {
    return FDataSet && !FReadOnly && FDataSet->CanModify();
}

int32_t TField::AsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(int32_t) { AccessError("Integer"); }
int64_t TField::AsLargeInt() const { AccessError("LargeInt"); }
void TField::SetAsLargeInt(int64_t) { AccessError("LargeInt"); }
bool TField::AsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
double TField::AsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
TDateTime TField::AsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }

void TField::SetValue(const TVariant& value) {
    const auto& data = value.Data();
    if (value.IsNull()) Clear();
    else if (const bool* b = std::get_if<bool>(&data)) SetAsBoolean(*b);
    else if (const int64_t* i = std::get_if<int64_t>(&data)) SetAsLargeInt(*i);
    else if (const double* d = std::get_if<double>(&data)) SetAsFloat(*d);
    else if (const std::string* s = std::get_if<std::string>(&data)) SetAsString(*s);
    else SetAsDateTime(std::get<TVarDateTime>(data).Value);
}

bool TField::GetData(void* buffer, bool nativeFormat) const {
    TDataSet& dataSet = OwnerDataSet();
    if (FValidating) {
        if (buffer && FValidatingBuffer) std::memcpy(buffer, FValidatingBuffer, static_cast<size_t>(DataSize()));
        return FValidatingBuffer != nullptr;
    }
    return dataSet.GetFieldData(const_cast<TField*>(this), buffer, nativeFormat);
}

void TField::SetData(const void* buffer, bool nativeFormat) {
    CheckCanWrite();
    Validate(buffer);
    FDataSet->SetFieldData(this, buffer, nativeFormat);
}

void TField::CheckNotReadOnly() const {
    if (FReadOnly && FFieldKind == fkData && OwnerDataSet().State() != dsCalcFields)
        DatabaseError(Format(msg::FieldReadOnly, FFieldName.c_str()));
}

void TField::CheckCanWrite() const {
    CheckNotReadOnly();
    const TDataSetState state = OwnerDataSet().State();
    if (state != dsEdit && state != dsInsert && state != dsCalcFields && state != dsFilter && state != dsNewValue)
        DatabaseError(msg::NotEditing, FDataSet->Name());
}

void TField::Validate(const void* buffer) {
    if (!OnValidate) return;
    FValidating = true;
    FValidatingBuffer = buffer;
    try {
        OnValidate(*this);
    } catch (...) {
        FValidating = false;
        throw;
    }
    FValidating = false;
}

void TField::Change() {
    if (OnChange) OnChange(*this);
}

void TField::FocusControl() {
    if (FDataSet) FDataSet->DataEvent(deFocusControl, {this});
}

TDataSet& TField::OwnerDataSet() const {
    if (!FDataSet) DatabaseError(Format(msg::FieldHasNoDataSet, FFieldName.c_str()));
    return *FDataSet;
}

void TField::AccessError(const char* typeName) const {
    DatabaseError(Format(msg::FieldAccessError, FFieldName.c_str(), typeName));
}

void TField::CheckRange(int64_t value, int64_t minimum, int64_t maximum) const {
    if (value < minimum || value > maximum) RangeError(std::to_string(value), minimum, maximum);
}

void TField::RangeError(const std::string& valueText, int64_t minimum, int64_t maximum) const {
    DatabaseError(Format(msg::FieldRangeError, valueText.c_str(), FFieldName.c_str(),
                         std::to_string(minimum).c_str(), std::to_string(maximum).c_str()));
}

}  // namespace ds
