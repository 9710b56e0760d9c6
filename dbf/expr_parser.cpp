#include "dbf/expr_parser.h"

#include "dbf/common.h"
#include "dbf/expr_functions.h"
#include "dbf/expr_tokenizer.h"
#include "dbf/messages.h"
#include "dbf/platform/text.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace dbf {

TCustomExpressionParser::TCustomExpressionParser()
    : FCaseSensitive(std::make_unique<platform::TTextCollator>(false)),
      FCaseInsensitive(std::make_unique<platform::TTextCollator>(true)) {
    FContext.CaseSensitive = FCaseSensitive.get();
    FContext.CaseInsensitive = FCaseInsensitive.get();
    FExpResult = static_cast<char*>(std::calloc(1, ArgAllocSize));
    if (FExpResult == nullptr) throw std::bad_alloc();
    FExpResultPos = FExpResult;
    FExpResultSize = ArgAllocSize;
    FillExpressList();
}

TCustomExpressionParser::~TCustomExpressionParser() {
    DisposeList(FCurrentRec);
    std::free(FExpResult);
}

void TCustomExpressionParser::FillExpressList() {
    const TWordTable& table = WordTable();
    FWordsList.Clear();
    FWordsList.AddList(table.General);
    FWordsList.AddList(table.InsensGeneral);
    FWordsList.AddList(table.InsensNoPartial);
}

void TCustomExpressionParser::HandleUnknownVariable(const std::string&) {}

void TCustomExpressionParser::ClearExpressions() {
    DisposeList(FCurrentRec);
    FCurrentRec = nullptr;
    FLastRec = nullptr;
    FCompiledText.clear();
}

TExprWordPtr TCustomExpressionParser::LookUpWord(const std::string& name) {
    int index;
    if (!FWordsList.Search(name, index)) {
        HandleUnknownVariable(name);
        if (!FWordsList.Search(name, index)) throw EParserException("Unknown variable '" + name + "' found.");
    }
    return FWordsList.Item(index);
}

void TCustomExpressionParser::ParseString(const std::string& text, TTokenList& tokens) {
    std::vector<TTokenText> raw;
    TokenizeExpression(text, FWordsList, raw);
    for (const TTokenText& token : raw) {
        TExprWordPtr constant = ClassifyExpressionToken(token.Text, token.IsNumber, FHexChar, FDecimalSeparator);
        if (constant) {
            FConstantsList.push_back(constant);
            tokens.push_back(constant);
        } else {
            std::string name = Utf8(token.Text, 0, token.Text.size());
            // The dotted spellings .AND. .OR. .NOT. name the plain words.
            if (name.size() > 2 && name.front() == '.' && name.back() == '.') name = name.substr(1, name.size() - 2);
            tokens.push_back(LookUpWord(name));
        }
    }
}

void TCustomExpressionParser::CompileExpression(const std::string& AnExpression) {
    if (AnExpression.empty()) return;
    DisposeList(FCurrentRec);
    FCurrentRec = nullptr;
    FLastRec = nullptr;
    TTokenList tokens;
    ParseString(AnExpression, tokens);
    FCompiledText = AnExpression;
    try {
        CompileTokens(tokens);
    } catch (...) {
        DisposeList(FCurrentRec);
        FCurrentRec = nullptr;
        FLastRec = nullptr;
        FCompiledText.clear();
        throw;
    }
}

void TCustomExpressionParser::CompileTokens(const TTokenList& tokens) {
    Check(tokens);
    ComputePriorities(tokens);
    TExpressionRec* root = MakeTree(tokens, 0, static_cast<int>(tokens.size()), 0);
    if (root == nullptr) throw EParserException("Operator/function missing");
    try {
        CheckArguments(root, 0);
        LinkVariables(root);
        if (FOptimize) RemoveConstants(root, 0);
    } catch (...) {
        DisposeTree(root);
        throw;
    }
    FExpResultPos = FExpResult;
    MakeLinkedList(root, &FExpResult, &FExpResultPos, &FExpResultSize);
}

