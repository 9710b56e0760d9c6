// The words of the expression engine and the records of a compiled expression.
//
// A word (TExprWord) is everything an expression can name: brackets and the
// comma, functions and operators, constants and variables. A compiled
// expression is a flat list of TExpressionRec, each calling its word's
// evaluation routine with the record; arguments come before the records that
// use them. Every record owns one value buffer per argument, allocated at
// compile time; evaluation writes into these buffers and allocates only when
// a string outgrows one (buffers grow in 32-byte steps and never shrink).
//
// Values in a buffer: integers 4 bytes, large integers 8, floats and
// date-times 8-byte doubles, booleans 0 or 1 in the first byte, strings a run
// of char16_t ended by a zero character. Numbers and booleans are written at
// the writer's position without moving it; strings are appended.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace dbf {

namespace platform {
class TTextCollator;
}

enum TExpressionType {
    etInteger,
    etString,
    etBoolean,
    etLargeInt,
    etFloat,
    etDateTime,
    etLeftBracket,
    etRightBracket,
    etComma,
    etUnknown,
};

// A compile error of an expression.
class EParserException : public std::runtime_error {
public:
    explicit EParserException(const std::string& message) : std::runtime_error(message) {}
};

// The type of a signature letter: I S B L F D; any other letter is etUnknown.
TExpressionType ExprCharToExprType(char letter);

inline constexpr int MaxArg = 6;
inline constexpr int ArgAllocSize = 32;

// Writes one record's result into a destination given as three outside
// cells (buffer address, write position, size in bytes), so that a routine can
// grow the buffer it writes into.
class TDynamicType {
public:
    TDynamicType(char** memory, char** position, int* size) : FMemory(memory), FPosition(position), FSize(size) {}

    char* Memory() const { return *FMemory; }
    char* Position() const { return *FPosition; }
    void Rewind() { *FPosition = *FMemory; }
    // Room for n more characters behind the position.
    void AssureSpace(int characters);
    // New size of n bytes (not exact: n rounded down to a multiple of 32, plus 32);
    // the content up to the smaller size is kept and the position keeps its offset.
    void Resize(int bytes, bool exact);
    void Append(const char16_t* source, int length);
    // The decimal digits of |value|.
    void AppendInteger(int32_t value);

private:
    char** FMemory;
    char** FPosition;
    int* FSize;
};

struct TExpressionRec;
class TExprWord;
struct TEvaluationContext;
using TExprFunc = void (*)(TExpressionRec* param);

// What the words that depend on more than their arguments read while a
// compiled expression runs; owned by the parser.
struct TEvaluationContext {
    const platform::TTextCollator* CaseSensitive = nullptr;
    const platform::TTextCollator* CaseInsensitive = nullptr;
    const uint8_t* RecordBuffer = nullptr;  // the record image being evaluated, or null
    int32_t RecNo = 0;                      // its record number, 0 when unknown
};
using TExprWordPtr = std::shared_ptr<TExprWord>;

// One node of a compiled expression.
struct TExpressionRec {
    TExpressionRec();
    ~TExpressionRec();
    TExpressionRec(const TExpressionRec&) = delete;
    TExpressionRec& operator=(const TExpressionRec&) = delete;

    // A new value buffer of ArgAllocSize bytes for argument i, owned by this record.
    void AllocateArg(int i);

    TExprFunc Oper = nullptr;
    TExpressionRec* Next = nullptr;
    std::unique_ptr<TDynamicType> Res;
    TExprWordPtr ExprWord;
    bool ResetDest = false;
    bool WantsFunction = false;
    char* Args[MaxArg];
    char* ArgsPos[MaxArg];
    int ArgsSize[MaxArg];
    TExpressionType ArgsType[MaxArg];
    TExpressionRec* ArgList[MaxArg];
    bool ArgOwned[MaxArg];
    // What the per-record words (collation, record number, deletion flag) read.
    const TEvaluationContext* Context = nullptr;
};

// Frees a tree of records (arguments first), without recursion.
void DisposeTree(TExpressionRec* root);
// Frees an evaluation list.
void DisposeList(TExpressionRec* first);

class TExprWord {
public:
    TExprWord(std::string name, TExprFunc func) : FName(std::move(name)), FExprFunc(func) {}
    virtual ~TExprWord() = default;

    const std::string& Name() const { return FName; }
    TExprFunc ExprFunc() const { return FExprFunc; }

    virtual bool GetIsOperator() const { return false; }
    virtual int GetFixedLen() const { return -1; }
    virtual bool GetCanVary() const { return false; }
    virtual TExpressionType GetResultType() const { return etUnknown; }
    virtual int GetMinFunctionArg() const { return 0; }
    virtual int GetMaxFunctionArg() const { return 0; }
    virtual std::string GetDescription() const { return {}; }
    virtual std::string GetTypeSpec() const { return {}; }
    virtual std::string GetShortName() const { return {}; }
    virtual void SetFixedLen(int) {}
    virtual char* LenAsPointer() { return nullptr; }
    virtual char* AsPointer() { return nullptr; }
    virtual bool IsFunction() const { return false; }
    // Whether the evaluation routine is one of the value-copy routines.
    bool GetIsVariable() const;

private:
    std::string FName;
    TExprFunc FExprFunc;
};

class TLeftBracket : public TExprWord {
public:
    TLeftBracket() : TExprWord("(", nullptr) {}
    TExpressionType GetResultType() const override { return etLeftBracket; }
};

class TRightBracket : public TExprWord {
public:
    TRightBracket() : TExprWord(")", nullptr) {}
    TExpressionType GetResultType() const override { return etRightBracket; }
};

class TComma : public TExprWord {
public:
    TComma() : TExprWord(",", nullptr) {}
    TExpressionType GetResultType() const override { return etComma; }
};

