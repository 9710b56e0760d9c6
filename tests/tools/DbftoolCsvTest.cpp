// dbftool append --csv: catalogues as spreadsheets write them (either
// separator, quoted line breaks, umlauts, header names in any case, a
// byte-order mark), every logical spelling, and the all-or-nothing rule per
// row with the row's first line named. Also the "_comment" lines of JSON input.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

using namespace dbftool_test;

namespace {

class DbftoolCsv : public ::testing::Test {
protected:
    void SetUp() override {
        table = folder.File("q.dbf");
        CreateTable(table, 4, {"KAPITEL:C:10", "FRAGENR:C:10", "FRAGE:M", "ANTWORT1:M", "ANT1KORREK:L"});
    }

    RunResult AppendCsv(const std::string& csv) {
        const std::string file = folder.File("in.csv");
        WriteFile(file, csv);
        return RunTool({"append", table, "--csv", file});
    }

    TempFolder folder;
    std::string table;
};

struct TCatalogue {
    const char* Name;
    const char* Csv;
};

class DbftoolCsvCatalogue : public DbftoolCsv, public ::testing::WithParamInterface<TCatalogue> {};

// Every catalogue holds the same two questions.
const TCatalogue kCatalogues[] = {
    {"Comma", "KAPITEL,FRAGENR,FRAGE,ANTWORT1,ANT1KORREK\n"
              "3,3.01,\"Was ist\r\n\"\"Munition\"\"?\",\"Patronen, Kartuschen\",wahr\n"
              "3,3.02,Größe?,Kaliber,falsch\n"},
    {"Semicolon", "KAPITEL;FRAGENR;FRAGE;ANTWORT1;ANT1KORREK\r\n"
                  "3;3.01;\"Was ist\r\n\"\"Munition\"\"?\";Patronen, Kartuschen;wahr\r\n"
                  "3;3.02;Größe?;Kaliber;falsch\r\n"},
    {"HeaderInAnyCaseWithByteOrderMark", "\xEF\xBB\xBFkapitel;FrageNr; frage ;Antwort1;ant1korrek\r\n"
                                         "3;3.01;\"Was ist\r\n\"\"Munition\"\"?\";Patronen, Kartuschen;wahr\r\n"
                                         "\r\n"
                                         ";;;;\r\n"
                                         "3;3.02;Größe?;Kaliber;falsch"},
};

INSTANTIATE_TEST_SUITE_P(Catalogues, DbftoolCsvCatalogue, ::testing::ValuesIn(kCatalogues),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_P(DbftoolCsvCatalogue, ImportsEveryQuestion) {
    const RunResult result = AppendCsv(GetParam().Csv);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]["FRAGENR"], "3.01");
    EXPECT_EQ(records[0]["FRAGE"], "Was ist\r\n\"Munition\"?");
    EXPECT_EQ(records[0]["ANTWORT1"], "Patronen, Kartuschen");
    EXPECT_EQ(records[0]["ANT1KORREK"], true);
    EXPECT_EQ(records[1]["FRAGE"], "Größe?");
    EXPECT_EQ(records[1]["ANT1KORREK"], false);
}

struct TSpelling {
    const char* Name;
    const char* Text;
    bool Value;
};

class DbftoolCsvLogical : public DbftoolCsv, public ::testing::WithParamInterface<TSpelling> {};

const TSpelling kSpellings[] = {
    {"wahr", "wahr", true},   {"WAHR", "WAHR", true},   {"falsch", "falsch", false}, {"ja", "ja", true},
    {"Nein", "Nein", false},  {"x", "x", true},         {"X", "X", true},            {"one", "1", true},
    {"zero", "0", false},     {"true", "true", true},   {"FALSE", "FALSE", false},   {"T", "T", true},
    {"F", "F", false},
};

INSTANTIATE_TEST_SUITE_P(Spellings, DbftoolCsvLogical, ::testing::ValuesIn(kSpellings),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_P(DbftoolCsvLogical, SetsTheFlag) {
    const RunResult result = AppendCsv(std::string("FRAGENR,ANT1KORREK\n1.01,") + GetParam().Text + "\n");
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]["ANT1KORREK"], GetParam().Value);
}