void TCustomExpressionParser::RunList(TExpressionRec* first, const std::string& text) {
    try {
        for (TExpressionRec* rec = first; rec != nullptr; rec = rec->Next) {
            if (rec->ResetDest) rec->Res->Rewind();
            rec->Oper(rec);
        }
    } catch (const EIntegerDivide&) {
        throw ETableError(Format(msg::ExpressionDivideByZero, text.c_str()));
    }
}

void TCustomExpressionParser::EvaluateCurrent() { RunList(FCurrentRec, FCompiledText); }

int TCustomExpressionParser::AddExpression(const std::string& AnExpression) {
    if (AnExpression.empty()) return -1;
    CompileExpression(AnExpression);
    return 0;
}

void TCustomExpressionParser::Evaluate(const std::string& AnExpression) {
    CompileExpression(AnExpression);
    EvaluateCurrent();
}

TExpressionType TCustomExpressionParser::GetResultType() const {
    return FLastRec != nullptr ? FLastRec->ExprWord->GetResultType() : etUnknown;
}

std::string TCustomExpressionParser::StringResultUtf8() const {
    const auto* text = reinterpret_cast<const char16_t*>(FExpResult);
    return Utf16ResultToUtf8(text, -1);
}

TExprWordPtr TCustomExpressionParser::DefineFunction(const std::string& AFunctName, const std::string& AShortName,
                                                     TExprFunc AFuncAddress, TExpressionType AResultType,
                                                     int AMinFunctionArg, const std::string& ATypeSpec,
                                                     const std::string& ADescription) {
    TExprWordPtr word = TFunction::Function(AFunctName, AShortName, ATypeSpec, AMinFunctionArg, AResultType,
                                            AFuncAddress, ADescription);
    FWordsList.Add(word);
    return word;
}

namespace {

template <typename TWord, typename TValue>
TExprWordPtr DefineVariable(TExpressList& list, const std::string& name, TValue* value) {
    TExprWordPtr word = std::make_shared<TWord>(name, value);
    list.Add(word);
    return word;
}

}  // namespace

TExprWordPtr TCustomExpressionParser::DefineIntegerVariable(const std::string& AVarName, int32_t* AValue) {
    return DefineVariable<TIntegerVariable>(FWordsList, AVarName, AValue);
}

TExprWordPtr TCustomExpressionParser::DefineLargeIntVariable(const std::string& AVarName, int64_t* AValue) {
    return DefineVariable<TLargeIntVariable>(FWordsList, AVarName, AValue);
}

TExprWordPtr TCustomExpressionParser::DefineFloatVariable(const std::string& AVarName, double* AValue) {
    return DefineVariable<TFloatVariable>(FWordsList, AVarName, AValue);
}

TExprWordPtr TCustomExpressionParser::DefineDateTimeVariable(const std::string& AVarName, double* AValue) {
    return DefineVariable<TDateTimeVariable>(FWordsList, AVarName, AValue);
}

TExprWordPtr TCustomExpressionParser::DefineBooleanVariable(const std::string& AVarName, uint8_t* AValue) {
    return DefineVariable<TBooleanVariable>(FWordsList, AVarName, AValue);
}

TExprWordPtr TCustomExpressionParser::DefineStringVariable(const std::string& AVarName, const char16_t** AValue) {
    return DefineVariable<TStringVariable>(FWordsList, AVarName, AValue);
}

void TCustomExpressionParser::GetFunctionNames(std::vector<std::string>& AList) const {
    for (int i = 0; i < FWordsList.Count(); ++i) {
        const TExprWord& word = *FWordsList.Item(i);
        if (word.GetDescription().empty()) continue;
        std::string entry = word.Name();
        const int args = word.GetMaxFunctionArg();
        if (args > 0) entry += "(" + std::string(static_cast<size_t>(args - 1), FArgSeparator) + ")";
        AList.push_back(entry);
    }
}

std::string TCustomExpressionParser::GetFunctionDescription(const std::string& AFunction) const {
    const std::string name = AFunction.substr(0, AFunction.find('('));
    int index;
    return FWordsList.Search(name, index) ? FWordsList.Item(index)->GetDescription() : std::string();
}

}  // namespace dbf