// An operator or function of the word table.
class TFunction : public TExprWord {
public:
    // An operator: both argument counts are the length of the type spec.
    static TExprWordPtr Operator(const std::string& name, const std::string& typeSpec, TExpressionType resultType,
                                 TExprFunc func, int operPrec);
    static TExprWordPtr Function(const std::string& name, const std::string& shortName, const std::string& typeSpec,
                                 int minArg, TExpressionType resultType, TExprFunc func,
                                 const std::string& description);

    // Raises "Too many arguments" for a type spec longer than MaxArg.
    TFunction(const std::string& name, const std::string& shortName, const std::string& typeSpec, int minArg,
              TExpressionType resultType, TExprFunc func, bool isOperator, int operPrec,
              const std::string& description);

    bool GetIsOperator() const override { return FIsOperator; }
    TExpressionType GetResultType() const override { return FResultType; }
    int GetMinFunctionArg() const override { return FMinFunctionArg; }
    int GetMaxFunctionArg() const override { return static_cast<int>(FTypeSpec.size()); }
    std::string GetDescription() const override { return FDescription; }
    std::string GetTypeSpec() const override { return FTypeSpec; }
    std::string GetShortName() const override { return FShortName; }
    bool IsFunction() const override { return true; }
    bool GetCanVary() const override { return FVaries; }
    int OperPrec() const { return FOperPrec; }
    // A function whose value changes from record to record without a variable
    // argument (the record number, the date): never folded into a constant.
    void SetVaries() { FVaries = true; }

private:
    std::string FShortName;
    std::string FTypeSpec;
    std::string FDescription;
    TExpressionType FResultType;
    int FMinFunctionArg;
    int FOperPrec;
    bool FIsOperator;
    bool FVaries = false;
};

// Value-copy routines of constants and variables.
void FuncStrVariable(TExpressionRec* param);
void FuncStrConstant(TExpressionRec* param);
void FuncFloatVariable(TExpressionRec* param);
void FuncBooleanVariable(TExpressionRec* param);
void FuncIntegerVariable(TExpressionRec* param);
void FuncLargeIntVariable(TExpressionRec* param);
void FuncDateTimeVariable(TExpressionRec* param);

class TConstant : public TExprWord {
public:
    TConstant(std::string name, TExpressionType type, TExprFunc func)
        : TExprWord(std::move(name), func), FResultType(type) {}
    TExpressionType GetResultType() const override { return FResultType; }

private:
    TExpressionType FResultType;
};

class TStringConstant : public TConstant {
public:
    TStringConstant(std::string name, std::u16string value);
    char* AsPointer() override { return reinterpret_cast<char*>(&FPointer); }
    char* LenAsPointer() override { return reinterpret_cast<char*>(&FLength); }
    const std::u16string& Value() const { return FValue; }

private:
    std::u16string FValue;
    const char16_t* FPointer;
    int FLength;
};

class TIntegerConstant : public TConstant {
public:
    TIntegerConstant(int32_t value);
    char* AsPointer() override { return reinterpret_cast<char*>(&FValue); }

private:
    int32_t FValue;
};

class TFloatConstant : public TConstant {
public:
    TFloatConstant(std::string name, double value);
    char* AsPointer() override { return reinterpret_cast<char*>(&FValue); }

private:
    double FValue;
};

class TBooleanConstant : public TConstant {
public:
    TBooleanConstant(std::string name, bool value);
    char* AsPointer() override { return reinterpret_cast<char*>(&FValue); }

private:
    uint8_t FValue;
};

// A named value that lives outside the parser.
class TVariable : public TExprWord {
public:
    TVariable(std::string name, TExpressionType type, TExprFunc func, char* value)
        : TExprWord(std::move(name), func), FResultType(type), FValue(value) {}
    bool GetCanVary() const override { return true; }
    TExpressionType GetResultType() const override { return FResultType; }
    char* AsPointer() override { return FValue; }

private:
    TExpressionType FResultType;
    char* FValue;
};

// The outside value is a pointer to the characters; the fixed length (-1:
// up to the zero character) says how many of them to take.
class TStringVariable : public TVariable {
public:
    TStringVariable(std::string name, const char16_t** value)
        : TVariable(std::move(name), etString, FuncStrVariable, reinterpret_cast<char*>(value)) {}
    int GetFixedLen() const override { return FFixedLen; }
    void SetFixedLen(int length) override { FFixedLen = length; }
    char* LenAsPointer() override { return reinterpret_cast<char*>(&FFixedLen); }

private:
    int FFixedLen = -1;
};

class TIntegerVariable : public TVariable {
public:
    TIntegerVariable(std::string name, int32_t* value)
        : TVariable(std::move(name), etInteger, FuncIntegerVariable, reinterpret_cast<char*>(value)) {}
};

class TLargeIntVariable : public TVariable {
public:
    TLargeIntVariable(std::string name, int64_t* value)
        : TVariable(std::move(name), etLargeInt, FuncLargeIntVariable, reinterpret_cast<char*>(value)) {}
};

class TFloatVariable : public TVariable {
public:
    TFloatVariable(std::string name, double* value)
        : TVariable(std::move(name), etFloat, FuncFloatVariable, reinterpret_cast<char*>(value)) {}
};

class TDateTimeVariable : public TVariable {
public:
    TDateTimeVariable(std::string name, double* value)
        : TVariable(std::move(name), etDateTime, FuncDateTimeVariable, reinterpret_cast<char*>(value)) {}
};

class TBooleanVariable : public TVariable {
public:
    TBooleanVariable(std::string name, uint8_t* value)
        : TVariable(std::move(name), etBoolean, FuncBooleanVariable, reinterpret_cast<char*>(value)) {}
};

}  // namespace dbf
