// Filters of the table object: the expression decides what walks, counts and
// searches see; OnFilterRecord may reject more; a text that does not compile
// raises and leaves the previous filter; the options change how text
// compares; changes while open refresh the view.
#include "TableTestSupport.h"

#include "dbf/expr_words.h"
#include "records/JsonLines.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <sstream>

using dbf::TTable;
using Names = std::vector<std::string>;

namespace {

const std::string kSampleBank = std::string(QUARZEL_SOURCE_DIR) + "/data/fragen-beispiel.jsonl";

// The sample bank's questions as the file holds them, read without the engine.
std::vector<nlohmann::json> SampleQuestions() {
    std::ifstream input(kSampleBank);
    std::vector<nlohmann::json> questions;
    for (std::string line; std::getline(input, line);) {
        if (line.empty()) continue;
        nlohmann::json object = nlohmann::json::parse(line);
        if (object.contains("FRAGENR")) questions.push_back(std::move(object));
    }
    return questions;
}

// The FRAGENR of the bank's questions that keep holds for, in file order.
Names NumbersWhere(const std::function<bool(const nlohmann::json&)>& keep) {
    Names numbers;
    for (const nlohmann::json& question : SampleQuestions())
        if (keep(question)) numbers.push_back(question["FRAGENR"].get<std::string>());
    return numbers;
}

bool Flag(const nlohmann::json& question, const char* name) {
    return question.contains(name) && question[name].get<bool>();
}

}  // namespace

class TableFilter : public TableTableTest {
protected:
    // The names table of the filter cases; records 3 and 6 deleted.
    void CreatePeople() {
        CreateAndOpen({Def("NAME", ds::ftString, 10), Def("BETRAG", ds::ftInteger, 0)});
        const std::vector<std::pair<std::string, int>> people = {
            {"Meier", 50}, {"MEIER", 150}, {"Maier", 300}, {"meier", 250}, {"Schmidt", 400}, {"Meierhof", 120}};
        for (const auto& [name, amount] : people) Table.AppendRecord({name, amount});
        DeletePhysical({3, 6});
        Table.First();
    }

    // The question table filled from the sample bank, open.
    void CreateSampleQuestionTable() {
        AddQuestionDefs(Table.FieldDefs());
        Table.CreateTable();
        Table.Open();
        std::ifstream bank(kSampleBank);
        ASSERT_TRUE(bank) << kSampleBank;
        long appended = 0;
        records::AppendJsonLines(Table, bank, appended);
        ASSERT_EQ(appended, static_cast<long>(SampleQuestions().size()));
    }

    Names WalkOf(const char* field) {
        Names seen;
        for (Table.First(); !Table.Eof(); Table.Next()) seen.push_back(Table.FieldByName(field).AsString());
        return seen;
    }

    Names WalkBackwards() {
        Names seen;
        for (Table.Last(); !Table.Bof(); Table.Prior()) seen.push_back(Table.FieldByName("NAME").AsString());
        return seen;
    }

    void Filter(const std::string& text, dbf::TFilterOptions options = 0) {
        Table.SetFilterOptions(options);
        Table.SetFilter(text);
        Table.SetFiltered(true);
    }

    std::string Name() { return Table.FieldByName("NAME").AsString(); }
};

// --- the question table ---------------------------------------------------------

TEST_F(TableFilter, ChapterFilterSelectsTheChapterOfTheSampleBank) {
    CreateSampleQuestionTable();
    for (const char* chapter : {"1", "3", "18"}) {
        SCOPED_TRACE(chapter);
        Filter(std::string("KAPITEL = '") + chapter + "'");
        const Names expected =
            NumbersWhere([&](const nlohmann::json& q) { return q["KAPITEL"].get<std::string>() == chapter; });
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(WalkOf("FRAGENR"), expected);
        EXPECT_EQ(Table.ExactRecordCount(), static_cast<int>(expected.size()));
    }
}

