// Field variables: the binding of one table field to a variable of the
// expression parser. Refresh loads the field's value from a record image
// into the place the variable's word points to, so a compiled expression sees
// the record without copying anything else.
//
// Kinds by the field's data type: character fields are string variables
// (raw mode: the field's bytes one character each, untrimmed, fixed length =
// field size; otherwise the field's text decoded from the table's code page to
// UTF-16 with trailing blanks removed, length up to the zero character);
// small integer, integer and auto-increment fields integer variables; large
// integer fields large-integer variables; float, numeric with decimals and
// currency fields float variables; date and date-time fields date-time
// variables; logical fields boolean variables. An empty field holds 0.
// Refresh allocates nothing (except for text in a multi-byte code page).
#pragma once

#include "dbf/expr_words.h"
#include "dbf/field_defs.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace dbf {

class TTableFile;

class TFieldVar {
public:
    TFieldVar(const TFieldDescriptor& field, const TTableFile& table);
    virtual ~TFieldVar() = default;
    TFieldVar(const TFieldVar&) = delete;
    TFieldVar& operator=(const TFieldVar&) = delete;

    // The address the variable's word reads (for strings: of the pointer to the characters).
    virtual char* GetFieldVal() = 0;
    virtual TExpressionType GetFieldType() const = 0;
    virtual void SetExprWord(const TExprWordPtr& word) { FExprWord = word; }
    virtual void Refresh(const uint8_t* buffer) = 0;

    const std::string& FieldName() const { return FFieldName; }
    const TFieldDescriptor& FieldDef() const { return *FFieldDef; }
    const TExprWordPtr& ExprWord() const { return FExprWord; }

    // The field variable of the field's kind; null for a kind that cannot be one.
    static std::unique_ptr<TFieldVar> Create(const TFieldDescriptor& field, const TTableFile& table);

protected:
    // Decodes the field as dataType into dst; false when it is empty.
    bool Decode(TFieldType dataType, const uint8_t* buffer, void* dst) const;

    const TFieldDescriptor* FFieldDef;
    const TTableFile* FTable;
    std::string FFieldName;
    TExprWordPtr FExprWord;
};

class TStringFieldVar : public TFieldVar {
public:
    TStringFieldVar(const TFieldDescriptor& field, const TTableFile& table);
    char* GetFieldVal() override { return reinterpret_cast<char*>(&FValue); }
    TExpressionType GetFieldType() const override { return etString; }
    void SetExprWord(const TExprWordPtr& word) override;
    void Refresh(const uint8_t* buffer) override;
    bool RawStringField() const { return FRawStringField; }
    void SetRawStringField(bool raw);
    const char16_t* Characters() const { return FValue; }

private:
    void RefreshDecoded(const uint8_t* bytes, int size);

    std::vector<char16_t> FBuffer;  // field size + 1 characters
    const char16_t* FValue;
    std::array<char16_t, 256> FDecode{};
    bool FSingleByte = true;
    int FCodePage;
    bool FRawStringField = true;
};

class TIntegerFieldVar : public TFieldVar {
public:
    using TFieldVar::TFieldVar;
    char* GetFieldVal() override { return reinterpret_cast<char*>(&FValue); }
    TExpressionType GetFieldType() const override { return etInteger; }
    void Refresh(const uint8_t* buffer) override;

private:
    int32_t FValue = 0;
};

class TLargeIntFieldVar : public TFieldVar {
public:
    using TFieldVar::TFieldVar;
    char* GetFieldVal() override { return reinterpret_cast<char*>(&FValue); }
    TExpressionType GetFieldType() const override { return etLargeInt; }
    void Refresh(const uint8_t* buffer) override;

private:
    int64_t FValue = 0;
};

class TFloatFieldVar : public TFieldVar {
public:
    using TFieldVar::TFieldVar;
    char* GetFieldVal() override { return reinterpret_cast<char*>(&FValue); }
    TExpressionType GetFieldType() const override { return etFloat; }
    void Refresh(const uint8_t* buffer) override;

private:
    double FValue = 0;
};

class TDateTimeFieldVar : public TFieldVar {
public:
    using TFieldVar::TFieldVar;
    char* GetFieldVal() override { return reinterpret_cast<char*>(&FValue); }
    TExpressionType GetFieldType() const override { return etDateTime; }
    void Refresh(const uint8_t* buffer) override;

private:
    double FValue = 0;
};

class TBooleanFieldVar : public TFieldVar {
public:
    using TFieldVar::TFieldVar;
    char* GetFieldVal() override { return reinterpret_cast<char*>(&FValue); }
    TExpressionType GetFieldType() const override { return etBoolean; }
    void Refresh(const uint8_t* buffer) override;

private:
    uint8_t FValue = 0;
};

}  // namespace dbf
