#include "TestHelpers.h"

#include "dataset/DatabaseError.h"
#include "dataset/DateTimeUtils.h"
#include "dataset/FieldFactory.h"
#include "dataset/FormatSettings.h"

#include <gtest/gtest.h>

namespace dstest {
namespace {

// A dataset with one field of every kind, holding one new record in insert state.
class FieldKinds : public ::testing::Test {
protected:
    FieldKinds()
        : dataSet({{"S", ds::ftString, 10}, {"I", ds::ftInteger}, {"SI", ds::ftSmallint}, {"W", ds::ftWord},
                   {"L", ds::ftLargeint}, {"B", ds::ftBoolean}, {"F", ds::ftFloat}, {"C", ds::ftCurrency},
                   {"BCD", ds::ftBCD}, {"D", ds::ftDate}, {"T", ds::ftTime}, {"DT", ds::ftDateTime},
                   {"M", ds::ftMemo}, {"BY", ds::ftBytes, 4}, {"AI", ds::ftAutoInc}}) {
        dataSet.Open();
        dataSet.Append();
    }
    ~FieldKinds() override { ds::FormatSettings() = ds::TFormatSettings(); }

    ds::TField& F(const char* name) { return dataSet.FieldByName(name); }

    TMemoryDataSet dataSet;
};

TEST_F(FieldKinds, EachKindHasItsDataTypeAndStartsNull) {
    const std::pair<const char*, ds::TFieldType> kinds[] = {
        {"S", ds::ftString}, {"I", ds::ftInteger}, {"SI", ds::ftSmallint}, {"W", ds::ftWord},
        {"L", ds::ftLargeint}, {"B", ds::ftBoolean}, {"F", ds::ftFloat}, {"C", ds::ftCurrency},
        {"BCD", ds::ftBCD}, {"D", ds::ftDate}, {"T", ds::ftTime}, {"DT", ds::ftDateTime},
        {"M", ds::ftMemo}, {"BY", ds::ftBytes}, {"AI", ds::ftAutoInc}};
    for (const auto& [name, type] : kinds) {
        EXPECT_EQ(F(name).DataType(), type) << name;
        EXPECT_TRUE(F(name).IsNull()) << name;
        EXPECT_TRUE(F(name).Value().IsNull()) << name;
    }
    EXPECT_EQ(F("S").AsString(), "");
    EXPECT_EQ(F("I").AsInteger(), 0);
    EXPECT_FALSE(F("B").AsBoolean());
    EXPECT_EQ(F("B").AsString(), "");
    EXPECT_EQ(F("F").AsFloat(), 0.0);
    EXPECT_EQ(F("M").AsString(), "");
    EXPECT_EQ(F("M").DisplayText(), "(Memo)");
}

struct TextCase {
    const char* Field;
    const char* Written;
    const char* AsString;
    const char* DisplayText;
};

TEST_F(FieldKinds, TextRoundTripsPerKind) {
    const TextCase cases[] = {
        {"S", "Tb 1", "Tb 1", "Tb 1"},
        {"S", "twelve chars", "twelve cha", "twelve cha"},
        {"I", "-42", "-42", "-42"},
        {"SI", "32767", "32767", "32767"},
        {"W", "65535", "65535", "65535"},
        {"L", "9000000000", "9000000000", "9000000000"},
        {"B", "t", "True", "True"},
        {"B", "FA", "False", "False"},
        {"B", "tRU", "True", "True"},
        {"F", "3.25", "3.25", "3.25"},
        {"F", "0.1", "0.1", "0.1"},
        {"C", "2.5", "2.5", "2.50"},
        {"BCD", "0.1", "0.1", "0.1"},
        {"D", "2024-03-05", "2024-03-05", "2024-03-05"},
        {"T", "13:45:10", "13:45:10", "13:45:10"},
        {"DT", "2024-03-05 06:07:08", "2024-03-05 06:07:08", "2024-03-05 06:07:08"},
        {"DT", "1899-12-30", "1899-12-30", "1899-12-30"},
        {"M", "a memo text", "a memo text", "(MEMO)"},
    };
    for (const TextCase& c : cases) {
        F(c.Field).SetAsString(c.Written);
        EXPECT_EQ(F(c.Field).AsString(), c.AsString) << c.Field << " " << c.Written;
        EXPECT_EQ(F(c.Field).DisplayText(), c.DisplayText) << c.Field << " " << c.Written;
        EXPECT_FALSE(F(c.Field).IsNull()) << c.Field;
    }
}

TEST_F(FieldKinds, EmptyTextClearsNonTextKinds) {
    for (const char* name : {"I", "B", "F", "D", "DT"}) {
        F(name).SetAsString(name[0] == 'B' ? "True" : name[0] == 'D' ? "2020-01-01" : "1");
        F(name).SetAsString("");
        EXPECT_TRUE(F(name).IsNull()) << name;
    }
}

TEST_F(FieldKinds, InvalidTextRaisesTheConversionMessage) {
    struct Case {
        const char* Field;
        const char* Written;
        const char* Message;
    };
    const Case table[] = {
        {"I", "12a", "''12a'' is not a valid integer value"},
        {"I", " 7", "'' 7'' is not a valid integer value"},
        {"L", "99999999999999999999", "''99999999999999999999'' is not a valid integer value"},
        {"B", "yes", "'yes' is not a valid boolean value for field 'B'"},
        {"B", "False ", "'False ' is not a valid boolean value for field 'B'"},
        {"F", "1,5", "''1,5'' is not a valid floating point value"},
        {"D", "2023-02-29", "''2023-02-29'' is not a valid date"},
        {"T", "25:00", "''25:00'' is not a valid time"},
        {"DT", "soon", "''soon'' is not a valid date and time"},
    };
    for (const Case& c : table) {
        F(c.Field).SetAsString("");
        EXPECT_EQ(ErrorOf([&] { F(c.Field).SetAsString(c.Written); }), c.Message) << c.Field;
        EXPECT_TRUE(F(c.Field).IsNull()) << "a refused text stores nothing: " << c.Field;
    }
}

TEST_F(FieldKinds, StringFieldReadsNumbersOnlyWhenItHoldsThem) {
    F("S").SetAsString("3");
    EXPECT_EQ(F("S").AsInteger(), 3);
    F("S").SetAsString("-17");
    EXPECT_EQ(F("S").AsLargeInt(), -17);
    F("S").SetAsString("");
    EXPECT_EQ(ErrorOf([&] { F("S").AsInteger(); }), "'''' is not a valid integer value");
    F("S").SetAsString("3.5");
    EXPECT_EQ(F("S").AsFloat(), 3.5);
    EXPECT_EQ(ErrorOf([&] { F("S").AsInteger(); }), "''3.5'' is not a valid integer value");
    F("S").SetAsBoolean(true);
    EXPECT_EQ(F("S").AsString(), "T");
    EXPECT_TRUE(F("S").AsBoolean());
}

TEST_F(FieldKinds, RangeAndAccessErrors) {
    EXPECT_EQ(ErrorOf([&] { F("SI").SetAsInteger(40000); }),
              "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767");
    EXPECT_EQ(ErrorOf([&] { F("W").SetAsInteger(-1); }),
              "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535");
    EXPECT_EQ(ErrorOf([&] { F("I").SetAsLargeInt(int64_t{1} << 40); }),
              "1099511627776 is not a valid value for field 'I'. The allowed range is -2147483648 to 2147483647");
    EXPECT_EQ(ErrorOf([&] { F("I").AsBoolean(); }), "Cannot access field 'I' as type Boolean");
    EXPECT_EQ(ErrorOf([&] { F("B").AsInteger(); }), "Cannot access field 'B' as type Integer");
    EXPECT_EQ(ErrorOf([&] { F("M").AsDateTime(); }), "Cannot access field 'M' as type DateTime");
}

TEST_F(FieldKinds, NumericConversionsBetweenKinds) {
    F("I").SetAsFloat(2.6);
    EXPECT_EQ(F("I").AsInteger(), 3);
    F("F").SetAsInteger(7);
    EXPECT_EQ(F("F").AsString(), "7");
    F("F").SetAsFloat(2.5e9);
    EXPECT_EQ(ErrorOf([&] { F("F").AsInteger(); }),
              "2500000000 is not a valid value for field 'F'. The allowed range is -2147483648 to 2147483647");
    EXPECT_EQ(F("F").AsLargeInt(), 2500000000);
    F("BCD").SetAsFloat(12.3456);
    EXPECT_DOUBLE_EQ(F("BCD").AsCurrency(), 12.3456);
    int64_t scaled = 0;
    ASSERT_TRUE(F("BCD").GetData(&scaled));
    EXPECT_EQ(scaled, 123456);
}

TEST_F(FieldKinds, DatesTravelAsDayNumbersAndTimesAsMilliseconds) {
    const ds::TDateTime date = *ds::TryEncodeDate(2024, 3, 5);
    F("D").SetAsDateTime(date + 0.75);
    int32_t dayNumber = 0;
    ASSERT_TRUE(F("D").GetData(&dayNumber));
    EXPECT_EQ(dayNumber, 738950);  // 5 March 2024 counted from 1 January 0001 = day 1
    EXPECT_EQ(F("D").AsDateTime(), date);
    F("T").SetAsDateTime(date + 0.5);
    int32_t milliseconds = 0;
    ASSERT_TRUE(F("T").GetData(&milliseconds));
    EXPECT_EQ(milliseconds, 43200000);
    F("DT").SetAsDateTime(date + 0.5);
    EXPECT_EQ(F("DT").Value(), ds::TVariant::DateTime(date + 0.5));
    EXPECT_EQ(ds::DateTimeToDayNumber(0), ds::DateDelta);
}

TEST_F(FieldKinds, TextFollowsTheFormatSettings) {
    ds::FormatSettings().DecimalSeparator = ',';
    ds::FormatSettings().ShortDateFormat = "dd.mm.yyyy";
    F("F").SetAsString("1,5");
    EXPECT_EQ(F("F").AsFloat(), 1.5);
    EXPECT_EQ(F("F").AsString(), "1,5");
    EXPECT_EQ(ErrorOf([&] { F("F").SetAsString("1.5"); }), "''1.5'' is not a valid floating point value");
    F("D").SetAsString("05.03.2024");
    EXPECT_EQ(F("D").AsDateTime(), *ds::TryEncodeDate(2024, 3, 5));
    EXPECT_EQ(F("D").AsString(), "05.03.2024");
}

TEST_F(FieldKinds, ValueRoundTripsThroughTheVariant) {
    const std::pair<const char*, ds::TVariant> cases[] = {
        {"S", "text"}, {"I", 12}, {"L", int64_t{1} << 40}, {"B", true}, {"F", 0.5},
        {"DT", ds::TVariant::DateTime(45000.25)}, {"M", "memo"},
    };
    for (const auto& [name, value] : cases) {
        F(name).SetValue(value);
        EXPECT_EQ(F(name).Value(), value) << name;
        F(name).SetValue(ds::TVariant::Null());
        EXPECT_TRUE(F(name).Value().IsNull() || F(name).IsBlob()) << name;
    }
}

TEST_F(FieldKinds, BytesArePaddedAndShownAsAPlaceholder) {
    F("BY").SetAsString("ab");
    EXPECT_EQ(F("BY").AsString(), std::string("ab\0\0", 4));
    EXPECT_EQ(F("BY").DisplayText(), "(Bytes)");
}

TEST_F(FieldKinds, ReadOnlyFieldRefusesWrites) {
    F("AI").SetReadOnly(true);
    EXPECT_EQ(ErrorOf([&] { F("AI").SetAsInteger(1); }), "Field 'AI' cannot be modified");
    F("M").SetReadOnly(true);
    EXPECT_EQ(ErrorOf([&] { F("M").SetAsString("x"); }), "Field 'M' cannot be modified");
    EXPECT_FALSE(F("AI").CanModify());
    EXPECT_TRUE(F("I").CanModify());
}

TEST_F(FieldKinds, OnValidateSeesTheNewValueAndCanRefuseIt) {
    std::string seen;
    F("S").OnValidate = [&](ds::TField& field) {
        seen = field.AsString();
        if (seen == "bad") throw ds::EDatabaseError("refused");
    };
    int changes = 0;
    F("S").OnChange = [&](ds::TField&) { ++changes; };
    F("S").SetAsString("good");
    EXPECT_EQ(seen, "good");
    EXPECT_EQ(ErrorOf([&] { F("S").SetAsString("bad"); }), "refused");
    EXPECT_EQ(F("S").AsString(), "good");
    EXPECT_EQ(changes, 1);
}

TEST(TextFields, TransliterationAndAnsiNarrowingRouteThroughTheDataset) {
    TMemoryDataSet dataSet({{"S", ds::ftString, 5}, {"M", ds::ftMemo}});
    dataSet.StorageUpperCase = true;
    dataSet.Latin1Ansi = true;
    dataSet.Open();
    dataSet.Append();
    // Five ANSI characters, seven UTF-8 bytes: the field holds them all.
    dataSet.FieldByName("S").SetAsString("größe");
    EXPECT_EQ(dataSet.FieldByName("S").AsString(), "größe");
    dataSet.FieldByName("S").SetAsString("abcdefg");
    dataSet.FieldByName("M").SetAsString("Maß");
    dataSet.Post();
    EXPECT_EQ(dataSet.StoredText(1, 0), "ABCDE");
    EXPECT_EQ(dataSet.FieldByName("S").AsString(), "abcde");
    EXPECT_EQ(dataSet.FieldByName("M").AsString(), "Maß");
    dataSet.FieldByName("S").SetTransliterate(false);
    EXPECT_EQ(dataSet.FieldByName("S").AsString(), "ABCDE");
}

TEST(CalculatedFields, OnCalcFieldsFillsThemForEveryFetchedRecord) {
    TMemoryDataSet dataSet({{"ID", ds::ftInteger}});
    auto doubled = ds::CreateFieldOfType(ds::ftInteger, 0);
    doubled->SetFieldName("DOUBLED");
    doubled->SetFieldKind(ds::fkCalculated);
    auto id = ds::CreateFieldOfType(ds::ftInteger, 0);
    id->SetFieldName("ID");
    dataSet.Fields().Add(std::move(id));
    dataSet.Fields().Add(std::move(doubled));
    dataSet.OnCalcFields = [](ds::TDataSet& d) {
        d.FieldByName("DOUBLED").SetAsInteger(2 * d.FieldByName("ID").AsInteger());
    };
    for (int i = 1; i <= 3; ++i) dataSet.AddRow({i});
    dataSet.Open();
    std::vector<int> values;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) values.push_back(dataSet.FieldByName("DOUBLED").AsInteger());
    EXPECT_EQ(values, (std::vector<int>{2, 4, 6}));
    EXPECT_EQ(dataSet.FieldByName("DOUBLED").FieldNo(), -1);
    dataSet.Edit();
    dataSet.FieldByName("ID").SetAsInteger(10);
    EXPECT_EQ(dataSet.FieldByName("DOUBLED").AsInteger(), 20);
    dataSet.Close();
    EXPECT_EQ(dataSet.FieldCount(), 2) << "fields of the dataset's own survive a close";
}

}  // namespace
}  // namespace dstest
