// dbftool on tables other programs wrote with empty values: shapelib's
// dbfcreate/dbfadd (asterisks for a null number), Perl's XBase (a dBASE III
// header with FoxPro's Y and T fields, "?" for an undefined logical) and
// python3-dbf; each table is dumped and compared field by field with what
// python3-dbfread reads from it. Also the --codepage option for tables whose
// header names no code page.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dbftool_test;

namespace {

const char* const kDbfCreate = "/usr/bin/dbfcreate";
const char* const kDbfAdd = "/usr/bin/dbfadd";

std::vector<Json> PeerRecords(const RunResult& result) {
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    return JsonLines(result.Out);
}

void ExpectAsDbfreadReadsIt(const std::string& table, const std::string& context) {
    const std::vector<Json> peers = PeerRecords(RunPythonPeer("dbfread_dump.py", {table, EncodingOf(table)}));
    ExpectSameRecords(InPeerOrder(Dump(table, true)), peers, context);
}

void RunPeerTool(const std::string& program, const std::vector<std::string>& arguments) {
    const RunResult result = RunProgram(program, arguments);
    ASSERT_EQ(result.ExitCode, 0) << program << ": " << result.Err;
}

}  // namespace

TEST(DbftoolForeignEmptyValues, ShapelibNullNumbersReadAsDbfreadReadsThem) {
    if (!std::filesystem::exists(kDbfCreate)) GTEST_SKIP() << "shapelib's tools are not installed";
    TempFolder folder;
    const std::string table = folder.File("shapes.dbf");
    RunPeerTool(kDbfCreate, {table, "-s", "NAME", "10", "-n", "QTY", "6", "0", "-n", "PRICE", "9", "2"});
    RunPeerTool(kDbfAdd, {table, "first", "5", "1.5"});
    RunPeerTool(kDbfAdd, {table, "", "", ""});
    RunPeerTool(kDbfAdd, {table, "third", "", "-0.25"});
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[1]["QTY"].is_null());
    EXPECT_TRUE(records[1]["PRICE"].is_null());
    EXPECT_TRUE(records[2]["QTY"].is_null());
    ExpectAsDbfreadReadsIt(table, "shapelib table read by python3-dbfread");
}

TEST(DbftoolForeignEmptyValues, XBaseUndefinedValuesAndFoxProFieldsReadAsDbfreadReadsThem) {
    TempFolder folder;
    const std::string table = folder.File("xbase.dbf");
    const RunResult written = RunPerlPeer("xbase_write_empty.pl", {table});
    ASSERT_EQ(written.ExitCode, 0) << written.Err;
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]["COST"], 12.5);
    EXPECT_EQ(records[0]["OK"], true);
    EXPECT_TRUE(records[1]["OK"].is_null());  // XBase writes "?"
    EXPECT_TRUE(records[1]["QTY"].is_null());
    ExpectAsDbfreadReadsIt(table, "XBase table read by python3-dbfread");
}

class DbftoolForeignPyDbf : public ::testing::TestWithParam<const char*> {};

TEST_P(DbftoolForeignPyDbf, EmptyValuesReadAsDbfreadReadsThem) {
    TempFolder folder;
    const std::string table = folder.File("pydbf.dbf");
    const RunResult written = RunPythonPeer("pydbf_write.py", {table, GetParam()});
    ASSERT_EQ(written.ExitCode, 0) << written.Err;
    ExpectAsDbfreadReadsIt(table, std::string("python3-dbf ") + GetParam() + " table read by python3-dbfread");
}

INSTANTIATE_TEST_SUITE_P(Kinds, DbftoolForeignPyDbf, ::testing::Values("db3", "fp", "vfp"),
                         [](const auto& info) { return std::string(info.param); });

// A dBASE III table (language byte 0) holding "Привет" in code page 866, the
// Cyrillic code page of DOS.
std::string Cp866Table() {
    const std::string name = "\x8F\xE0\xA8\xA2\xA5\xE2";
    std::string bytes(32, '\0');
    bytes[0] = 0x03;
    bytes[1] = 124;
    bytes[2] = 1;
    bytes[3] = 1;
    bytes[4] = 1;      // one record
    bytes[8] = 65;     // header: 32 + one descriptor + terminator
    bytes[10] = 1 + 8;  // deletion flag and the field
    std::string descriptor(32, '\0');
    descriptor.replace(0, 4, "NAME");
    descriptor[11] = 'C';
    descriptor[16] = 8;
    return bytes + descriptor + "\r" + " " + name + "  " + "\x1A";
}

TEST(DbftoolCodePage, ATableThatNamesNoCodePageIsReadInTheOneGiven) {
    TempFolder folder;
    const std::string table = folder.File("cyrillic.dbf");
    WriteFile(table, Cp866Table());
    const std::string before = ReadFile(table);
    const RunResult plain = RunToolInLocale("ru_RU.UTF-8", {"dump", table});
    ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
    EXPECT_NE(JsonLines(plain.Out).at(0)["NAME"], "Привет");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--codepage", "866", "dump", table}, {"dump", table, "--codepage", "866"}}) {
        const RunResult given = RunToolInLocale("ru_RU.UTF-8", arguments);
        ASSERT_EQ(given.ExitCode, 0) << given.Err;
        EXPECT_EQ(JsonLines(given.Out).at(0)["NAME"], "Привет");
    }
    const RunResult info = RunToolInLocale("ru_RU.UTF-8", {"info", table, "--codepage", "866"});
    EXPECT_EQ(JsonLines(info.Out).at(0)["codePage"], 866);
    EXPECT_EQ(ReadFile(table), before);
}

TEST(DbftoolCodePage, ACodePageThatIsNoNumberIsAUsageError) {
    EXPECT_EQ(RunTool({"dump", "t.dbf", "--codepage", "cyrillic"}).ExitCode, 2);
    EXPECT_EQ(RunTool({"--codepage", "0", "dump", "t.dbf"}).ExitCode, 2);
}
