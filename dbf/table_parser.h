// The expression parsers bound to a table: TTableParser compiles filter and
// key expressions over the fields of a TTableFile and evaluates them on
// record images; TIndexKeyParser is the variant of index tags, which also
// checks the key length.
//
// Contract:
// - ParseExpression replaces what was parsed before. A text that is exactly a
//   field name binds that field alone (no compiled expression); anything
//   else is compiled. Names that are no field raise ETableError
//   "Index based on unknown field ...", fields of a kind that cannot be a
//   variable (memo, blob, ...) "Field ... is an invalid field type to base
//   index on."; compile errors are EParserException. After any failure
//   nothing is parsed and the parser can be used again.
// - ExtractFromBuffer(Buffer) loads the fields from the record image and
//   answers the address of the result in the representation of ResultType
//   (expr_words.h): strings as zero-terminated char16_t characters; a single
//   character field in raw mode as exactly ResultLen characters (then a zero).
//   An integer division by zero raises ETableError naming the expression.
// - Raw string fields (the default) are the field's bytes one character
//   each, untrimmed; otherwise the text decoded from the table's code page,
//   trailing blanks removed. Case-insensitive comparison is the default,
//   partial match (wildcards in "=") is off by default. Changing either
//   rebuilds the word list and recompiles the current text.
#pragma once

#include "dbf/expr_parser.h"
#include "dbf/table_field_vars.h"

#include <memory>
#include <string>
#include <vector>

namespace dbf {

class TTableFile;

class TTableParser : public TCustomExpressionParser {
public:
    explicit TTableParser(TTableFile* ADbfFile);
    ~TTableParser() override;

    void ParseExpression(const std::string& AExpression);
    const char* ExtractFromBuffer(const uint8_t* Buffer);
    // The same, with the record number RECNO() reports.
    const char* ExtractFromBuffer(const uint8_t* Buffer, int32_t RecNo);

    TExpressionType ResultType() const;
    // 4 integer, 1 boolean, 8 float and date-time, the field size for a single
    // character field in raw mode, -1 otherwise.
    int ResultLen() const;

    bool CaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool value);
    bool PartialMatch() const { return FPartialMatch; }
    void SetPartialMatch(bool value);
    bool RawStringFields() const { return FRawStringFields; }
    void SetRawStringFields(bool value);

    const std::string& CurrentExpression() const { return FCurrentExpression; }
    bool IsExpression() const { return FIsExpression; }
    void ClearExpressions() override;

    // A string result (as ExtractFromBuffer answers it) as UTF-8, and as one
    // byte per character ('?' for characters above 255), at most maxLength.
    static std::string StringResultUtf8(const char* result);
    static std::string StringResultBytes(const char* result, int maxLength);

protected:
    void HandleUnknownVariable(const std::string& VarName) override;
    void FillExpressList() override;
    virtual void ValidateExpression(const std::string& AExpression);

    TTableFile* DbfFile() const { return FDbfFile; }

private:
    TExprWordPtr DefineFieldVariable(TFieldVar& fieldVar, const std::string& name);

    TTableFile* FDbfFile;
    std::vector<std::unique_ptr<TFieldVar>> FFieldVarList;
    TFieldVar* FSingleField = nullptr;
    bool FIsExpression = false;
    TExpressionType FFieldType = etUnknown;
    bool FCaseInsensitive = true;
    bool FPartialMatch = false;
    bool FRawStringFields = true;
    std::string FCurrentExpression;
};

class TIndexKeyParser : public TTableParser {
public:
    static constexpr int MaxKeyLength = 100;

    using TTableParser::TTableParser;
    // The key length in bytes found by the last ParseExpression.
    int KeyLength() const { return FResultLen; }

protected:
    void ValidateExpression(const std::string& AExpression) override;

private:
    int FResultLen = 0;
};

}  // namespace dbf