TEST_F(DbftoolCsv, AnEmptyCellLeavesTheFieldBlank) {
    ASSERT_EQ(AppendCsv("FRAGENR,FRAGE,ANT1KORREK\n1.01,,\n").ExitCode, 0);
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0]["FRAGE"].is_null());
    EXPECT_TRUE(records[0]["ANT1KORREK"].is_null());
}

struct TBadInput {
    const char* Name;
    const char* Csv;
    const char* Message;
    size_t Kept;  // records of the input that stay
};

class DbftoolCsvFailure : public DbftoolCsv, public ::testing::WithParamInterface<TBadInput> {};

const TBadInput kBadInputs[] = {
    {"RefusedFlagNamesTheLineTheRowStartsOn",
     "FRAGENR;FRAGE;ANT1KORREK\n1.01;\"eins\nzwei\";ja\n1.02;\"ein langer\nText mit ä\";vielleicht\n1.03;drei;nein\n",
     "line 4: 'vielleicht' is not a valid boolean value for field 'ANT1KORREK'", 1},
    {"TooFewValues", "FRAGENR,FRAGE\n1.01,eins\n1.02\n", "line 3: 1 values for 2 columns", 1},
    {"QuoteNotClosed", "FRAGENR,FRAGE\n1.01,eins\n1.02,\"offen\n", "line 3: not valid CSV: a quoted value is not closed", 1},
    {"QuoteOutOfPlace", "FRAGENR,FRAGE\n1.01,\"eins\"x\n", "line 2: not valid CSV: a quote stands out of place", 0},
    {"NotUtf8", "FRAGENR,FRAGE\n1.01,eins\n1.02,Gr\xF6\xDF" "e\n", "line 3: not valid UTF-8", 1},
    {"UnknownField", "FRAGENR,FRAGE_NR\n1.01,eins\n", "line 1: the table has no field 'FRAGE_NR'", 0},
    {"FieldNamedTwice", "FRAGENR,fragenr\n1.01,eins\n", "line 1: the field 'FRAGENR' is named twice", 0},
};

INSTANTIATE_TEST_SUITE_P(BadInputs, DbftoolCsvFailure, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_P(DbftoolCsvFailure, StopsAtTheLineAndKeepsTheRowsBefore) {
    const long long memoBefore = FileSize(folder.File("q.dbt"));
    const RunResult result = AppendCsv(GetParam().Csv);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, std::string(GetParam().Message) + "\n");
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), GetParam().Kept);
    if (GetParam().Kept == 1) {
        EXPECT_EQ(records[0]["FRAGENR"], "1.01");
    }
    // The refused row took no memo block: only the kept rows' memos (one block each) grew the file.
    EXPECT_LE(FileSize(folder.File("q.dbt")), memoBefore + 512 * static_cast<long long>(GetParam().Kept));
}

TEST_F(DbftoolCsv, ReadsStandardInputAndRefusesAFileArgumentBesideCsv) {
    const RunResult fromInput = RunToolWithInput({"append", table, "--csv", "-"}, "FRAGENR\n1.01\n");
    EXPECT_EQ(fromInput.ExitCode, 0) << fromInput.Err;
    EXPECT_EQ(Dump(table).size(), 1u);
    const std::string file = folder.File("in.csv");
    WriteFile(file, "FRAGENR\n1.02\n");
    EXPECT_EQ(RunTool({"append", table, file, "--csv", file}).ExitCode, 2);
    EXPECT_EQ(Dump(table).size(), 1u);
}

TEST_F(DbftoolCsv, AJsonCommentLineAppendsNothingAndACommentKeyIsNoField) {
    AppendLines(table, "{\"_comment\": \"Beispielfragen\"}\n"
                       "{\"FRAGENR\": \"1.01\", \"_comment\": \"eine Anmerkung\"}\n");
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]["FRAGENR"], "1.01");
}

}  // namespace
