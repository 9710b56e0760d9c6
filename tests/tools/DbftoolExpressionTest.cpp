// dbftool's expression commands end to end: eval prints one exact JSON line
// per visited record with the value's type, as a filter reads the fields or,
// with --raw, as an index key does; dump --filter prints only the records the
// expression selects; a bad expression fails with the engine's message and,
// where the message names a word, its position.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

using namespace dbftool_test;

namespace {

class DbftoolExpression : public ::testing::Test {
protected:
    void SetUp() override {
        table = folder.File("z.dbf");
        CreateTable(table, 7, {"--lang", "0x57", "NAME:C:10", "BETRAG:N:10:2", "MENGE:N:5", "GROSS:N:15", "OK:L",
                               "TAG:D", "ZEIT:@"});
        AppendLines(table,
                    R"({"NAME":"MEIER","BETRAG":123.45,"MENGE":7,"GROSS":12345678901,"OK":true,)"
                    R"("TAG":"2024-02-29","ZEIT":"2024-02-29T13:45:30"})"
                    "\n"
                    R"({"NAME":"Müller","BETRAG":99.5,"MENGE":-3,"GROSS":-5,"OK":false,)"
                    R"("TAG":"1999-12-31","ZEIT":"2000-01-01"})"
                    "\n"
                    R"({"NAME":"gelöscht","BETRAG":500})"
                    "\n"
                    R"({"NAME":"meier","BETRAG":250})"
                    "\n");
        const RunResult deleted = RunTool({"delete", table, "3"});
        ASSERT_EQ(deleted.ExitCode, 0) << deleted.Err;
    }

    RunResult Eval(const std::string& expression, const std::vector<std::string>& options = {}) {
        std::vector<std::string> arguments{"eval", table, expression};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return RunTool(arguments);
    }

    // The lines of a successful eval.
    std::string EvalOut(const std::string& expression, const std::vector<std::string>& options = {}) {
        const RunResult result = Eval(expression, options);
        EXPECT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_EQ(result.Err, "");
        return result.Out;
    }

    TempFolder folder;
    std::string table;
};

struct EvalCase {
    const char* Label;
    const char* Expression;
    std::vector<std::string> Options;
    const char* Lines;
};

class DbftoolEval : public DbftoolExpression, public ::testing::WithParamInterface<EvalCase> {};

}  // namespace

