// dbftool's failures: an engine error ends the command with status 1 and the
// engine's message, exactly, alone on standard error; append names the line
// that failed and leaves nothing of it in the table or its memo file.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace dbftool_test;

namespace {

// The record count of the header, bytes 4 to 7, read independently of the tool.
uint32_t HeaderRecordCount(const std::string& table) {
    const std::string bytes = ReadFile(table);
    if (bytes.size() < 8) return 0;
    uint32_t count = 0;
    for (int i = 7; i >= 4; --i) count = count * 256 + static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    return count;
}

void ExpectFailure(const RunResult& result, const std::string& message) {
    EXPECT_EQ(result.ExitCode, 1) << result.Err;
    EXPECT_EQ(result.Err, message + "\n");
    EXPECT_EQ(result.Out, "");
}

class DbftoolAppendFailure : public ::testing::Test {
protected:
    void SetUp() override {
        table = folder.File("a.dbf");
        memo = folder.File("a.dbt");
        CreateTable(table, 4, {"--lang", "0x57", "NAME:C:10", "QTY:N:5", "OK:L", "DAY:D", "NOTE:M"});
        AppendLines(table, R"({"NAME":"first","NOTE":"the first memo"})"
                           "\n");
        memoSize = FileSize(memo);
        before = Dump(table);
    }

    // Runs append and expects it to fail with message, the table holding the
    // records it held (the count in the header and from the file size
    // included) and the memo file no new block.
    void ExpectRejected(const std::string& input, const std::string& message,
                        const std::vector<Json>& expected) {
        ExpectFailure(RunToolWithInput({"append", table}, input), message);
        EXPECT_EQ(Dump(table), expected);
        EXPECT_EQ(Info(table)["records"], expected.size());
        EXPECT_EQ(HeaderRecordCount(table), expected.size());
        EXPECT_EQ(FileSize(memo), memoSize);
    }

    void ExpectRejected(const std::string& input, const std::string& message) {
        ExpectRejected(input, message, before);
    }

    TempFolder folder;
    std::string table;
    std::string memo;
    long long memoSize = 0;
    std::vector<Json> before;
};

}  // namespace

TEST(DbftoolErrors, AMissingTableFailsWithTheEnginesMessage) {
    TempFolder folder;
    const std::string table = folder.File("missing.dbf");
    for (const char* command : {"info", "dump", "append", "pack", "zap"})
        ExpectFailure(RunTool({command, table}), "Open: file not found: \"" + table + "\".");
    ExpectFailure(RunTool({"delete", table, "1"}), "Open: file not found: \"" + table + "\".");
    EXPECT_FALSE(std::filesystem::exists(table));
}

TEST(DbftoolErrors, AFileThatIsNoTableFailsWithTheEnginesMessage) {
    TempFolder folder;
    const std::string table = folder.File("zeros.dbf");
    WriteFile(table, std::string(100, '\0'));
    ExpectFailure(RunTool({"info", table}), "Invalid DBF file.");
    ExpectFailure(RunTool({"dump", table}), "Invalid DBF file.");
    EXPECT_EQ(ReadFile(table), std::string(100, '\0'));
}

TEST(DbftoolErrors, AHeaderWithoutLengthsIsRefusedWithAClearMessage) {
    TempFolder folder;
    const std::string table = folder.File("empty-header.dbf");
    std::string header(32, '\0');
    header[0] = 0x03;
    WriteFile(table, header + "\x0d");
    ExpectFailure(RunTool({"dump", table}), "The table cannot be opened: its header gives no header or record length.");
}

