// dbftool on the tables other programs wrote (the shared real files): info
// and dump of every one of them end with status 0, or with status 1 and one
// clear line on standard error, and never with a crash or a sanitizer report.
// A few facts the files are known for are checked in the tool's output.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace dbftool_test;

namespace fs = std::filesystem;

namespace {

const fs::path kRealFiles = QUARZEL_REALFILES_DIR;

std::vector<std::string> RealTables() {
    std::vector<std::string> tables;
    std::error_code error;
    if (!fs::is_directory(kRealFiles, error)) return tables;
    for (const auto& entry : fs::recursive_directory_iterator(kRealFiles, error)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (entry.is_regular_file() && extension == ".dbf") tables.push_back(entry.path().string());
    }
    std::sort(tables.begin(), tables.end());
    return tables;
}

// Status 0 with one JSON value per line and nothing on standard error, or
// status 1 with exactly one non-empty line on standard error.
void ExpectCleanEnd(const RunResult& result, const std::string& what) {
    EXPECT_TRUE(result.ExitCode == 0 || result.ExitCode == 1) << what << ": status " << result.ExitCode << "\n"
                                                               << result.Err;
    EXPECT_EQ(result.Err.find("Sanitizer"), std::string::npos) << what << "\n" << result.Err;
    EXPECT_EQ(result.Err.find("runtime error"), std::string::npos) << what << "\n" << result.Err;
    if (result.ExitCode == 0) {
        EXPECT_EQ(result.Err, "") << what;
        EXPECT_NO_THROW(JsonLines(result.Out)) << what;
    } else if (result.ExitCode == 1) {
        ASSERT_FALSE(result.Err.empty()) << what;
        EXPECT_EQ(result.Err.back(), '\n') << what;
        EXPECT_EQ(std::count(result.Err.begin(), result.Err.end(), '\n'), 1) << what << "\n" << result.Err;
        EXPECT_GT(result.Err.size(), 5u) << what;
    }
}

std::string RealFile(const std::string& relative) { return (kRealFiles / relative).string(); }

#define SKIP_WITHOUT_REAL_FILES()                                                          \
    if (!fs::is_directory(kRealFiles)) GTEST_SKIP() << "no real files at " << kRealFiles; \
    static_assert(true)

}  // namespace

TEST(DbftoolRealFiles, EveryTableEndsCleanly) {
    SKIP_WITHOUT_REAL_FILES();
    const std::vector<std::string> tables = RealTables();
    ASSERT_FALSE(tables.empty());
    int opened = 0;
    for (const std::string& table : tables) {
        const RunResult info = RunTool({"info", table});
        ExpectCleanEnd(info, "info " + table);
        const RunResult dump = RunTool({"dump", table, "--deleted"});
        ExpectCleanEnd(dump, "dump " + table);
        EXPECT_EQ(info.ExitCode, dump.ExitCode) << table;
        if (info.ExitCode != 0 || dump.ExitCode != 0) continue;
        ++opened;
        const Json facts = JsonLines(info.Out).at(0);
        // Every record of the file is dumped, deleted ones included.
        EXPECT_EQ(JsonLines(dump.Out).size(), facts["records"].get<size_t>()) << table;
    }
    EXPECT_GT(opened, static_cast<int>(tables.size()) / 2);
}

TEST(DbftoolRealFiles, FilesTheEngineRefusesFailWithItsMessage) {
    SKIP_WITHOUT_REAL_FILES();
    // A table with a varchar field (V, a letter of no dialect of the engine)
    // is no longer refused: the field is dumped as its bytes.
    const RunResult varchar = RunTool({"dump", RealFile("odd/dbase_32.dbf")});
    EXPECT_EQ(varchar.ExitCode, 0) << varchar.Err;
    EXPECT_EQ(JsonLines(varchar.Out).at(0)["NAME"].get<std::string>().substr(0, 28), "426164204d65657473204576696c");
    EXPECT_EQ(RunTool({"info", RealFile("odd/polygon.dbf")}).Err,
              "Invalid field count: 0 (must be between 1 and 4095).\n");
}

