// The forms of values dbftool takes and prints, beyond the plain round trip:
// text for numbers, numbers for text, the accepted date and timestamp forms,
// dates before 1900, wide integers, and hexadecimal for binary fields.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

using namespace dbftool_test;

namespace {

class DbftoolValues : public ::testing::Test {
protected:
    void SetUp() override {
        table = folder.File("v.dbf");
        CreateTable(table, 7, {"--lang", "0x57", "NAME:C:12", "WIDE:N:15", "SMALL:N:3", "AMOUNT:N:8:3", "DAY:D",
                               "WHEN:@", "BIN:B", "FLAG:L"});
    }

    Json AppendOne(const std::string& line) {
        AppendLines(table, line + "\n");
        const std::vector<Json> records = Dump(table);
        return records.empty() ? Json() : records.back();
    }

    TempFolder folder;
    std::string table;
};

}  // namespace

TEST_F(DbftoolValues, NumbersAndBooleansGoIntoTextFieldsAsText) {
    const Json record = AppendOne(R"({"NAME":42})");
    EXPECT_EQ(record["NAME"], "42");
}

TEST_F(DbftoolValues, TextGoesIntoNumericFieldsAsTheEngineReadsIt) {
    const Json record = AppendOne(R"({"WIDE":"123","AMOUNT":"2.5"})");
    EXPECT_EQ(record["WIDE"], 123);
    EXPECT_EQ(record["AMOUNT"], 2.5);
}

TEST_F(DbftoolValues, WideIntegersStayIntegers) {
    const Json record = AppendOne(R"({"WIDE":-12345678901234,"SMALL":-99})");
    EXPECT_EQ(record["WIDE"], -12345678901234LL);
    EXPECT_TRUE(record["WIDE"].is_number_integer());
    EXPECT_EQ(record["SMALL"], -99);
}

TEST_F(DbftoolValues, ANumberTooWideForItsFieldIsTheEnginesToRefuse) {
    const RunResult result = RunToolWithInput({"append", table}, R"({"WIDE":-123456789012345})"
                                                                 "\n");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "line 1: Value -123456789012345 does not fit into field \"WIDE\" of width 15.\n");
    EXPECT_EQ(Dump(table).size(), 0u);
}

TEST_F(DbftoolValues, NumbersWithDecimalsAreRoundedToTheFieldsDecimals) {
    const Json record = AppendOne(R"({"AMOUNT":3.14159})");
    EXPECT_EQ(record["AMOUNT"], 3.142);
}

TEST_F(DbftoolValues, TimestampsTakeATOrABlankAndMayLeaveOutSecondsOrTheTime) {
    EXPECT_EQ(AppendOne(R"({"WHEN":"2024-01-02 03:04:05"})")["WHEN"], "2024-01-02T03:04:05.000");
    EXPECT_EQ(AppendOne(R"({"WHEN":"2024-01-02T03:04"})")["WHEN"], "2024-01-02T03:04:00.000");
    EXPECT_EQ(AppendOne(R"({"WHEN":"2024-01-02"})")["WHEN"], "2024-01-02T00:00:00.000");
}

TEST_F(DbftoolValues, DatesAndTimesBefore1900) {
    const Json record = AppendOne(R"({"DAY":"1870-06-30","WHEN":"1850-06-30T12:30:15.250"})");
    EXPECT_EQ(record["DAY"], "1870-06-30");
    EXPECT_EQ(record["WHEN"], "1850-06-30T12:30:15.250");
}

TEST_F(DbftoolValues, BinaryFieldsTakeHexadecimalInEitherCase) {
    EXPECT_EQ(AppendOne(R"({"BIN":"00FFa0"})")["BIN"], "00ffa0");
    const RunResult result = RunToolWithInput({"append", table}, R"({"BIN":"0g"})"
                                                                 "\n");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "line 1: '0g' is not a hexadecimal value for field 'BIN'\n");
    const RunResult odd = RunToolWithInput({"append", table}, R"({"BIN":"abc"})"
                                                              "\n");
    EXPECT_EQ(odd.Err, "line 1: 'abc' is not a hexadecimal value for field 'BIN'\n");
}

TEST_F(DbftoolValues, LogicalsTakeTheEnginesTextForms) {
    EXPECT_EQ(AppendOne(R"({"FLAG":"t"})")["FLAG"], true);
    EXPECT_EQ(AppendOne(R"({"FLAG":"False"})")["FLAG"], false);
    EXPECT_EQ(AppendOne(R"({"FLAG":""})")["FLAG"], nullptr);
}

TEST_F(DbftoolValues, ImpossibleDatesAreTheEnginesToRefuse) {
    const RunResult result = RunToolWithInput({"append", table}, R"({"DAY":"2023-02-30"})"
                                                                 "\n");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "line 1: ''2023-02-30'' is not a valid date\n");
}

TEST_F(DbftoolValues, TextLongerThanTheFieldIsCutByTheEngine) {
    EXPECT_EQ(AppendOne(R"({"NAME":"abcdefghijklmnop"})")["NAME"], "abcdefghijkl");
}