TEST_P(DbftoolEval, PrintsOneExactLinePerVisitedRecord) {
    const EvalCase& eval = GetParam();
    EXPECT_EQ(EvalOut(eval.Expression, eval.Options), eval.Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DbftoolEval,
    ::testing::Values(
        EvalCase{"StringField", "NAME", {},
                 "{\"_recno\":1,\"type\":\"string\",\"value\":\"MEIER\"}\n"
                 "{\"_recno\":2,\"type\":\"string\",\"value\":\"Müller\"}\n"
                 "{\"_recno\":4,\"type\":\"string\",\"value\":\"meier\"}\n"},
        EvalCase{"UpperOfUmlauts", "UPPER(NAME) + '!'", {},
                 "{\"_recno\":1,\"type\":\"string\",\"value\":\"MEIER!\"}\n"
                 "{\"_recno\":2,\"type\":\"string\",\"value\":\"MÜLLER!\"}\n"
                 "{\"_recno\":4,\"type\":\"string\",\"value\":\"MEIER!\"}\n"},
        EvalCase{"RawFieldKeepsItsBlanks", "NAME", {"--raw"},
                 "{\"_recno\":1,\"type\":\"string\",\"value\":\"MEIER     \"}\n"
                 "{\"_recno\":2,\"type\":\"string\",\"value\":\"Müller    \"}\n"
                 "{\"_recno\":4,\"type\":\"string\",\"value\":\"meier     \"}\n"},
        EvalCase{"Integer", "MENGE * 2", {},
                 "{\"_recno\":1,\"type\":\"integer\",\"value\":14}\n"
                 "{\"_recno\":2,\"type\":\"integer\",\"value\":-6}\n"
                 "{\"_recno\":4,\"type\":\"integer\",\"value\":0}\n"},
        EvalCase{"LargeInt", "GROSS + 1", {},
                 "{\"_recno\":1,\"type\":\"largeint\",\"value\":12345678902}\n"
                 "{\"_recno\":2,\"type\":\"largeint\",\"value\":-4}\n"
                 "{\"_recno\":4,\"type\":\"largeint\",\"value\":1}\n"},
        EvalCase{"Float", "BETRAG", {},
                 "{\"_recno\":1,\"type\":\"float\",\"value\":123.45}\n"
                 "{\"_recno\":2,\"type\":\"float\",\"value\":99.5}\n"
                 "{\"_recno\":4,\"type\":\"float\",\"value\":250.0}\n"},
        EvalCase{"Boolean", "OK", {},
                 "{\"_recno\":1,\"type\":\"boolean\",\"value\":true}\n"
                 "{\"_recno\":2,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":4,\"type\":\"boolean\",\"value\":false}\n"},
        EvalCase{"Comparison", "BETRAG > 100 AND MENGE > 0", {},
                 "{\"_recno\":1,\"type\":\"boolean\",\"value\":true}\n"
                 "{\"_recno\":2,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":4,\"type\":\"boolean\",\"value\":false}\n"},
        EvalCase{"Date", "TAG", {},
                 "{\"_recno\":1,\"type\":\"datetime\",\"value\":\"2024-02-29\"}\n"
                 "{\"_recno\":2,\"type\":\"datetime\",\"value\":\"1999-12-31\"}\n"
                 "{\"_recno\":4,\"type\":\"datetime\",\"value\":\"1899-12-30\"}\n"},
        EvalCase{"DateTime", "ZEIT", {},
                 "{\"_recno\":1,\"type\":\"datetime\",\"value\":\"2024-02-29T13:45:30\"}\n"
                 "{\"_recno\":2,\"type\":\"datetime\",\"value\":\"2000-01-01\"}\n"
                 "{\"_recno\":4,\"type\":\"datetime\",\"value\":\"1899-12-30\"}\n"},
        EvalCase{"DtosAndSubstr", "SUBSTR(DTOS(TAG), 1, 4)", {},
                 "{\"_recno\":1,\"type\":\"string\",\"value\":\"2024\"}\n"
                 "{\"_recno\":2,\"type\":\"string\",\"value\":\"1999\"}\n"
                 "{\"_recno\":4,\"type\":\"string\",\"value\":\"1899\"}\n"},
        EvalCase{"CaseSensitiveByDefault", "NAME = 'meier'", {},
                 "{\"_recno\":1,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":2,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":4,\"type\":\"boolean\",\"value\":true}\n"},
        EvalCase{"IgnoreCase", "NAME = 'meier'", {"--ignore-case"},
                 "{\"_recno\":1,\"type\":\"boolean\",\"value\":true}\n"
                 "{\"_recno\":2,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":4,\"type\":\"boolean\",\"value\":true}\n"},
        EvalCase{"PartialByDefault", "NAME = 'M*'", {},
                 "{\"_recno\":1,\"type\":\"boolean\",\"value\":true}\n"
                 "{\"_recno\":2,\"type\":\"boolean\",\"value\":true}\n"
                 "{\"_recno\":4,\"type\":\"boolean\",\"value\":false}\n"},
        EvalCase{"NoPartial", "NAME = 'M*'", {"--no-partial"},
                 "{\"_recno\":1,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":2,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":4,\"type\":\"boolean\",\"value\":false}\n"},
        EvalCase{"RawComparesWithBlanksAndIgnoresCase", "NAME = 'meier     '", {"--raw"},
                 "{\"_recno\":1,\"type\":\"boolean\",\"value\":true}\n"
                 "{\"_recno\":2,\"type\":\"boolean\",\"value\":false}\n"
                 "{\"_recno\":4,\"type\":\"boolean\",\"value\":true}\n"}),
    [](const ::testing::TestParamInfo<EvalCase>& info) { return std::string(info.param.Label); });

TEST_F(DbftoolExpression, DumpFilterPrintsOnlyTheSelectedRecords) {
    const std::vector<Json> all = Dump(table);
    ASSERT_EQ(all.size(), 3u);
    const RunResult result = RunTool({"dump", table, "--filter", "BETRAG > 100"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    EXPECT_EQ(JsonLines(result.Out), (std::vector<Json>{all[0], all[2]}));
}

TEST_F(DbftoolExpression, DumpFilterTakesTheFilterOptions) {
    const std::vector<Json> all = Dump(table);
    auto recNos = [](const RunResult& result) {
        std::vector<int> numbers;
        for (const Json& record : JsonLines(result.Out)) numbers.push_back(record["_recno"].get<int>());
        return numbers;
    };
    EXPECT_EQ(recNos(RunTool({"dump", table, "--filter", "NAME = 'meier'"})), (std::vector<int>{4}));
    EXPECT_EQ(recNos(RunTool({"dump", table, "--filter", "NAME = 'meier'", "--ignore-case"})), (std::vector<int>{1, 4}));
    EXPECT_EQ(recNos(RunTool({"dump", table, "--filter", "NAME = 'M*'"})), (std::vector<int>{1, 2}));
    EXPECT_EQ(recNos(RunTool({"dump", table, "--filter", "NAME = 'M*'", "--no-partial"})), (std::vector<int>{}));
    // With --deleted the deleted record is offered to the filter too.
    EXPECT_EQ(recNos(RunTool({"dump", table, "--deleted", "--filter", "BETRAG > 400"})), (std::vector<int>{3}));
}

struct BadExpressionCase {
    const char* Label;
    std::vector<std::string> Arguments;  // after the table
    const char* Message;
};

class DbftoolBadExpression : public DbftoolExpression, public ::testing::WithParamInterface<BadExpressionCase> {};

TEST_P(DbftoolBadExpression, FailsWithTheEnginesMessageAndThePosition) {
    const BadExpressionCase& bad = GetParam();
    std::vector<std::string> arguments{bad.Arguments.front(), table};
    arguments.insert(arguments.end(), bad.Arguments.begin() + 1, bad.Arguments.end());
    const RunResult result = RunTool(arguments);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, bad.Message);
    EXPECT_EQ(result.Out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DbftoolBadExpression,
    ::testing::Values(
        BadExpressionCase{"UnknownField",
                          {"eval", "UPPER(NMAE) = 'X'"},
                          "Index based on unknown field \"NMAE\".\nUPPER(NMAE) = 'X'\n      ^ position 7\n"},
        BadExpressionCase{"MissingOperator",
                          {"eval", "NAME MENGE"},
                          "Missing operator between 'NAME' and 'MENGE'\nNAME MENGE\n     ^ position 6\n"},
        BadExpressionCase{"NoOverloadForTheOperator",
                          {"eval", "NAME + 5"},
                          "Index based on unknown field \"+\".\nNAME + 5\n     ^ position 6\n"},
        BadExpressionCase{"UnequalBrackets", {"eval", "UPPER(NAME"}, "Unequal brackets\n"},
        BadExpressionCase{"TypeMismatch", {"eval", "UPPER(MENGE)"}, "Argument type mismatch\n"},
        BadExpressionCase{"FilterUnknownField",
                          {"dump", "--filter", "NAME = 'x' AND BETRAK > 1"},
                          "Index based on unknown field \"BETRAK\".\nNAME = 'x' AND BETRAK > 1\n"
                          "               ^ position 16\n"},
        BadExpressionCase{"FilterWithoutBoolean",
                          {"dump", "--filter", "MENGE + 1"},
                          "Filter expression \"MENGE + 1\" does not give a boolean value.\n"}),
    [](const ::testing::TestParamInfo<BadExpressionCase>& info) { return std::string(info.param.Label); });

TEST_F(DbftoolExpression, FilterOptionsNeedAFilter) {
    const RunResult result = RunTool({"dump", table, "--ignore-case"});
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_NE(result.Err.find("--filter"), std::string::npos) << result.Err;
}
