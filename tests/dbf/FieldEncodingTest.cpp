// Field bytes against value buffers, for every letter, in both directions.
#include "dbf/field_codec.h"
#include "dbf/messages.h"
#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <variant>

namespace {

using dbf::TFieldType;
using enum ds::TFieldType;

struct TNull {
    bool operator==(const TNull&) const = default;
};
// A value as the test states it; the buffer type follows from the data type.
using TValue = std::variant<TNull, std::string, int64_t, double>;

enum TDirection { Both, ReadOnly, WriteOnly };

struct TEncodingCase {
    const char* Name;
    dbf::TXBaseVersion Version;
    char Letter;
    int Size;
    int Precision;
    TFieldType Type;
    bool Native;
    std::string Bytes;  // the field's bytes in the record
    TValue Value;
    TDirection Direction = Both;
    dbf::TDateTimeHandling Handling = dbf::dtBDETimeStamp;
};

std::string Hex(const char* hex) {
    std::string bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) bytes += static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16));
    return bytes;
}

// The day number of 5 March 2024 (1 January 0001 = 1) and its date-time.
constexpr int64_t kMarch5Day = 738950;
constexpr double kMarch5 = 45356.0;

const TEncodingCase kCases[] = {
    {"TextTrailingBlanksDropped", dbf::xBaseIV, 'C', 10, 0, ftString, true, "Tb 1      ", std::string("Tb 1")},
    {"TextAllBlanksIsNull", dbf::xBaseIV, 'C', 10, 0, ftString, true, "          ", TNull{}},
    {"TextKeepsLeadingBlanks", dbf::xBaseIV, 'C', 3, 0, ftString, true, "  7", std::string("  7")},
    {"TextAsIntegerDropsLeadingBlanks", dbf::xBaseIV, 'C', 3, 0, ftInteger, true, "  7", int64_t{7}, ReadOnly},
    {"TextLongerIsCut", dbf::xBaseIV, 'C', 5, 0, ftString, true, "abcde", std::string("abcdefgh"), WriteOnly},
    {"LogicalUpperT", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, "T", int64_t{1}},
    {"LogicalLowerT", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, "t", int64_t{1}, ReadOnly},
    {"LogicalF", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, "F", int64_t{0}},
    {"LogicalUpperY", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, "Y", int64_t{1}, ReadOnly},
    {"LogicalLowerY", dbf::xFoxPro, 'L', 1, 0, ftBoolean, true, "y", int64_t{1}, ReadOnly},
    {"LogicalN", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, "N", int64_t{0}, ReadOnly},
    {"LogicalLowerN", dbf::xBaseIII, 'L', 1, 0, ftBoolean, true, "n", int64_t{0}, ReadOnly},
    // "?" is the unknown logical of dBASE and FoxPro: no value, as every other reader has it.
    {"LogicalQuestionMarkIsNull", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, "?", TNull{}, ReadOnly},
    {"LogicalOtherLetterReadsFalse", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, "x", int64_t{0}, ReadOnly},
    {"LogicalBlankIsNull", dbf::xBaseIV, 'L', 1, 0, ftBoolean, true, " ", TNull{}},
    {"MemoBlockOne", dbf::xBaseIV, 'M', 10, 0, ftInteger, true, "0000000001", int64_t{1}},
    {"MemoBlockZero", dbf::xBaseIV, 'M', 10, 0, ftInteger, true, "0000000000", int64_t{0}},
    {"MemoNull", dbf::xBaseIV, 'M', 10, 0, ftInteger, true, "          ", TNull{}},
    {"NumericNegative", dbf::xBaseIV, 'N', 5, 0, ftInteger, true, "   -5", int64_t{-5}},
    {"NumericFullWidth", dbf::xBaseIV, 'N', 5, 0, ftInteger, true, "12345", int64_t{12345}},
    {"NumericGarbageReadsZero", dbf::xBaseIV, 'N', 5, 0, ftInteger, true, "  1x2", int64_t{0}, ReadOnly},
    {"NumericAsterisksAreNull", dbf::xBaseIII, 'N', 5, 0, ftInteger, true, "*****", TNull{}, ReadOnly},
    {"FloatAsterisksAreNull", dbf::xBaseIII, 'N', 10, 3, ftFloat, true, "**********", TNull{}, ReadOnly},
    {"NumericNulBytesAreNull", dbf::xBaseIII, 'N', 5, 0, ftInteger, true, std::string(5, '\0'), TNull{}, ReadOnly},
    {"FloatNulPaddedReadsItsNumber", dbf::xBaseIII, 'F', 8, 2, ftFloat, true, std::string("  3.14\0\0", 8), 3.14, ReadOnly},
    {"NumericSomeAsterisksReadZero", dbf::xBaseIII, 'N', 5, 0, ftInteger, true, "  *1*", int64_t{0}, ReadOnly},
    {"NumericSmallint", dbf::xBaseIV, 'N', 4, 0, ftSmallint, true, "-999", int64_t{-999}},
    {"NumericLargeint", dbf::xBaseIV, 'N', 20, 0, ftLargeint, true, "       1234567890123", int64_t{1234567890123}},
    {"FloatRoundsToDecimals", dbf::xBaseIV, 'N', 8, 2, ftFloat, true, "    3.14", 3.14159, WriteOnly},
    {"FloatReadsWithPoint", dbf::xBaseIV, 'N', 8, 2, ftFloat, true, "   -3.14", -3.14},
    {"FloatReadsUserSeparator", dbf::xBaseIV, 'N', 8, 2, ftFloat, true, "    3,14", 3.14, ReadOnly},
    {"FloatTwoPointsReadZero", dbf::xBaseIV, 'F', 8, 2, ftFloat, true, "  1.2.30", 0.0, ReadOnly},
    {"FloatNegativeZeroHasNoSign", dbf::xBaseIV, 'N', 8, 2, ftFloat, true, "    0.00", -0.001, WriteOnly},
    {"FloatLimitedSignificantDigits", dbf::xBaseIV, 'F', 20, 18, ftFloat, true, "0.123456789012346000", 0.123456789012345678, WriteOnly},
    {"DateNative", dbf::xBaseIV, 'D', 8, 0, ftDate, true, "20240305", kMarch5Day},
    {"DateAsDateTime", dbf::xBaseIV, 'D', 8, 0, ftDateTime, false, "20240305", kMarch5},
    {"DateTimeWritesDatePart", dbf::xBaseIV, 'D', 8, 0, ftDateTime, false, "20240305", kMarch5 + 0.75, WriteOnly},
    {"DateBadMonthReadsOne", dbf::xBaseIV, 'D', 8, 0, ftDateTime, false, "2024xx05", kMarch5 - 60, ReadOnly},
    {"DateImpossibleReadsZero", dbf::xBaseIV, 'D', 8, 0, ftDateTime, false, "20240230", 0.0, ReadOnly},
    {"DateOfZerosIsNull", dbf::xBaseIII, 'D', 8, 0, ftDate, true, "00000000", TNull{}, ReadOnly},
    {"DateBlankIsNull", dbf::xBaseIV, 'D', 8, 0, ftDate, true, "        ", TNull{}},
    {"IntegerLevel7One", dbf::xBaseVII, 'I', 4, 0, ftInteger, true, Hex("80000001"), int64_t{1}},
    {"IntegerLevel7MinusOne", dbf::xBaseVII, 'I', 4, 0, ftInteger, true, Hex("7fffffff"), int64_t{-1}},
    {"IntegerLevel7Zero", dbf::xBaseVII, 'I', 4, 0, ftInteger, true, Hex("80000000"), int64_t{0}},
    {"IntegerLevel7Null", dbf::xBaseVII, 'I', 4, 0, ftInteger, true, Hex("00000000"), TNull{}},
    {"AutoIncLevel7", dbf::xBaseVII, '+', 4, 0, ftAutoInc, true, Hex("80000005"), int64_t{5}},
    {"IntegerFoxPro", dbf::xFoxPro, 'I', 4, 0, ftInteger, true, Hex("feffffff"), int64_t{-2}},
    {"IntegerFoxProZeroIsValue", dbf::xFoxPro, 'I', 4, 0, ftInteger, true, Hex("00000000"), int64_t{0}, ReadOnly},
    {"IntegerFoxProNullWritesZeros", dbf::xFoxPro, 'I', 4, 0, ftInteger, true, Hex("00000000"), TNull{}, WriteOnly},
    {"DoublePositive", dbf::xBaseVII, 'O', 8, 0, ftFloat, true, Hex("c107a7d000000000"), 193786.0},
    {"DoubleNegative", dbf::xBaseVII, 'O', 8, 0, ftFloat, true, Hex("3ffbffffffffffff"), -2.5},
    {"DoubleZeroIsValue", dbf::xBaseVII, 'O', 8, 0, ftFloat, true, Hex("8000000000000000"), 0.0},
    {"DoubleNull", dbf::xBaseVII, 'O', 8, 0, ftFloat, true, Hex("0000000000000000"), TNull{}},
    {"TimestampBde", dbf::xBaseVII, '@', 8, 0, ftDateTime, true, Hex("42cd0892e7ab0000"), kMarch5 + 0.5},
    {"TimestampAsDate", dbf::xBaseVII, '@', 8, 0, ftDate, true, Hex("42cd0892e7ab0000"), kMarch5Day, ReadOnly},
    {"TimestampDateTime", dbf::xBaseVII, '@', 8, 0, ftDateTime, true, Hex("40e6259000000000"), kMarch5 + 0.5, Both, dbf::dtDateTime},
    {"TimestampNull", dbf::xBaseVII, '@', 8, 0, ftDateTime, true, Hex("0000000000000000"), TNull{}},
    {"TimestampWholeDayIsValue", dbf::xBaseVII, '@', 8, 0, ftDateTime, true, Hex("40e6258000000000"), kMarch5, Both, dbf::dtDateTime},
    {"FoxDateTime", dbf::xFoxPro, 'T', 8, 0, ftDateTime, true, Hex("d78a2500002e9302"), kMarch5 + 0.5},
    {"FoxDateTimeNull", dbf::xFoxPro, 'T', 8, 0, ftDateTime, true, Hex("0000000000000000"), TNull{}},
    {"CurrencyRounded", dbf::xFoxPro, 'Y', 8, 4, ftCurrency, true, Hex("0c30000000000000"), 1.23},
    {"CurrencyZeroIsValue", dbf::xFoxPro, 'Y', 8, 4, ftCurrency, true, Hex("0000000000000000"), 0.0, ReadOnly},
    {"CurrencyAsBcdPassesBytes", dbf::xFoxPro, 'Y', 8, 4, ftBCD, true, Hex("0102030405060708"), Hex("0102030405060708")},
    {"FoxDouble", dbf::xFoxPro, 'B', 8, 0, ftFloat, true, Hex("0000000000000440"), 2.5},
    {"FoxMemoReference", dbf::xFoxPro, 'M', 4, 0, ftInteger, true, Hex("07000000"), int64_t{7}},
    {"FoxMemoNull", dbf::xFoxPro, 'M', 4, 0, ftInteger, true, Hex("00000000"), TNull{}},
    {"FoxGeneralReference", dbf::xFoxPro, 'G', 4, 0, ftInteger, true, Hex("07010000"), int64_t{263}},
};

