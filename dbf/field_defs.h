// Engine field definitions. A TFieldDescriptor describes one field of a table: its
// name, the native type letter of its descriptor, width, decimals, offset in
// the record and the data type under which the dataset layer exchanges its
// values. TFieldDescriptors is the ordered collection that owns them and knows the
// table's dialect; every dialect-dependent rule of a definition asks it.
//
// Contract: setting the letter derives the data type, setting the data type
// derives the letter (or raises ETableError when the dialect has none), and every
// change of letter, width or decimals normalises width and decimals to what
// the letter permits. The byte encodings of values are in field_codec.h.
#pragma once

#include "dbf/common.h"
#include "dbf/field_type.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dbf {

class TFieldDescriptors;

// The dataset framework's view of a field definition, which the dataset layer
// maps to and from its own definition objects.
struct TPlatformFieldDef {
    std::string Name;
    TFieldType DataType = TFieldType::ftUnknown;
    int32_t Size = 0;
    int32_t Precision = 0;
    bool Required = false;
    int32_t Index = -1;  // position in its own collection
};

class TFieldDescriptor {
public:
    explicit TFieldDescriptor(TFieldDescriptors* collection = nullptr);

    void Assign(const TFieldDescriptor& source);
    void Assign(const TPlatformFieldDef& source);
    void AssignTo(TPlatformFieldDef& dest) const;

    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& name) { FFieldName = name; }
    const std::string& GetDisplayName() const { return FFieldName; }

    TFieldType FieldType() const { return FFieldType; }
    void SetFieldType(TFieldType type);
    char NativeFieldType() const { return FNativeFieldType; }
    void SetNativeFieldType(char letter);

    int32_t Size() const { return FSize; }
    void SetSize(int32_t size);
    int32_t Precision() const { return FPrecision; }
    void SetPrecision(int32_t precision);
    // The default width and decimals of the data type, then normalised.
    void SetDefaultSize();
    // A field read from a file whose letter does not fit the rules of its
    // dialect: letter, data type and width as given, without deriving or
    // normalising, so the field keeps the bytes its descriptor gives it.
    void SetStoredForm(char letter, TFieldType type, int32_t size);

    int32_t Offset() const { return FOffset; }
    void SetOffset(int32_t offset) { FOffset = offset; }
    uint32_t AutoInc() const { return FAutoInc; }
    void SetAutoInc(uint32_t value) { FAutoInc = value; }
    bool Required() const { return FRequired; }
    void SetRequired(bool required) { FRequired = required; }
    bool IsLockField() const { return FIsLockField; }
    void SetIsLockField(bool isLock) { FIsLockField = isLock; }
    int32_t NullPosition() const { return FNullPosition; }
    void SetNullPosition(int32_t position) { FNullPosition = position; }
    int32_t CopyFrom() const { return FCopyFrom; }

    bool IsBlob() const;
    // Position in the owning collection; -1 when it has none.
    int Index() const;
    TXBaseVersion TableVersion() const;

    // Default, minimum and maximum value in record format, FSize bytes each;
    // null until AllocBuffers.
    void AllocBuffers();
    void FreeBuffers();
    uint8_t* DefaultBuf() { return BufferAt(0); }
    uint8_t* MinBuf() { return BufferAt(1); }
    uint8_t* MaxBuf() { return BufferAt(2); }
    bool HasDefault() const { return FHasDefault; }
    bool HasMin() const { return FHasMin; }
    bool HasMax() const { return FHasMax; }
    void SetHasDefault(bool value) { FHasDefault = value; }
    void SetHasMin(bool value) { FHasMin = value; }
    void SetHasMax(bool value) { FHasMax = value; }

private:
    bool IsFoxPro() const { return TableVersion() == xFoxPro; }
    bool IsLevel7() const { return TableVersion() == xBaseVII; }
    void MapLetterToType();
    char LetterForType(TFieldType type) const;
    void Normalise();
    uint8_t* BufferAt(int which);

    TFieldDescriptors* FCollection;
    std::string FFieldName;
    TFieldType FFieldType = TFieldType::ftUnknown;
    char FNativeFieldType = 0;
    std::vector<uint8_t> FBuffers;  // default, minimum, maximum: 3 x FAllocSize bytes
    int32_t FSize = 0;
    int32_t FPrecision = 0;
    bool FHasDefault = false;
    bool FHasMin = false;
    bool FHasMax = false;
    int32_t FAllocSize = 0;
    int32_t FCopyFrom = -1;
    int32_t FOffset = 0;
    uint32_t FAutoInc = 0;
    bool FRequired = false;
    bool FIsLockField = false;
    int32_t FNullPosition = -1;
};

class TFieldDescriptors {
public:
    explicit TFieldDescriptors(TXBaseVersion version = xUnknown) : FTableVersion(version) {}
    TFieldDescriptors(const TFieldDescriptors&) = delete;
    TFieldDescriptors& operator=(const TFieldDescriptors&) = delete;

    // A new definition: name as given, data type set (letter and default width
    // follow), width set when Size is non-zero.
    TFieldDescriptor& Add(const std::string& name, TFieldType type, int32_t size, bool required);
    // A new empty definition at the end.
    TFieldDescriptor& AddFieldDef();
    TFieldDescriptor& Items(int index) { return *FItems.at(static_cast<size_t>(index)); }
    const TFieldDescriptor& Items(int index) const { return *FItems.at(static_cast<size_t>(index)); }
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }
    int IndexOf(const TFieldDescriptor* def) const;

    TXBaseVersion TableVersion() const { return FTableVersion; }
    void SetTableVersion(TXBaseVersion version) { FTableVersion = version; }

private:
    std::vector<std::unique_ptr<TFieldDescriptor>> FItems;
    TXBaseVersion FTableVersion;
};

}  // namespace dbf
