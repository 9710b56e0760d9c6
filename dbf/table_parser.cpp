#include "dbf/table_parser.h"

#include "dbf/common.h"
#include "dbf/expr_functions.h"
#include "dbf/messages.h"
#include "dbf/table_file.h"

#include <algorithm>
#include <cstring>

namespace dbf {

TTableParser::TTableParser(TTableFile* ADbfFile) : FDbfFile(ADbfFile) { FillExpressList(); }

TTableParser::~TTableParser() = default;

void TTableParser::FillExpressList() {
    const TWordTable& table = WordTable();
    FWordsList.Clear();
    FWordsList.AddList(table.General);
    if (FCaseInsensitive) {
        FWordsList.AddList(table.InsensGeneral);
        FWordsList.AddList(FPartialMatch ? table.InsensPartial : table.InsensNoPartial);
    } else {
        FWordsList.AddList(table.SensGeneral);
        FWordsList.AddList(FPartialMatch ? table.SensPartial : table.SensNoPartial);
    }
    if (!FCurrentExpression.empty()) ParseExpression(std::string(FCurrentExpression));
}

void TTableParser::ClearExpressions() {
    TCustomExpressionParser::ClearExpressions();
    for (const auto& fieldVar : FFieldVarList)
        if (fieldVar->ExprWord()) FWordsList.Remove(fieldVar->ExprWord().get());
    FFieldVarList.clear();
    FSingleField = nullptr;
    FIsExpression = false;
    FFieldType = etUnknown;
    FCurrentExpression.clear();
}

void TTableParser::ParseExpression(const std::string& AExpression) {
    ClearExpressions();
    try {
        if (FDbfFile->GetFieldInfo(AExpression) != nullptr) {
            HandleUnknownVariable(AExpression);
            FSingleField = FFieldVarList.back().get();
            FFieldType = FSingleField->GetFieldType();
            FIsExpression = false;
        } else {
            CompileExpression(AExpression);
            FIsExpression = true;
        }
        FCompiledText = AExpression;
        ValidateExpression(AExpression);
    } catch (...) {
        ClearExpressions();
        throw;
    }
    FCurrentExpression = AExpression;
}

void TTableParser::ValidateExpression(const std::string&) {}

TExprWordPtr TTableParser::DefineFieldVariable(TFieldVar& fieldVar, const std::string& name) {
    char* value = fieldVar.GetFieldVal();
    switch (fieldVar.GetFieldType()) {
        case etString: return DefineStringVariable(name, reinterpret_cast<const char16_t**>(value));
        case etInteger: return DefineIntegerVariable(name, reinterpret_cast<int32_t*>(value));
        case etLargeInt: return DefineLargeIntVariable(name, reinterpret_cast<int64_t*>(value));
        case etFloat: return DefineFloatVariable(name, reinterpret_cast<double*>(value));
        case etDateTime: return DefineDateTimeVariable(name, reinterpret_cast<double*>(value));
        default: return DefineBooleanVariable(name, reinterpret_cast<uint8_t*>(value));
    }
}

void TTableParser::HandleUnknownVariable(const std::string& VarName) {
    const TFieldDescriptor* field = FDbfFile->GetFieldInfo(VarName);
    if (field == nullptr) throw ETableError(Format(msg::IndexUnknownField, VarName.c_str()));
    std::unique_ptr<TFieldVar> fieldVar = TFieldVar::Create(*field, *FDbfFile);
    if (!fieldVar) throw ETableError(Format(msg::IndexInvalidFieldType, VarName.c_str()));
    if (auto* text = dynamic_cast<TStringFieldVar*>(fieldVar.get())) text->SetRawStringField(FRawStringFields);
    fieldVar->SetExprWord(DefineFieldVariable(*fieldVar, VarName));
    FFieldVarList.push_back(std::move(fieldVar));
}

const char* TTableParser::ExtractFromBuffer(const uint8_t* Buffer) {
    for (const auto& fieldVar : FFieldVarList) fieldVar->Refresh(Buffer);
    if (!FIsExpression) {
        if (FSingleField == nullptr) return ExpResult();
        if (auto* text = dynamic_cast<TStringFieldVar*>(FSingleField))
            return reinterpret_cast<const char*>(text->Characters());
        return FSingleField->GetFieldVal();
    }
    SetCurrentRecord(Buffer);
    EvaluateCurrent();
    SetCurrentRecord(nullptr);
    return ExpResult();
}

const char* TTableParser::ExtractFromBuffer(const uint8_t* Buffer, int32_t RecNo) {
    SetCurrentRecNo(RecNo);
    return ExtractFromBuffer(Buffer);
}

TExpressionType TTableParser::ResultType() const { return FIsExpression ? GetResultType() : FFieldType; }

int TTableParser::ResultLen() const {
    switch (ResultType()) {
        case etInteger: return 4;
        case etBoolean: return 1;
        case etFloat:
        case etDateTime: return 8;
        case etString:
            return !FIsExpression && FSingleField != nullptr && FRawStringFields ? FSingleField->FieldDef().Size() : -1;
        default: return -1;
    }
}

void TTableParser::SetCaseInsensitive(bool value) {
    if (value == FCaseInsensitive) return;
    FCaseInsensitive = value;
    FillExpressList();
}

void TTableParser::SetPartialMatch(bool value) {
    if (value == FPartialMatch) return;
    FPartialMatch = value;
    FillExpressList();
}

void TTableParser::SetRawStringFields(bool value) {
    FRawStringFields = value;
    for (const auto& fieldVar : FFieldVarList)
        if (auto* text = dynamic_cast<TStringFieldVar*>(fieldVar.get())) text->SetRawStringField(value);
}

std::string TTableParser::StringResultUtf8(const char* result) {
    return Utf16ResultToUtf8(reinterpret_cast<const char16_t*>(result), -1);
}

std::string TTableParser::StringResultBytes(const char* result, int maxLength) {
    const auto* text = reinterpret_cast<const char16_t*>(result);
    std::string bytes;
    for (int i = 0; i < maxLength && text[i] != 0; ++i) bytes += text[i] > 0xFF ? '?' : static_cast<char>(text[i]);
    return bytes;
}

void TIndexKeyParser::ValidateExpression(const std::string& AExpression) {
    FResultLen = ResultLen();
    if (FResultLen == -1 && ResultType() == etString) {
        std::vector<uint8_t> blank(static_cast<size_t>(std::max(DbfFile()->RecordSize(), 1)));
        DbfFile()->InitRecord(blank.data());
        const auto* text = reinterpret_cast<const char16_t*>(ExtractFromBuffer(blank.data()));
        FResultLen = static_cast<int>(std::char_traits<char16_t>::length(text));
    } else if (FResultLen == -1 && ResultType() == etLargeInt) {
        FResultLen = 8;
    }
    if (FResultLen > MaxKeyLength)
        throw ETableError(Format(msg::IndexResultTooLong, AExpression.c_str(), FResultLen));
}

}  // namespace dbf