TEST_F(TableFilter, ConditionOnFlagsAndNumbersSelectsWithoutMemos) {
    CreateSampleQuestionTable();
    Filter("ANT2KORREK AND NOT ANT1KORREK AND FRAGENR = '2.*'");
    const Names expected = NumbersWhere([](const nlohmann::json& q) {
        return Flag(q, "ANT2KORREK") && !Flag(q, "ANT1KORREK") && q["FRAGENR"].get<std::string>().rfind("2.", 0) == 0;
    });
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(WalkOf("FRAGENR"), expected);
}

TEST_F(TableFilter, ChangingTheFilterWhileOpenRefreshesTheView) {
    CreateSampleQuestionTable();
    Filter("KAPITEL = '2'");
    Table.First();
    ASSERT_EQ(Table.FieldByName("KAPITEL").AsString(), "2");
    Table.SetFilter("KAPITEL = '5'");
    // The record shown at once belongs to the new filter, and so does every walk.
    EXPECT_EQ(Table.FieldByName("KAPITEL").AsString(), "5");
    EXPECT_EQ(WalkOf("FRAGENR"),
              NumbersWhere([](const nlohmann::json& q) { return q["KAPITEL"].get<std::string>() == "5"; }));
    Table.SetFiltered(false);
    EXPECT_EQ(WalkOf("FRAGENR"), NumbersWhere([](const nlohmann::json&) { return true; }));
}

TEST_F(TableFilter, FilterEventSeesOnlyWhatTheExpressionAccepted) {
    CreateSampleQuestionTable();
    Names offered;
    Table.OnFilterRecord = [&](TTable& table, bool& accept) {
        offered.push_back(table.FieldByName("KAPITEL").AsString());
        // Only multiple-choice questions: answer 2 has a text (a memo field).
        accept = !table.FieldByName("ANTWORT2").AsString().empty();
    };
    Filter("KAPITEL = '4'");
    const Names walked = WalkOf("FRAGENR");
    EXPECT_EQ(walked, NumbersWhere([](const nlohmann::json& q) {
                  return q["KAPITEL"].get<std::string>() == "4" && q.contains("ANTWORT2") &&
                         !q["ANTWORT2"].get<std::string>().empty();
              }));
    ASSERT_FALSE(offered.empty());
    for (const std::string& chapter : offered) EXPECT_EQ(chapter, "4");
}

TEST_F(TableFilter, MemoFieldsCannotBeFiltered) {
    CreateSampleQuestionTable();
    try {
        Table.SetFilter("FRAGE = 'Was*'");
        FAIL() << "a memo field was accepted";
    } catch (const dbf::ETableError& error) {
        EXPECT_STREQ(error.what(), "Field \"FRAGE\" is an invalid field type to base index on.");
    }
    EXPECT_EQ(Table.Filter(), "");
}

// --- navigation and counts ------------------------------------------------------

TEST_F(TableFilter, NavigationSkipsRejectedAndDeletedRecords) {
    CreatePeople();
    Filter("BETRAG > 100");
    EXPECT_EQ(WalkOf("NAME"), (Names{"MEIER", "meier", "Schmidt"}));
    EXPECT_EQ(WalkBackwards(), (Names{"Schmidt", "meier", "MEIER"}));
    Table.Last();
    EXPECT_EQ(Name(), "Schmidt");
    Table.Prior();
    EXPECT_EQ(Name(), "meier");
    Table.First();
    EXPECT_EQ(Name(), "MEIER");
    Table.Prior();
    EXPECT_TRUE(Table.Bof());
    EXPECT_EQ(Name(), "MEIER");
    // Deleted records shown again pass the same expression.
    Table.SetShowDeleted(true);
    EXPECT_EQ(WalkOf("NAME"), (Names{"MEIER", "Maier", "meier", "Schmidt", "Meierhof"}));
}

TEST_F(TableFilter, CountsFollowTheFilterButRecordCountStaysTheFileCount) {
    CreatePeople();
    Filter("NAME = 'M*'");
    // Maier and Meierhof start with M too, but are deleted.
    EXPECT_EQ(WalkOf("NAME"), (Names{"Meier", "MEIER"}));
    EXPECT_EQ(Table.ExactRecordCount(), 2);
    EXPECT_EQ(Table.RecordCount(), 6);
    EXPECT_EQ(Table.PhysicalRecordCount(), 6);
}

