// TCustomExpressionParser: the generic compiler of dBASE-style expressions.
//
// CompileExpression cuts the text into tokens, looks every word up in the
// parser's word list, checks the token sequence, builds a tree from operator
// priorities and brackets, checks argument counts and types (choosing among
// overloads), folds constant sub-trees and turns the tree into a flat
// evaluation list; EvaluateCurrent runs that list and leaves the result in
// the result buffer (ExpResult). Compilation does all the checking and raises
// EParserException; evaluation checks nothing and allocates only when a
// string outgrows its buffer.
//
// Precedence: a higher priority value binds more loosely. "*" and "/" bind
// tighter than "+" and "-"; binary operators of equal priority group from left
// to right; prefix operators (NOT, a leading "-") apply to what follows them.
//
// Contract: any text is safe to compile. A failed compile leaves nothing
// compiled and the parser usable. Nesting deeper than MaxNesting levels is
// refused with EParserException. Expression text is UTF-8; string values are
// UTF-16 (see expr_words.h).
#pragma once

#include "dbf/expr_lists.h"
#include "dbf/expr_words.h"

#include <memory>
#include <string>
#include <vector>

namespace dbf {

namespace platform {
class TTextCollator;
}

class TCustomExpressionParser {
public:
    static constexpr int MaxNesting = 500;

    TCustomExpressionParser();
    virtual ~TCustomExpressionParser();
    TCustomExpressionParser(const TCustomExpressionParser&) = delete;
    TCustomExpressionParser& operator=(const TCustomExpressionParser&) = delete;

    void CompileExpression(const std::string& AnExpression);
    void EvaluateCurrent();
    int AddExpression(const std::string& AnExpression);
    void Evaluate(const std::string& AnExpression);
    TExpressionType GetResultType() const;
    virtual void ClearExpressions();

    TExprWordPtr DefineFunction(const std::string& AFunctName, const std::string& AShortName, TExprFunc AFuncAddress,
                                TExpressionType AResultType, int AMinFunctionArg, const std::string& ATypeSpec,
                                const std::string& ADescription);
    TExprWordPtr DefineIntegerVariable(const std::string& AVarName, int32_t* AValue);
    TExprWordPtr DefineLargeIntVariable(const std::string& AVarName, int64_t* AValue);
    TExprWordPtr DefineFloatVariable(const std::string& AVarName, double* AValue);
    TExprWordPtr DefineDateTimeVariable(const std::string& AVarName, double* AValue);
    TExprWordPtr DefineBooleanVariable(const std::string& AVarName, uint8_t* AValue);
    TExprWordPtr DefineStringVariable(const std::string& AVarName, const char16_t** AValue);

    void GetFunctionNames(std::vector<std::string>& AList) const;
    std::string GetFunctionDescription(const std::string& AFunction) const;

    // The result of the last evaluation, in the representation of its type.
    const char* ExpResult() const { return FExpResult; }
    // A string result as UTF-8.
    std::string StringResultUtf8() const;

    bool Optimize() const { return FOptimize; }
    void SetOptimize(bool value) { FOptimize = value; }
    TExpressList& WordsList() { return FWordsList; }
    // The record number the record-dependent words (RECNO()) report.
    void SetCurrentRecNo(int32_t recNo) { FContext.RecNo = recNo; }
    void SetCurrentRecord(const uint8_t* buffer) { FContext.RecordBuffer = buffer; }

protected:
    virtual void HandleUnknownVariable(const std::string& VarName);
    virtual void FillExpressList();
    // Runs the list; an integer division by zero raises ETableError naming text.
    void RunList(TExpressionRec* first, const std::string& text);

    TExpressList FWordsList;
    std::string FCompiledText;

private:
    using TTokenList = std::vector<TExprWordPtr>;

    void ParseString(const std::string& text, TTokenList& tokens);
    TExprWordPtr LookUpWord(const std::string& name);
    void CompileTokens(const TTokenList& tokens);

    // Tree (expr_tree.cpp).
    void Check(const TTokenList& tokens) const;
    void ComputePriorities(const TTokenList& tokens);
    TExpressionRec* MakeTree(const TTokenList& tokens, int from, int to, int depth);
    TExpressionRec* MakeFunctionCall(const TTokenList& tokens, int from, int to, int depth);
    TExpressionRec* OperandTree(const TTokenList& tokens, int from, int to, int depth);
    void CheckArguments(TExpressionRec* rec, int depth);
    int CheckArgumentsOnce(TExpressionRec* rec) const;
    // A variable already defined under a name a function or operator also has.
    TExprWordPtr SharedNameVariable(const std::string& name) const;
    void LinkVariables(TExpressionRec* rec);
    void RemoveConstants(TExpressionRec*& slot, int depth);
    bool CanVary(const TExpressionRec* rec) const;
    TExpressionRec* FoldedLeaf(TExpressionRec* rec);
    void MakeLinkedList(TExpressionRec* rec, char** memory, char** position, int* size);
    void AppendToList(TExpressionRec* rec);

    enum class TTokenKind : uint8_t { Other, Operator, LeftBracket };
    struct TTokenPriority {
        TTokenKind Kind = TTokenKind::Other;
        int Binary = 0;
        int Prefix = 0;
        bool AfterOperator = false;
    };
    std::vector<TTokenPriority> FPriorities;  // per token of the text being compiled
    std::vector<int> FMatch;                  // per bracket token: its partner
    TExpressionRec* FCurrentRec = nullptr;
    TExpressionRec* FLastRec = nullptr;
    std::vector<TExprWordPtr> FConstantsList;
    std::unique_ptr<platform::TTextCollator> FCaseSensitive;
    std::unique_ptr<platform::TTextCollator> FCaseInsensitive;
    TEvaluationContext FContext;
    char FHexChar = '$';
    char FDecimalSeparator = '.';
    char FArgSeparator = ',';
    bool FOptimize = true;

protected:
    char* FExpResult = nullptr;
    char* FExpResultPos = nullptr;
    int FExpResultSize = 0;
};

}  // namespace dbf
