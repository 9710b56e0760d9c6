// dbftool's command line: what it refuses as a usage error (status 2, the
// reason and the usage on standard error, nothing on standard output) and
// its help (status 0, the usage on standard output).
#include "ToolRunner.h"

#include <gtest/gtest.h>

using namespace dbftool_test;

namespace {

void ExpectUsageError(const std::vector<std::string>& arguments) {
    const RunResult result = RunTool(arguments);
    EXPECT_EQ(result.ExitCode, 2) << result.Err;
    EXPECT_EQ(result.Out, "");
    EXPECT_NE(result.Err.find("Usage: dbftool COMMAND TABLE"), std::string::npos) << result.Err;
}

}  // namespace

TEST(DbftoolUsage, NoArgumentsIsAUsageError) { ExpectUsageError({}); }

TEST(DbftoolUsage, UnknownCommandIsAUsageError) { ExpectUsageError({"frobnicate", "t.dbf"}); }

TEST(DbftoolUsage, MissingTableIsAUsageError) {
    for (const char* command : {"info", "dump", "append", "pack", "zap"}) ExpectUsageError({command});
}

TEST(DbftoolUsage, ExtraArgumentsAreAUsageError) {
    ExpectUsageError({"info", "a.dbf", "b.dbf"});
    ExpectUsageError({"pack", "a.dbf", "1"});
}

TEST(DbftoolUsage, UnknownOptionIsAUsageError) { ExpectUsageError({"dump", "t.dbf", "--all"}); }

TEST(DbftoolUsage, CreateNeedsALevelOfTheFourDialects) {
    TempFolder folder;
    ExpectUsageError({"create", folder.File("t.dbf"), "NAME:C:10"});
    ExpectUsageError({"create", folder.File("t.dbf"), "--level", "5", "NAME:C:10"});
    ExpectUsageError({"create", folder.File("t.dbf"), "--level", "four", "NAME:C:10"});
    EXPECT_FALSE(std::filesystem::exists(folder.File("t.dbf")));
}

TEST(DbftoolUsage, CreateNeedsFields) {
    TempFolder folder;
    ExpectUsageError({"create", folder.File("t.dbf"), "--level", "4"});
    EXPECT_FALSE(std::filesystem::exists(folder.File("t.dbf")));
}

TEST(DbftoolUsage, MalformedFieldArgumentsAreUsageErrors) {
    TempFolder folder;
    for (const char* field : {"NAME", "NAME:", ":C:10", "NAME:CC:10", "NAME:C:ten", "NAME:N:5:x", "NAME:N:5:2:1",
                              "NAME:C:-3"})
        ExpectUsageError({"create", folder.File("t.dbf"), "--level", "4", "OK:C:5", field});
    EXPECT_FALSE(std::filesystem::exists(folder.File("t.dbf")));
}

TEST(DbftoolUsage, LanguageIdMustBeAByte) {
    TempFolder folder;
    for (const char* lang : {"256", "-1", "0x100", "german", ""})
        ExpectUsageError({"create", folder.File("t.dbf"), "--level", "4", "--lang", lang, "NAME:C:10"});
    EXPECT_FALSE(std::filesystem::exists(folder.File("t.dbf")));
}

TEST(DbftoolUsage, RecordNumbersArePositiveNumbers) {
    ExpectUsageError({"delete", "t.dbf"});
    ExpectUsageError({"delete", "t.dbf", "0"});
    ExpectUsageError({"recall", "t.dbf", "-2"});
    ExpectUsageError({"delete", "t.dbf", "one"});
    ExpectUsageError({"update", "t.dbf", "1"});
    ExpectUsageError({"update", "t.dbf", "x", "{}"});
    ExpectUsageError({"update", "t.dbf", "1", "{}", "{}"});
}

TEST(DbftoolUsage, HelpPrintsTheUsageAndSucceeds) {
    for (const char* flag : {"--help", "-h"}) {
        const RunResult result = RunTool({flag});
        EXPECT_EQ(result.ExitCode, 0);
        EXPECT_EQ(result.Out.rfind("Usage: dbftool COMMAND TABLE", 0), 0u) << result.Out;
        EXPECT_EQ(result.Err, "");
    }
}
