// The tree steps of the compiler: token checks, the tree from priorities and
// brackets, the argument check with overload choice, linking variables,
// folding constants and the flat evaluation list. Every recursion here runs
// along the tree, whose depth MakeTree limits to MaxNesting.
#include "dbf/expr_parser.h"

#include "dbf/common.h"
#include "dbf/expr_functions.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace dbf {

namespace {

// Priority of a "-" that stands where an operand must begin (a leading minus):
// it binds tighter than every binary operator.
constexpr int kPrefixPriority = 10;

TExpressionType TypeOf(const TExprWordPtr& word) { return word->GetResultType(); }
bool IsLeftBracket(const TExprWordPtr& word) { return TypeOf(word) == etLeftBracket; }
bool IsRightBracket(const TExprWordPtr& word) { return TypeOf(word) == etRightBracket; }
bool IsComma(const TExprWordPtr& word) { return TypeOf(word) == etComma; }

int Priority(const TExprWord& word) {
    const auto* function = dynamic_cast<const TFunction*>(&word);
    return function != nullptr ? function->OperPrec() : 0;
}

void NestingTooDeep() {
    throw EParserException(Format("Expression nested too deeply (more than %d levels)",
                                  TCustomExpressionParser::MaxNesting));
}

}  // namespace

void TCustomExpressionParser::Check(const TTokenList& tokens) const {
    // A closing bracket before its opening one is as unequal as a missing one.
    int brackets = 0;
    bool closedTooEarly = false;
    for (const TExprWordPtr& word : tokens) {
        if (IsLeftBracket(word)) ++brackets;
        if (IsRightBracket(word)) closedTooEarly = --brackets < 0 || closedTooEarly;
    }
    if (brackets != 0 || closedTooEarly) throw EParserException("Unequal brackets");
    const size_t count = tokens.size();
    for (size_t p = 0; p < count; ++p) {
        const TExprWordPtr& word = tokens[p];
        const TExprWordPtr* next = p + 1 < count ? &tokens[p + 1] : nullptr;
        if (next != nullptr && word->GetIsVariable() && (*next)->GetIsVariable())
            throw EParserException("Missing operator between '" + word->Name() + "' and '" + (*next)->Name() + "'");
        if (IsLeftBracket(word) && next == nullptr) throw EParserException("Missing closing bracket");
        if (IsRightBracket(word) && next != nullptr && IsLeftBracket(*next))
            throw EParserException("Missing operator between )(");
        if (IsRightBracket(word) && next != nullptr && (*next)->GetIsVariable())
            throw EParserException("Missing operator between ) and constant/variable");
        if (IsLeftBracket(word) && p > 0 && tokens[p - 1]->GetIsVariable())
            throw EParserException("Missing operator between constant/variable and (");
    }
}

// The bracket partners and the priorities of every operator token, found
// once per compile. Priorities: as a
// binary operator, and in prefix position (first in its range, or right
// behind another operator), where it takes the priority of its one-operand
// form (NOT, the leading minus).
void TCustomExpressionParser::ComputePriorities(const TTokenList& tokens) {
    // The partner of every bracket (the list is balanced: Check ran).
    FMatch.assign(tokens.size(), -1);
    std::vector<int> open;
    for (size_t p = 0; p < tokens.size(); ++p) {
        if (IsLeftBracket(tokens[p])) open.push_back(static_cast<int>(p));
        if (IsRightBracket(tokens[p]) && !open.empty()) {
            FMatch[static_cast<size_t>(open.back())] = static_cast<int>(p);
            FMatch[p] = open.back();
            open.pop_back();
        }
    }
    FPriorities.assign(tokens.size(), TTokenPriority{});
    for (size_t p = 0; p < tokens.size(); ++p) {
        const TExprWord& word = *tokens[p];
        TTokenPriority& priority = FPriorities[p];
        if (IsLeftBracket(tokens[p])) priority.Kind = TTokenKind::LeftBracket;
        if (!word.GetIsOperator()) continue;
        priority.Kind = TTokenKind::Operator;
        priority.AfterOperator = p > 0 && tokens[p - 1]->GetIsOperator();
        priority.Binary = Priority(word);
        priority.Prefix = kPrefixPriority;
        int index;
        if (!FWordsList.Search(word.Name(), index)) continue;
        bool binaryFound = false, prefixFound = false;
        for (int i = index; i < FWordsList.Count() && CompareWordNames(FWordsList.Item(i)->Name(), word.Name()) == 0;
             ++i) {
            const TExprWord& overload = *FWordsList.Item(i);
            if (!overload.GetIsOperator()) continue;
            if (overload.GetMaxFunctionArg() == 2 && !binaryFound) {
                priority.Binary = Priority(overload);
                binaryFound = true;
            }
            if (overload.GetMaxFunctionArg() == 1 && !prefixFound) {
                priority.Prefix = Priority(overload);
                prefixFound = true;
            }
        }
    }
}