size_t BufferSize(const TEncodingCase& c) { return static_cast<size_t>(c.Size) + 16; }

// Puts the stated value into a value buffer of the case's data type.
std::string EncodeValue(const TEncodingCase& c) {
    std::string buf(BufferSize(c), '\0');
    auto put = [&buf](auto v) { std::memcpy(buf.data(), &v, sizeof v); };
    if (const auto* s = std::get_if<std::string>(&c.Value)) {
        std::memcpy(buf.data(), s->data(), s->size());
    } else if (const auto* i = std::get_if<int64_t>(&c.Value)) {
        switch (c.Type) {
            case ftSmallint: put(static_cast<int16_t>(*i)); break;
            case ftBoolean: put(static_cast<uint16_t>(*i)); break;
            case ftLargeint: put(*i); break;
            default: put(static_cast<int32_t>(*i)); break;
        }
    } else if (const auto* d = std::get_if<double>(&c.Value)) {
        put(*d);
    }
    return buf;
}

// Reads a value buffer back into the form in which the case states its value.
TValue DecodeValue(const TEncodingCase& c, const std::string& buf) {
    auto get = [&buf](auto v) { std::memcpy(&v, buf.data(), sizeof v); return v; };
    if (std::holds_alternative<std::string>(c.Value))
        return c.Type == ftBCD ? buf.substr(0, 8) : std::string(buf.c_str());
    if (std::holds_alternative<double>(c.Value)) return get(double{});
    switch (c.Type) {
        case ftSmallint: return int64_t{get(int16_t{})};
        case ftBoolean: return int64_t{get(uint16_t{}) != 0 ? 1 : 0};
        case ftLargeint: return get(int64_t{});
        default: return int64_t{get(int32_t{})};
    }
}

