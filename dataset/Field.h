// TField: one column of a dataset as an object: its name, data type and size,
// and typed access to its value in the dataset's active record.
//
// Contract:
// - A field object belongs to one dataset (TFields owns it). Its value lives
//   in the dataset's current record buffer, never in the field: every read
//   goes through TDataSet::GetFieldData, every write through
//   TDataSet::SetFieldData, blob and memo content through
//   TDataSet::CreateBlobStream.
// - Values cross GetFieldData/SetFieldData in a native binary form per data
//   type (the "value buffer", DataSize() bytes); a null value is signalled by
//   GetFieldData answering false and written by passing no buffer:
//
//   | data type                         | value buffer                                        |
//   |-----------------------------------|-----------------------------------------------------|
//   | ftString, ftFixedChar, ftWideString| Size + 1 bytes: zero-terminated single-byte (ANSI) text, trailing blanks removed |
//   | ftSmallint                        | int16                                               |
//   | ftInteger, ftAutoInc              | int32                                               |
//   | ftWord                            | uint16                                              |
//   | ftLargeint                        | int64                                               |
//   | ftBoolean                         | int16, non-zero = true                              |
//   | ftFloat, ftCurrency               | double                                              |
//   | ftBCD                             | int64: the amount times 10,000                      |
//   | ftDate                            | int32 day number, 1 January 0001 = day 1            |
//   | ftTime                            | int32 milliseconds since midnight                   |
//   | ftDateTime                        | double TDateTime (days since 30 December 1899)      |
//   | ftBytes                           | Size raw bytes                                      |
//   | ftBlob, ftMemo, ftDBaseOle        | none: content moves through a blob stream; GetFieldData with no buffer tells whether a value exists |
//
//   Calculated fields (FieldKind fkCalculated, FieldNo -1) are stored by the
//   dataset in the calculated-field area of a record buffer: at Offset(), one
//   byte "value present", then DataSize() value bytes.
// - Writing requires the dataset in dsEdit, dsInsert, dsCalcFields, dsFilter
//   or dsNewValue ("Dataset not in edit or insert mode", prefixed with the
//   dataset's name) and a field that is not ReadOnly ("Field '%s' cannot be
//   modified"). OnValidate runs before the value is stored and sees the new
//   value through the field; OnChange runs after the dataset reported the
//   change (TDataSet::DataEvent with deFieldChange).
// - Reading a null value gives "", 0, false or 0.0; a kind that cannot give
//   the asked type raises "Cannot access field '%s' as type %s".
#pragma once

#include "dataset/DataSetTypes.h"
#include "dataset/Variant.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ds {

class TDataSet;

class TField {
public:
    TField(TFieldType dataType, int size);
    virtual ~TField() = default;
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& name) { FFieldName = name; }
    const std::string& DisplayName() const { return FFieldName; }
    TFieldType DataType() const { return FDataType; }
    int Size() const { return FSize; }
    void SetSize(int size) { FSize = size; }
    int FieldNo() const { return FFieldNo; }
    int Index() const;
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind kind) { FFieldKind = kind; }
    int Offset() const { return FOffset; }
    TDataSet* DataSet() const { return FDataSet; }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
    bool Required() const { return FRequired; }
    void SetRequired(bool required) { FRequired = required; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible) { FVisible = visible; }
    bool Transliterate() const { return FTransliterate; }
    void SetTransliterate(bool transliterate) { FTransliterate = transliterate; }

    virtual int DataSize() const = 0;
    virtual bool IsBlob() const { return false; }
    // The field may be written now: its dataset can be modified and it is not read-only.
    bool CanModify() const;

    virtual std::string AsString() const = 0;
    virtual void SetAsString(const std::string& value) = 0;
    virtual int32_t AsInteger() const;
    virtual void SetAsInteger(int32_t value);
    virtual int64_t AsLargeInt() const;
    virtual void SetAsLargeInt(int64_t value);
    virtual bool AsBoolean() const;
    virtual void SetAsBoolean(bool value);
    virtual double AsFloat() const;
    virtual void SetAsFloat(double value);
    virtual double AsCurrency() const { return AsFloat(); }
    virtual void SetAsCurrency(double value) { SetAsFloat(value); }
    virtual TDateTime AsDateTime() const;
    virtual void SetAsDateTime(TDateTime value);
    virtual TVariant Value() const = 0;
    void SetValue(const TVariant& value);

    virtual bool IsNull() const { return !GetData(nullptr); }
    virtual void Clear() { SetData(nullptr); }
    // The text a grid shows; AsString unless the kind formats it for display.
    virtual std::string DisplayText() const { return AsString(); }

    // Raw access to the value buffer described above.
    bool GetData(void* buffer, bool nativeFormat = true) const;
    void SetData(const void* buffer, bool nativeFormat = true);

    std::function<void(TField&)> OnChange;
    std::function<void(TField&)> OnValidate;

    // Called by the dataset once a change of this field has been reported.
    void Change();
    // Asks the controls bound to this field to take the input focus.
    void FocusControl();

protected:
    // The owning dataset; raises "Field '%s' has no dataset" for a field without one.
    TDataSet& OwnerDataSet() const;
    [[noreturn]] void AccessError(const char* typeName) const;
    void CheckRange(int64_t value, int64_t minimum, int64_t maximum) const;
    [[noreturn]] void RangeError(const std::string& valueText, int64_t minimum, int64_t maximum) const;
    // The checks of SetData: a read-only field, a dataset not in a writing state.
    void CheckNotReadOnly() const;
    void CheckCanWrite() const;

private:
    friend class TDataSet;
    friend class TFields;

    void Validate(const void* buffer);

    std::string FFieldName;
    TFieldType FDataType;
    int FSize;
    int FFieldNo = 0;
    int FOffset = 0;
    TFieldKind FFieldKind = fkData;
    TDataSet* FDataSet = nullptr;
    bool FReadOnly = false;
    bool FRequired = false;
    bool FVisible = true;
    bool FTransliterate = false;
    // While OnValidate runs, reads see the value about to be stored.
    bool FValidating = false;
    const void* FValidatingBuffer = nullptr;
};

}  // namespace ds