TExpressionRec* TCustomExpressionParser::MakeTree(const TTokenList& tokens, int from, int to, int depth) {
    if (depth > MaxNesting) NestingTooDeep();
    // Strip enclosing brackets: pairs whose bracket opening the range closes
    // it, so (a)+(b) keeps its brackets and ((a+b)) loses both pairs.
    while (to - from >= 2 && IsLeftBracket(tokens[static_cast<size_t>(from)]) &&
           FMatch[static_cast<size_t>(from)] == to - 1) {
        ++from;
        --to;
    }
    if (from >= to) return nullptr;
    if (to - from == 1) {
        const TExpressionType type = TypeOf(tokens[static_cast<size_t>(from)]);
        if (type == etLeftBracket || type == etRightBracket || type == etComma)
            throw EParserException("Operator/function missing");
        auto* leaf = new TExpressionRec();
        leaf->ExprWord = tokens[static_cast<size_t>(from)];
        leaf->Oper = leaf->ExprWord->ExprFunc();
        return leaf;
    }
    // The operator evaluated last: the highest priority value at depth 0, of
    // equal ones the rightmost (left-to-right grouping). A prefix operator
    // belongs to the operand behind it, so only one that opens the range can
    // be evaluated last.
    int best = -1, bestPriority = 0;
    bool bestPrefix = false;
    for (int p = from; p < to; ++p) {
        const TTokenPriority& info = FPriorities[static_cast<size_t>(p)];
        if (info.Kind == TTokenKind::LeftBracket) p = FMatch[static_cast<size_t>(p)];  // skip the group
        else if (info.Kind == TTokenKind::Operator) {
            const bool prefix = p == from || info.AfterOperator;
            if (prefix && p != from) continue;
            const int priority = prefix ? info.Prefix : info.Binary;
            if (best < 0 || priority > bestPriority || (priority == bestPriority && !prefix && !bestPrefix)) {
                best = p;
                bestPriority = priority;
                bestPrefix = prefix;
            }
        }
    }
    if (best < 0) return MakeFunctionCall(tokens, from, to, depth);
    auto* rec = new TExpressionRec();
    rec->ExprWord = tokens[static_cast<size_t>(best)];
    rec->Oper = rec->ExprWord->ExprFunc();
    try {
        // An operand range that holds only empty brackets, as in "() - 7",
        // gives no operand: the operator would see its other operand in the
        // wrong place.
        // An operator behind its left operand is binary: with nothing behind
        // it ("7 -", "A NOT") its one-operand form must not take the left
        // operand instead.
        if (best > from && best + 1 >= to) throw EParserException("Missing argument");
        int slot = 0;
        if (best > from) rec->ArgList[slot++] = OperandTree(tokens, from, best, depth + 1);
        if (best + 1 < to) rec->ArgList[slot] = OperandTree(tokens, best + 1, to, depth + 1);
    } catch (...) {
        DisposeTree(rec);
        throw;
    }
    return rec;
}

TExpressionRec* TCustomExpressionParser::OperandTree(const TTokenList& tokens, int from, int to, int depth) {
    TExpressionRec* operand = MakeTree(tokens, from, to, depth);
    if (operand == nullptr) throw EParserException("Missing argument");
    return operand;
}

TExpressionRec* TCustomExpressionParser::MakeFunctionCall(const TTokenList& tokens, int from, int to, int depth) {
    const TExprWordPtr& word = tokens[static_cast<size_t>(from)];
    if (!word->IsFunction()) throw EParserException("Operator/function missing");
    auto* rec = new TExpressionRec();
    rec->ExprWord = word;
    rec->Oper = word->ExprFunc();
    try {
        int end = from + 1;
        if (end < to && IsLeftBracket(tokens[static_cast<size_t>(end)])) {
            rec->WantsFunction = true;
            const int close = FMatch[static_cast<size_t>(end)];
            int argStart = end + 1, slot = 0;
            for (int p = end + 1; p <= close; ++p) {
                const TExprWordPtr& token = tokens[static_cast<size_t>(p)];
                if (IsLeftBracket(token) && p != close) {
                    p = FMatch[static_cast<size_t>(p)];
                    continue;
                }
                if (!IsComma(token) && p != close) continue;
                if (slot >= MaxArg) throw EParserException("Function or operand has too many arguments");
                TExpressionRec* arg = MakeTree(tokens, argStart, p, depth + 1);
                if (arg == nullptr && (slot > 0 || p != close)) throw EParserException("Missing argument");
                rec->ArgList[slot++] = arg;
                argStart = p + 1;
            }
            end = close + 1;
        }
        if (end < to) throw EParserException("Missing operator after '" + word->Name() + "'");
    } catch (...) {
        DisposeTree(rec);
        throw;
    }
    return rec;
}