TEST_F(TableFilter, AFilterRejectingEverythingLeavesTheTableEmpty) {
    CreatePeople();
    Filter("BETRAG > 1000");
    EXPECT_TRUE(Table.Bof() && Table.Eof());
    EXPECT_TRUE(Table.IsEmpty());
    EXPECT_EQ(Table.ExactRecordCount(), 0);
    Table.SetFilter("BETRAG > 200");
    EXPECT_FALSE(Table.IsEmpty());
    EXPECT_EQ(WalkOf("NAME"), (Names{"meier", "Schmidt"}));
}

// --- compile errors -------------------------------------------------------------

struct BadFilterCase {
    const char* Label;
    const char* Text;
    bool ParserError;  // EParserException, else ETableError
    const char* Message;
};

class TableBadFilter : public TableFilter, public ::testing::WithParamInterface<BadFilterCase> {};

TEST_P(TableBadFilter, RaisesAndLeavesThePreviousFilterInForce) {
    const BadFilterCase& bad = GetParam();
    CreatePeople();
    Filter("BETRAG > 200");
    Table.First();
    ASSERT_EQ(Name(), "meier");
    bool raised = false;
    try {
        Table.SetFilter(bad.Text);
    } catch (const dbf::EParserException& error) {
        raised = true;
        EXPECT_TRUE(bad.ParserError) << error.what();
        EXPECT_STREQ(error.what(), bad.Message);
    } catch (const dbf::ETableError& error) {
        raised = true;
        EXPECT_FALSE(bad.ParserError) << error.what();
        EXPECT_STREQ(error.what(), bad.Message);
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(Table.Filter(), "BETRAG > 200");
    EXPECT_EQ(Name(), "meier");
    EXPECT_EQ(WalkOf("NAME"), (Names{"meier", "Schmidt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TableBadFilter,
    ::testing::Values(
        BadFilterCase{"UnequalBrackets", "UPPER(NAME = 'X'", true, "Unequal brackets"},
        BadFilterCase{"TypeMismatch", "UPPER(BETRAG) = 'X'", true, "Argument type mismatch"},
        BadFilterCase{"TooFewArguments", "SUBSTR(NAME, 1) = 'X'", true, "Function or operand has too few arguments"},
        BadFilterCase{"MissingOperator", "NAME BETRAG", true, "Missing operator between 'NAME' and 'BETRAG'"},
        BadFilterCase{"UnknownField", "NMAE = 'Meier'", false, "Index based on unknown field \"NMAE\"."},
        BadFilterCase{"NoBoolean", "BETRAG + 1", false,
                      "Filter expression \"BETRAG + 1\" does not give a boolean value."},
        BadFilterCase{"TextAlone", "NAME", false, "Filter expression \"NAME\" does not give a boolean value."}),
    [](const ::testing::TestParamInfo<BadFilterCase>& info) { return std::string(info.param.Label); });

TEST_F(TableFilter, BadTextSetWhileClosedIsDroppedAtOpen) {
    CreatePeople();
    Table.Close();
    Table.SetFilter("NMAE = 'x'");
    Table.SetFiltered(true);
    Table.Open();
    EXPECT_EQ(Table.Filter(), "");
    EXPECT_EQ(WalkOf("NAME"), (Names{"Meier", "MEIER", "meier", "Schmidt"}));
}

TEST_F(TableFilter, TextSetWhileClosedIsCompiledAtOpen) {
    CreatePeople();
    Table.Close();
    Table.SetFilter("BETRAG > 200");
    Table.SetFiltered(true);
    Table.Open();
    EXPECT_EQ(WalkOf("NAME"), (Names{"meier", "Schmidt"}));
}

// --- options --------------------------------------------------------------------

struct OptionCase {
    const char* Label;
    const char* Text;
    dbf::TFilterOptions Options;
    Names Expected;
};

class TableFilterOptions : public TableFilter, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(TableFilterOptions, DecideHowTextCompares) {
    const OptionCase& option = GetParam();
    CreatePeople();
    Filter(option.Text, option.Options);
    EXPECT_EQ(WalkOf("NAME"), option.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableFilterOptions,
    ::testing::Values(
        OptionCase{"CaseSensitiveEquality", "NAME = 'Meier'", 0, {"Meier"}},
        OptionCase{"IgnoringCase", "NAME = 'meier'", dbf::foCaseInsensitive, {"Meier", "MEIER", "meier"}},
        OptionCase{"StartsWith", "NAME = 'Me*'", 0, {"Meier"}},
        OptionCase{"StartsWithIgnoringCase", "NAME = 'me*'", dbf::foCaseInsensitive, {"Meier", "MEIER", "meier"}},
        OptionCase{"EndsWith", "NAME = '*dt'", 0, {"Schmidt"}},
        OptionCase{"Contains", "NAME = '*EI*'", 0, {"MEIER"}},
        OptionCase{"NoPartialComparesWholeText", "NAME = 'Me*'", dbf::foNoPartialCompare, {}},
        OptionCase{"UpperOfAField", "UPPER(NAME) = 'MEIER' AND BETRAG > 100", 0, {"MEIER", "meier"}}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.Label); });

TEST_F(TableFilter, ChangingTheOptionsWhileOpenRefreshesTheView) {
    CreatePeople();
    Filter("NAME = 'meier'", dbf::foCaseInsensitive);
    EXPECT_EQ(Name(), "Meier");
    Table.SetFilterOptions(0);
    EXPECT_EQ(Table.FilterOptions(), 0u);
    // The record shown no longer passes: the view moves on to the next that does.
    EXPECT_EQ(Name(), "meier");
    EXPECT_EQ(WalkOf("NAME"), (Names{"meier"}));
}

// --- searches -------------------------------------------------------------------

TEST_F(TableFilter, FindRecordAppliesTheExpressionAlsoWhenNotFiltered) {
    CreatePeople();
    Table.SetFilter("BETRAG > 100");
    ASSERT_FALSE(Table.Filtered());
    EXPECT_EQ(WalkOf("NAME"), (Names{"Meier", "MEIER", "meier", "Schmidt"}));
    EXPECT_TRUE(Table.FindRecord(true, true));
    EXPECT_EQ(Name(), "MEIER");
    EXPECT_TRUE(Table.FindRecord(false, true));
    EXPECT_EQ(Name(), "meier");
    EXPECT_TRUE(Table.FindRecord(true, false));
    EXPECT_EQ(Name(), "Schmidt");
    EXPECT_FALSE(Table.FindRecord(false, true));
    EXPECT_EQ(Name(), "Schmidt");
}

TEST_F(TableFilter, FindRecordCombinesExpressionAndEvent) {
    CreatePeople();
    Table.SetFilter("BETRAG > 100");
    Table.OnFilterRecord = [](TTable& table, bool& accept) { accept = table.FieldByName("NAME").AsString() != "MEIER"; };
    EXPECT_TRUE(Table.FindRecord(true, true));
    EXPECT_EQ(Name(), "meier");
}

TEST_F(TableFilter, LocateFindsOnlyRecordsThroughTheFilter) {
    CreatePeople();
    Filter("BETRAG > 100");
    Table.Last();
    EXPECT_FALSE(Table.Locate("NAME", {"Meier"}, 0));
    EXPECT_EQ(Name(), "Schmidt");
    EXPECT_TRUE(Table.Locate("NAME", {"meier"}, 0));
    EXPECT_EQ(Name(), "meier");
    EXPECT_TRUE(Table.Locate("NAME", {"Meier"}, dbf::loCaseInsensitive));
    EXPECT_EQ(Name(), "MEIER");
    Table.SetFiltered(false);
    EXPECT_TRUE(Table.Locate("NAME", {"Meier"}, 0));
    EXPECT_EQ(Table.PhysicalRecNo(), 1);
}
