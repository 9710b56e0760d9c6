// Helpers of the expression tests: a parser with a few variables of every
// kind, and the result of an evaluation rendered as "<type letter>:<value>"
// (I:3, L:5, F:3.5, D:45351, B:T, S:text) so cases read as one line each.
#pragma once

#include "dbf/expr_parser.h"
#include "dbf/platform/text.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

inline std::string RenderResult(const char* result, dbf::TExpressionType type) {
    using namespace dbf;
    char text[64];
    switch (type) {
        case etInteger: {
            int32_t v;
            std::memcpy(&v, result, 4);
            return "I:" + std::to_string(v);
        }
        case etLargeInt: {
            int64_t v;
            std::memcpy(&v, result, 8);
            return "L:" + std::to_string(v);
        }
        case etFloat:
        case etDateTime: {
            double v;
            std::memcpy(&v, result, 8);
            std::snprintf(text, sizeof text, "%.15g", v);
            return std::string(type == etFloat ? "F:" : "D:") + text;
        }
        case etBoolean: return std::string("B:") + (result[0] != 0 ? "T" : "F");
        case etString: {
            std::u16string value(reinterpret_cast<const char16_t*>(result));
            std::string utf8;
            for (char16_t c : value) utf8 += dbf::platform::Utf8FromCodePoint(c);
            return "S:" + utf8;
        }
        default: return "?";
    }
}

// A generic parser with the variables A (integer 7), B (integer 2), BIG
// (large integer 5000000000), X (float 2.5), D1 and D2 (dates 2024-02-29 and
// 2024-03-01), FLAG (true), NAME (string "Müller").
class TTestParser : public dbf::TCustomExpressionParser {
public:
    TTestParser() {
        DefineIntegerVariable("A", &IntA);
        DefineIntegerVariable("B", &IntB);
        DefineLargeIntVariable("BIG", &Big);
        DefineFloatVariable("X", &FloatX);
        DefineDateTimeVariable("D1", &Date1);
        DefineDateTimeVariable("D2", &Date2);
        DefineBooleanVariable("FLAG", &Flag);
        DefineStringVariable("NAME", &NamePtr);
    }

    std::string Run(const std::string& text) {
        CompileExpression(text);
        EvaluateCurrent();
        return RenderResult(ExpResult(), GetResultType());
    }

    int32_t IntA = 7;
    int32_t IntB = 2;
    int64_t Big = 5000000000LL;
    double FloatX = 2.5;
    double Date1 = 45351;  // 2024-02-29
    double Date2 = 45352;  // 2024-03-01
    uint8_t Flag = 1;
    std::u16string Name = u"M\u00fcller";
    const char16_t* NamePtr = Name.c_str();
};

// Parameterised cases: an expression and what it must give.
struct TExprCase {
    const char* Text;
    const char* Expected;
};

inline std::string CaseName(const std::string& text) {
    std::string name;
    for (unsigned char c : text) name += std::isalnum(c) ? static_cast<char>(c) : '_';
    return name.empty() ? std::string("empty") : name;
}