namespace {

int ArgumentCount(const TExpressionRec* rec) {
    int count = 0;
    for (const TExpressionRec* arg : rec->ArgList)
        if (arg != nullptr) ++count;
    return count;
}

const char* ArgumentError(int error) {
    switch (error) {
        case 1: return "Function or operand has too few arguments";
        case 2: return "Argument type mismatch";
        case 3: return "Function or operand has too many arguments";
        default: return "No function with this name, remove brackets for variable";
    }
}

}  // namespace

// 0 when the record's word fits its arguments, else error 1 to 4.
int TCustomExpressionParser::CheckArgumentsOnce(TExpressionRec* rec) const {
    const TExprWord& word = *rec->ExprWord;
    const bool plainFunction = word.IsFunction() && !word.GetIsOperator();
    if (rec->WantsFunction != plainFunction) return 4;
    const std::string spec = word.GetTypeSpec();
    const int maxArgs = word.GetMaxFunctionArg();
    int i = 0;
    for (; i < maxArgs && rec->ArgList[i] != nullptr; ++i)
        if (rec->ArgList[i]->ExprWord->GetResultType() != ExprCharToExprType(spec[static_cast<size_t>(i)])) return 2;
    const int count = ArgumentCount(rec);
    if (count < word.GetMinFunctionArg()) return 1;
    if (count > maxArgs) return 3;
    return 0;
}

void TCustomExpressionParser::CheckArguments(TExpressionRec* rec, int depth) {
    if (depth > MaxNesting) NestingTooDeep();
    for (TExpressionRec* arg : rec->ArgList)
        if (arg != nullptr) CheckArguments(arg, depth + 1);
    int error = CheckArgumentsOnce(rec);
    if (error == 0) return;
    const std::string name = rec->ExprWord->Name();
    int index;
    if (FWordsList.Search(name, index)) {
        while (index < FWordsList.Count() && FWordsList.Item(index) != rec->ExprWord) ++index;
        for (++index; error != 0 && index < FWordsList.Count() &&
                      CompareWordNames(FWordsList.Item(index)->Name(), name) == 0;
             ++index) {
            rec->ExprWord = FWordsList.Item(index);
            rec->Oper = rec->ExprWord->ExprFunc();
            error = CheckArgumentsOnce(rec);
        }
    }
    if (error != 0 && !rec->WantsFunction) {
        // Perhaps a field that shares its name with a function or operator:
        // defined once, then kept behind the function so that later searches
        // still find the function first.
        TExprWordPtr variable = SharedNameVariable(name);
        if (!variable) {
            HandleUnknownVariable(name);
            if (FWordsList.Search(name, index) && FWordsList.Item(index)->GetIsVariable()) {
                variable = FWordsList.Item(index);
                if (index + 1 < FWordsList.Count() && CompareWordNames(FWordsList.Item(index + 1)->Name(), name) == 0)
                    FWordsList.Swap(index, index + 1);
            }
        }
        if (variable) {
            rec->ExprWord = variable;
            rec->Oper = variable->ExprFunc();
            error = CheckArgumentsOnce(rec);
        }
    }
    if (error != 0) throw EParserException(ArgumentError(error));
}

TExprWordPtr TCustomExpressionParser::SharedNameVariable(const std::string& name) const {
    int index;
    if (!FWordsList.Search(name, index)) return nullptr;
    for (; index < FWordsList.Count() && CompareWordNames(FWordsList.Item(index)->Name(), name) == 0; ++index)
        if (FWordsList.Item(index)->GetIsVariable()) return FWordsList.Item(index);
    return nullptr;
}

void TCustomExpressionParser::LinkVariables(TExpressionRec* rec) {
    std::vector<TExpressionRec*> pending{rec};
    while (!pending.empty()) {
        TExpressionRec* current = pending.back();
        pending.pop_back();
        if (current->ExprWord->GetIsVariable()) {
            current->Args[0] = current->ExprWord->AsPointer();
            current->Args[1] = current->ExprWord->LenAsPointer();
        }
        for (TExpressionRec* arg : current->ArgList)
            if (arg != nullptr) pending.push_back(arg);
    }
}