class FieldEncoding : public testing::TestWithParam<TEncodingCase> {
protected:
    FieldEncoding() : FDefs(GetParam().Version) {
        const TEncodingCase& c = GetParam();
        FField = &FDefs.AddFieldDef();
        FField->SetFieldName("F");
        FField->SetSize(c.Size);
        FField->SetPrecision(c.Precision);
        FField->SetNativeFieldType(c.Letter);
        FField->SetOffset(1);
        FContext.DateTimeHandling = c.Handling;
    }

    // The user writes decimal commas: stored numbers must not follow that.
    dbf::platform::TLocaleOverride FGerman{"de_DE.UTF-8"};
    dbf::TFieldDescriptors FDefs;
    dbf::TFieldDescriptor* FField;
    dbf::TFieldCodecContext FContext;
};

// The cases run in the directions they are stated for: a read-only case is
// not written and a write-only case not read.
std::vector<TEncodingCase> CasesExcept(TDirection excluded) {
    std::vector<TEncodingCase> cases;
    for (const TEncodingCase& c : kCases)
        if (c.Direction != excluded) cases.push_back(c);
    return cases;
}

class FieldEncodingReads : public FieldEncoding {};
class FieldEncodingWrites : public FieldEncoding {};

TEST_P(FieldEncodingReads, Reads) {
    const TEncodingCase& c = GetParam();
    const std::string record = " " + c.Bytes;
    std::string buf(BufferSize(c), '\x55');
    const bool hasValue = dbf::GetFieldDataFromDef(FContext, *FField, c.Type,
                                                   reinterpret_cast<const uint8_t*>(record.data()), buf.data(), c.Native);
    const bool nullExpected = std::holds_alternative<TNull>(c.Value);
    ASSERT_EQ(hasValue, !nullExpected);
    EXPECT_EQ(dbf::GetFieldDataFromDef(FContext, *FField, c.Type, reinterpret_cast<const uint8_t*>(record.data()),
                                       nullptr, c.Native),
              hasValue);
    if (nullExpected) return;
    const TValue got = DecodeValue(c, buf);
    if (const auto* d = std::get_if<double>(&c.Value))
        EXPECT_NEAR(std::get<double>(got), *d, 1e-9);
    else
        EXPECT_EQ(got, c.Value);
}