TEST(DbftoolErrors, RelativePathsAreTakenFromTheWorkingFolder) {
    TempFolder folder;
    CreateTable(folder.File("rel.dbf"), 3, {"A:C:3"});
    const RunResult result = RunToolInFolder(folder.Path().string(), {"info", "rel.dbf"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(JsonLines(result.Out).at(0)["file"], folder.File("rel.dbf"));
    ExpectFailure(RunToolInFolder(folder.Path().string(), {"dump", "other.dbf"}),
                  "Open: file not found: \"" + folder.File("other.dbf") + "\".");
}

TEST(DbftoolErrors, RecordNumbersBeyondTheTableChangeNothing) {
    TempFolder folder;
    const std::string table = folder.File("r.dbf");
    CreateTable(table, 3, {"A:C:3"});
    AppendLines(table, "{\"A\":\"x\"}\n{\"A\":\"y\"}\n");
    const std::vector<Json> before = Dump(table, true);
    ExpectFailure(RunTool({"update", table, "3", R"({"A":"z"})"}), "Record 3 does not exist: the table has 2 records.");
    ExpectFailure(RunTool({"delete", table, "1", "9"}), "Record 9 does not exist: the table has 2 records.");
    ExpectFailure(RunTool({"recall", table, "7"}), "Record 7 does not exist: the table has 2 records.");
    EXPECT_EQ(Dump(table, true), before);
}

TEST(DbftoolErrors, UpdateWithAValueTheFieldRefusesChangesNothing) {
    TempFolder folder;
    const std::string table = folder.File("u.dbf");
    CreateTable(table, 4, {"NAME:C:8", "OK:L", "NOTE:M"});
    AppendLines(table, R"({"NAME":"keep","OK":true,"NOTE":"old"})"
                       "\n");
    const std::vector<Json> before = Dump(table);
    ExpectFailure(RunTool({"update", table, "1", R"({"NAME":"new","NOTE":"new memo","OK":"maybe"})"}),
                  "'maybe' is not a valid boolean value for field 'OK'");
    ExpectFailure(RunTool({"update", table, "1", R"({"NAME":"new","UNKNOWN":1})"}), "Field 'UNKNOWN' not found");
    ExpectFailure(RunTool({"update", table, "1", "[1]"}), "not a JSON object");
    EXPECT_EQ(Dump(table), before);
}

TEST_F(DbftoolAppendFailure, AnUnknownFieldFailsWithItsLineNumber) {
    // The memo value comes before the unknown key, so it was taken when the line failed.
    ExpectRejected("{\"NAME\":\"third\",\"NOTE\":\"a memo\",\"ZZZ\":1}\n", "line 1: Field 'ZZZ' not found");
}

TEST_F(DbftoolAppendFailure, TheLinesBeforeTheFailingOneStay) {
    std::vector<Json> expected = before;
    expected.push_back(Json{{"_recno", 2}, {"NAME", "second"}, {"QTY", nullptr}, {"OK", nullptr}, {"DAY", nullptr},
                            {"NOTE", nullptr}});
    ExpectRejected("{\"NAME\":\"second\"}\n\n{\"NAME\":\"third\",\"NOTE\":\"a memo\",\"OK\":\"perhaps\"}\n",
                   "line 3: 'perhaps' is not a valid boolean value for field 'OK'", expected);
}

TEST_F(DbftoolAppendFailure, ValuesTheFieldsRefuseFailWithTheEnginesMessages) {
    ExpectRejected(R"({"NOTE":"memo first","OK":"yes"})"
                   "\n",
                   "line 1: 'yes' is not a valid boolean value for field 'OK'");
    ExpectRejected(R"({"NOTE":"memo first","QTY":"many"})"
                   "\n",
                   "line 1: ''many'' is not a valid integer value");
    ExpectRejected(R"({"NOTE":"memo first","DAY":"someday"})"
                   "\n",
                   "line 1: ''someday'' is not a valid date");
    ExpectRejected(R"({"NOTE":"memo first","OK":[true]})"
                   "\n",
                   "line 1: a JSON array is not a value for field 'OK'");
}

TEST_F(DbftoolAppendFailure, ALineThatIsNoJsonObjectFailsWithItsLineNumber) {
    ExpectRejected("[1,2]\n", "line 1: not a JSON object");
    const RunResult result = RunToolWithInput({"append", table}, "\n{\"NAME\":\n");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err.rfind("line 2: not valid JSON: ", 0), 0u) << result.Err;
    EXPECT_EQ(Dump(table).size(), 1u);
}

TEST_F(DbftoolAppendFailure, ANumberBeyondADoubleIsNoValidJson) {
    const RunResult result = RunToolWithInput({"append", table}, "{\"QTY\":1e850}\n");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err.rfind("line 1: not valid JSON: ", 0), 0u) << result.Err;
    EXPECT_EQ(Dump(table), before);
}

TEST_F(DbftoolAppendFailure, ADateBeyondEveryCalendarIsRefused) {
    for (const char* day : {"4.07e19", "-4.07e19", "3e6"}) {
        const RunResult result =
            RunToolWithInput({"append", table}, std::string("{\"NOTE\":\"memo first\",\"DAY\":") + day + "}\n");
        EXPECT_EQ(result.ExitCode, 1) << day;
        EXPECT_EQ(result.Err.rfind("line 1: ", 0), 0u) << result.Err;
        EXPECT_EQ(Dump(table), before) << day;
    }
}

TEST_F(DbftoolAppendFailure, AMissingInputFileFailsBeforeAnythingIsWritten) {
    const std::string input = folder.File("no-such-input.jsonl");
    const RunResult result = RunTool({"append", table, input});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "Cannot open file \"" + input + "\". No such file or directory\n");
    EXPECT_EQ(Dump(table), before);
}

TEST_F(DbftoolAppendFailure, InputComesFromAFileOrFromStandardInput) {
    const std::string input = folder.File("in.jsonl");
    WriteFile(input, "{\"NAME\":\"from file\"}\n");
    const RunResult fromFile = RunTool({"append", table, input});
    ASSERT_EQ(fromFile.ExitCode, 0) << fromFile.Err;
    const RunResult fromDash = RunToolWithInput({"append", table, "-"}, "{\"NAME\":\"from stdin\"}\n");
    ASSERT_EQ(fromDash.ExitCode, 0) << fromDash.Err;
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1]["NAME"], "from file");
    EXPECT_EQ(records[2]["NAME"], "from stdin");
}