bool TCustomExpressionParser::CanVary(const TExpressionRec* rec) const {
    std::vector<const TExpressionRec*> pending{rec};
    while (!pending.empty()) {
        const TExpressionRec* current = pending.back();
        pending.pop_back();
        if (current->ExprWord->GetCanVary()) return true;
        for (const TExpressionRec* arg : current->ArgList)
            if (arg != nullptr) pending.push_back(arg);
    }
    return false;
}

void TCustomExpressionParser::RemoveConstants(TExpressionRec*& slot, int depth) {
    if (depth > MaxNesting) NestingTooDeep();
    TExpressionRec* rec = slot;
    const TExpressionType type = rec->ExprWord->GetResultType();
    const bool foldable = type == etString || type == etBoolean || type == etFloat;
    if (rec->ExprWord->GetIsVariable()) return;
    if (CanVary(rec) || !foldable) {
        for (TExpressionRec*& arg : rec->ArgList)
            if (arg != nullptr) RemoveConstants(arg, depth + 1);
        return;
    }
    slot = nullptr;  // the sub-tree is FoldedLeaf's now, also when it fails
    slot = FoldedLeaf(rec);
}

// Evaluates the constant sub-tree once and answers a leaf holding its value.
TExpressionRec* TCustomExpressionParser::FoldedLeaf(TExpressionRec* rec) {
    const TExpressionType type = rec->ExprWord->GetResultType();
    TExpressionRec* savedFirst = FCurrentRec;
    TExpressionRec* savedLast = FLastRec;
    FCurrentRec = nullptr;
    FLastRec = nullptr;
    FExpResultPos = FExpResult;
    MakeLinkedList(rec, &FExpResult, &FExpResultPos, &FExpResultSize);
    TExpressionRec* subList = FCurrentRec;
    FCurrentRec = savedFirst;
    FLastRec = savedLast;
    try {
        RunList(subList, FCompiledText);
    } catch (...) {
        DisposeList(subList);
        throw;
    }
    DisposeList(subList);
    TExprWordPtr constant;
    if (type == etString) {
        const auto* text = reinterpret_cast<const char16_t*>(FExpResult);
        std::u16string value(text);
        constant = std::make_shared<TStringConstant>("'" + Utf16ResultToUtf8(text, -1) + "'", std::move(value));
    } else if (type == etBoolean) {
        constant = std::make_shared<TBooleanConstant>(*FExpResult != 0 ? ".T." : ".F.", *FExpResult != 0);
    } else {
        double value;
        std::memcpy(&value, FExpResult, sizeof value);
        constant = std::make_shared<TFloatConstant>(std::to_string(value), value);
    }
    FConstantsList.push_back(constant);
    auto* leaf = new TExpressionRec();
    leaf->ExprWord = constant;
    leaf->Oper = constant->ExprFunc();
    leaf->Args[0] = constant->AsPointer();
    leaf->Args[1] = constant->LenAsPointer();
    return leaf;
}

void TCustomExpressionParser::AppendToList(TExpressionRec* rec) {
    rec->Next = nullptr;
    if (FLastRec == nullptr) FCurrentRec = rec;
    else FLastRec->Next = rec;
    FLastRec = rec;
}

void TCustomExpressionParser::MakeLinkedList(TExpressionRec* rec, char** memory, char** position, int* size) {
    if (rec->Oper == nullptr) {
        // String concatenation: the operands write into one destination in turn.
        for (TExpressionRec*& arg : rec->ArgList) {
            if (arg == nullptr) continue;
            TExpressionRec* piece = arg;
            arg = nullptr;
            MakeLinkedList(piece, memory, position, size);
        }
        delete rec;
        return;
    }
    rec->ResetDest = *position == *memory;
    if (rec->ResetDest) *position = *memory + sizeof(char16_t);
    for (int i = 0; i < MaxArg; ++i) {
        TExpressionRec* arg = rec->ArgList[i];
        if (arg == nullptr) continue;
        rec->ArgsType[i] = arg->ExprWord->GetResultType();
        rec->AllocateArg(i);
        const bool concatenation = arg->Oper == nullptr;  // freed while it is linked
        rec->ArgList[i] = nullptr;
        MakeLinkedList(arg, &rec->Args[i], &rec->ArgsPos[i], &rec->ArgsSize[i]);
        if (!concatenation) rec->ArgList[i] = arg;
    }
    rec->Res = std::make_unique<TDynamicType>(memory, position, size);
    rec->Context = &FContext;
    AppendToList(rec);
}

}  // namespace dbf