TEST(DbftoolRealFiles, AVersion8BTableWithMemos) {
    SKIP_WITHOUT_REAL_FILES();
    const std::string table = RealFile("dbase4/dbase_8b.dbf");
    const Json info = Info(table);
    EXPECT_EQ(info["version"], 0x8B);
    // Its language byte is 0, which makes it a dBASE III table to the engine.
    EXPECT_EQ(info["dialect"], "dBASE III");
    EXPECT_EQ(info["languageId"], 0);
    EXPECT_EQ(info["records"], 10);
    EXPECT_EQ(info["date"].get<std::string>().substr(0, 4), "2000");
    EXPECT_EQ(info["memo"]["blockSize"], 512);
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 10u);
    EXPECT_EQ(records[0]["CHARACTER"], "One");
    EXPECT_EQ(records[0]["NUMERICAL"], 1.0);
    EXPECT_EQ(records[0]["DATE"], "1970-01-01");
    EXPECT_EQ(records[0]["FLOAT"], 1.23456789012346);
    EXPECT_EQ(records[2]["LOGICAL"], nullptr);
    EXPECT_EQ(records[0]["MEMO"], "First memo\r\n");
    EXPECT_EQ(records[1]["MEMO"], "Second memo");
    // The header's count of 15 is wrong: the file holds 10 records.
    EXPECT_EQ(Info(RealFile("dbase4/dbase_8b_incorrect_record_count.dbf"))["records"], 10);
}

TEST(DbftoolRealFiles, ADbaseIIITableWithADeletedRecord) {
    SKIP_WITHOUT_REAL_FILES();
    const std::string table = RealFile("dbase3/test.dbf");
    const std::vector<Json> live = Dump(table);
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(live[0], (Json{{"_recno", 1}, {"ID", 1}, {"MSG", "Record no 1"},
                             {"NOTE", "This is a memo for record no one"}, {"BOOLEAN", nullptr},
                             {"DATES", "1996-08-13"}}));
    EXPECT_EQ(live[1]["_recno"], 3);
    EXPECT_EQ(live[1]["BOOLEAN"], false);
    const std::vector<Json> all = Dump(table, true);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1]["_deleted"], true);
    EXPECT_EQ(all[1]["MSG"], "No 2");
}

TEST(DbftoolRealFiles, ALevel7TableWithIntegersAndBinaryMemos) {
    SKIP_WITHOUT_REAL_FILES();
    const std::string table = RealFile("dbase7/inventory.dbf");
    const Json info = Info(table);
    EXPECT_EQ(info["dialect"], "dBASE 7");
    EXPECT_EQ(info["languageName"], "DB437US0");
    EXPECT_EQ(info["codePage"], 437);
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 12u);
    EXPECT_EQ(records[0]["ITEM ID"], 1);
    EXPECT_EQ(records[0]["DESCRIPTION"], "Dartboard");
    EXPECT_EQ(records[2]["QTY"], 150);
    // The picture is a binary memo: hexadecimal text, two digits per byte.
    EXPECT_EQ(records[0]["PICTURE"].get<std::string>().size() % 2, 0u);
}

TEST(DbftoolRealFiles, CyrillicTextComesOutAsUtf8InARussianLocale) {
    SKIP_WITHOUT_REAL_FILES();
    const RunResult result = RunToolInLocale("ru_RU.UTF-8", {"dump", RealFile("foxpro/cp1251.dbf")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::vector<Json> records = JsonLines(result.Out);
    ASSERT_EQ(records.size(), 4u);
    const std::vector<Json> peers =
        JsonLines(RunPythonPeer("dbfread_dump.py", {RealFile("foxpro/cp1251.dbf"), "cp1251"}).Out);
    ASSERT_EQ(peers.size(), 4u);
    for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i]["NAME"], peers[i]["NAME"]) << i;
    EXPECT_EQ(records[0]["NAME"], "амбулаторно-поликлиническое");
}