TEST_P(FieldEncodingWrites, Writes) {
    const TEncodingCase& c = GetParam();
    std::string record(static_cast<size_t>(c.Size) + 2, '#');
    const std::string value = EncodeValue(c);
    const void* src = std::holds_alternative<TNull>(c.Value) ? nullptr : value.data();
    dbf::SetFieldDataFromDef(FContext, *FField, c.Type, src, reinterpret_cast<uint8_t*>(record.data()), c.Native);
    EXPECT_EQ(record, "#" + c.Bytes + "#");
}

std::string CaseName(const testing::TestParamInfo<TEncodingCase>& info) { return info.param.Name; }

INSTANTIATE_TEST_SUITE_P(EveryLetter, FieldEncodingReads, testing::ValuesIn(CasesExcept(WriteOnly)), CaseName);
INSTANTIATE_TEST_SUITE_P(EveryLetter, FieldEncodingWrites, testing::ValuesIn(CasesExcept(ReadOnly)), CaseName);

// Values that the field cannot hold are refused and the bytes stay as they were.
struct TTooWideCase {
    const char* Name;
    char Letter;
    int Size;
    int Precision;
    TFieldType Type;
    double Value;
};

const TTooWideCase kTooWide[] = {
    {"IntegerDigitsBeyondWidth", 'N', 5, 0, ftInteger, 123456},
    {"NegativeSignBeyondWidth", 'N', 5, 0, ftInteger, -12345},
    {"FloatIntegerPartBeyondWidth", 'N', 8, 2, ftFloat, 123456.0},
    {"FloatNotANumber", 'N', 8, 2, ftFloat, std::nan("")},
    {"CurrencyBeyondInt64", 'Y', 8, 4, ftCurrency, 1e16},
};

class FieldEncodingTooWide : public testing::TestWithParam<TTooWideCase> {};

