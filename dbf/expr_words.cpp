#include "dbf/expr_words.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace dbf {

TExpressionType ExprCharToExprType(char letter) {
    switch (letter) {
        case 'I': return etInteger;
        case 'S': return etString;
        case 'B': return etBoolean;
        case 'L': return etLargeInt;
        case 'F': return etFloat;
        case 'D': return etDateTime;
        default: return etUnknown;
    }
}

// ---- result writer ----

void TDynamicType::AssureSpace(int characters) {
    const int64_t used = *FPosition - *FMemory;
    const int64_t needed = used + static_cast<int64_t>(characters) * 2;
    if (needed > *FSize) Resize(static_cast<int>(needed), false);
}

void TDynamicType::Resize(int bytes, bool exact) {
    const int newSize = exact ? bytes : (bytes / ArgAllocSize) * ArgAllocSize + ArgAllocSize;
    const int64_t offset = *FPosition - *FMemory;
    char* grown = static_cast<char*>(std::realloc(*FMemory, static_cast<size_t>(newSize)));
    if (grown == nullptr) throw std::bad_alloc();
    *FMemory = grown;
    *FSize = newSize;
    *FPosition = grown + std::min<int64_t>(offset, newSize);
}

void TDynamicType::Append(const char16_t* source, int length) {
    AssureSpace(length + 1);
    char16_t* dest = reinterpret_cast<char16_t*>(*FPosition);
    if (length > 0) std::memmove(dest, source, static_cast<size_t>(length) * 2);
    dest[length] = 0;
    *FPosition += static_cast<size_t>(length) * 2;
}

void TDynamicType::AppendInteger(int32_t value) {
    char16_t digits[12];
    int count = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[11 - count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    Append(digits + 12 - count, count);
}

// ---- records ----

TExpressionRec::TExpressionRec() {
    for (int i = 0; i < MaxArg; ++i) {
        Args[i] = nullptr;
        ArgsPos[i] = nullptr;
        ArgsSize[i] = 0;
        ArgsType[i] = etUnknown;
        ArgList[i] = nullptr;
        ArgOwned[i] = false;
    }
}

TExpressionRec::~TExpressionRec() {
    for (int i = 0; i < MaxArg; ++i)
        if (ArgOwned[i]) std::free(Args[i]);
}

void TExpressionRec::AllocateArg(int i) {
    if (ArgOwned[i]) std::free(Args[i]);
    Args[i] = static_cast<char*>(std::calloc(1, ArgAllocSize));
    if (Args[i] == nullptr) throw std::bad_alloc();
    ArgOwned[i] = true;
    ArgsPos[i] = Args[i];
    ArgsSize[i] = ArgAllocSize;
}

void DisposeTree(TExpressionRec* root) {
    std::vector<TExpressionRec*> pending;
    if (root != nullptr) pending.push_back(root);
    while (!pending.empty()) {
        TExpressionRec* rec = pending.back();
        pending.pop_back();
        for (TExpressionRec* arg : rec->ArgList)
            if (arg != nullptr) pending.push_back(arg);
        delete rec;
    }
}

void DisposeList(TExpressionRec* first) {
    while (first != nullptr) {
        TExpressionRec* next = first->Next;
        delete first;
        first = next;
    }
}

// ---- words ----

bool TExprWord::GetIsVariable() const {
    return FExprFunc == FuncStrVariable || FExprFunc == FuncStrConstant || FExprFunc == FuncFloatVariable ||
           FExprFunc == FuncBooleanVariable || FExprFunc == FuncIntegerVariable ||
           FExprFunc == FuncLargeIntVariable || FExprFunc == FuncDateTimeVariable;
}

TFunction::TFunction(const std::string& name, const std::string& shortName, const std::string& typeSpec, int minArg,
                     TExpressionType resultType, TExprFunc func, bool isOperator, int operPrec,
                     const std::string& description)
    : TExprWord(name, func),
      FShortName(shortName),
      FTypeSpec(typeSpec),
      FDescription(description),
      FResultType(resultType),
      FMinFunctionArg(isOperator ? static_cast<int>(typeSpec.size()) : minArg),
      FOperPrec(operPrec),
      FIsOperator(isOperator) {
    if (typeSpec.size() > static_cast<size_t>(MaxArg)) throw EParserException("Too many arguments");
}

TExprWordPtr TFunction::Operator(const std::string& name, const std::string& typeSpec, TExpressionType resultType,
                                 TExprFunc func, int operPrec) {
    return std::make_shared<TFunction>(name, "", typeSpec, 0, resultType, func, true, operPrec, "");
}

TExprWordPtr TFunction::Function(const std::string& name, const std::string& shortName, const std::string& typeSpec,
                                 int minArg, TExpressionType resultType, TExprFunc func,
                                 const std::string& description) {
    return std::make_shared<TFunction>(name, shortName, typeSpec, minArg, resultType, func, false, 0, description);
}

TStringConstant::TStringConstant(std::string name, std::u16string value)
    : TConstant(std::move(name), etString, FuncStrConstant),
      FValue(std::move(value)),
      FPointer(FValue.c_str()),
      FLength(static_cast<int>(FValue.size())) {}

TIntegerConstant::TIntegerConstant(int32_t value)
    : TConstant(std::to_string(value), etInteger, FuncIntegerVariable), FValue(value) {}

TFloatConstant::TFloatConstant(std::string name, double value)
    : TConstant(std::move(name), etFloat, FuncFloatVariable), FValue(value) {}

TBooleanConstant::TBooleanConstant(std::string name, bool value)
    : TConstant(std::move(name), etBoolean, FuncBooleanVariable), FValue(value ? 1 : 0) {}

// ---- value-copy routines ----
// Args[0] is the value's address, Args[1] (strings) the fixed length's.

void FuncStrVariable(TExpressionRec* param) {
    const char16_t* text = *reinterpret_cast<const char16_t* const*>(param->Args[0]);
    int length = *reinterpret_cast<const int*>(param->Args[1]);
    if (length < 0) length = static_cast<int>(std::char_traits<char16_t>::length(text));
    param->Res->Append(text, length);
}

void FuncStrConstant(TExpressionRec* param) { FuncStrVariable(param); }

void FuncFloatVariable(TExpressionRec* param) {
    std::memcpy(param->Res->Position(), param->Args[0], sizeof(double));
}

void FuncDateTimeVariable(TExpressionRec* param) {
    std::memcpy(param->Res->Position(), param->Args[0], sizeof(double));
}

void FuncBooleanVariable(TExpressionRec* param) { *param->Res->Position() = *param->Args[0]; }

void FuncIntegerVariable(TExpressionRec* param) {
    std::memcpy(param->Res->Position(), param->Args[0], sizeof(int32_t));
}

void FuncLargeIntVariable(TExpressionRec* param) {
    std::memcpy(param->Res->Position(), param->Args[0], sizeof(int64_t));
}

}  // namespace dbf