TEST_P(FieldEncodingTooWide, RaisesAndKeepsBytes) {
    const TTooWideCase& c = GetParam();
    dbf::TFieldDescriptors defs(dbf::xFoxPro);
    dbf::TFieldDescriptor& field = defs.AddFieldDef();
    field.SetFieldName("AMOUNT");
    field.SetSize(c.Size);
    field.SetPrecision(c.Precision);
    field.SetNativeFieldType(c.Letter);
    field.SetOffset(1);
    std::string record(static_cast<size_t>(c.Size) + 1, '#');
    const int32_t asInt = static_cast<int32_t>(c.Value);
    const void* src = c.Type == ftInteger ? static_cast<const void*>(&asInt) : static_cast<const void*>(&c.Value);
    try {
        dbf::SetFieldDataFromDef({}, field, c.Type, src, reinterpret_cast<uint8_t*>(record.data()), true);
        FAIL() << "no exception";
    } catch (const dbf::ETableError& e) {
        EXPECT_NE(std::string(e.what()).find("\"AMOUNT\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(record, std::string(record.size(), '#'));
}

INSTANTIATE_TEST_SUITE_P(Values, FieldEncodingTooWide, testing::ValuesIn(kTooWide),
                         [](const testing::TestParamInfo<TTooWideCase>& info) { return info.param.Name; });

struct TIntTextCase {
    int64_t Value;
    int Width;
    char Pad;
    const char* Text;
    bool Fits;
};

TEST(FieldIntegerText, RightAlignsAndPads) {
    const TIntTextCase cases[] = {
        {-5, 5, ' ', "   -5", true},          {123456, 5, ' ', "23456", false},
        {-12345, 5, ' ', "-2345", false},     {-5, 5, '0', "-0005", true},
        {1, 10, '0', "0000000001", true},     {0, 3, ' ', "  0", true},
        {-1234, 5, ' ', "-1234", true},       {INT64_MIN, 20, ' ', "-9223372036854775808", true},
    };
    for (const auto& c : cases) {
        std::string text(static_cast<size_t>(c.Width), '#');
        dbf::GetStrFromInt64_Width(c.Value, c.Width, text.data(), c.Pad);
        EXPECT_EQ(text, c.Text) << c.Value;
        EXPECT_EQ(dbf::IntFitsWidth(c.Value, c.Width), c.Fits) << c.Value;
    }
    std::string text(4, '#');
    dbf::GetStrFromInt_Width(-42, 4, text.data(), ' ');
    EXPECT_EQ(text, " -42");
}

// FoxPro null flags: a nullable field's bit in _NULLFLAGS decides whether it holds a value.
TEST(FieldNullFlags, BitFollowsWritesAndDecidesReads) {
    dbf::TFieldDescriptors defs(dbf::xFoxPro);
    dbf::TFieldDescriptor& amount = defs.AddFieldDef();
    amount.SetNativeFieldType('I');
    amount.SetOffset(1);
    amount.SetNullPosition(3);
    dbf::TFieldDescriptor& flags = defs.AddFieldDef();
    flags.SetFieldName("_NULLFLAGS");
    flags.SetSize(1);
    flags.SetNativeFieldType('0');
    flags.SetOffset(5);
    const dbf::TFieldCodecContext context{dbf::dtBDETimeStamp, &flags};

    std::string record(6, '\0');
    record[5] = '\x01';
    auto* image = reinterpret_cast<uint8_t*>(record.data());
    dbf::SetFieldDataFromDef(context, amount, ftInteger, nullptr, image, true);
    EXPECT_EQ(record[5], '\x09');
    int32_t value = 99;
    EXPECT_FALSE(dbf::GetFieldDataFromDef(context, amount, ftInteger, image, &value, true));
    EXPECT_FALSE(dbf::GetFieldDataFromDef(context, amount, ftInteger, image, nullptr, true));

    const int32_t seven = 7;
    dbf::SetFieldDataFromDef(context, amount, ftInteger, &seven, image, true);
    EXPECT_EQ(record[5], '\x01');
    EXPECT_TRUE(dbf::GetFieldDataFromDef(context, amount, ftInteger, image, nullptr, true));
    ASSERT_TRUE(dbf::GetFieldDataFromDef(context, amount, ftInteger, image, &value, true));
    EXPECT_EQ(value, 7);
}

TEST(FieldNoRecord, ReadsNoValue) {
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    dbf::TFieldDescriptor& field = defs.Add("NAME", ftString, 10, false);
    char buf[11] = "x";
    EXPECT_FALSE(dbf::GetFieldDataFromDef({}, field, ftString, nullptr, buf, true));
}

}  // namespace
