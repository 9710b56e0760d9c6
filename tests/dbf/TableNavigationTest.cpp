// Walking a table: deleted records skipped, record numbers, bookmarks,
// counts, searches, and appends of another handle reached during a walk.
#include "TableTestSupport.h"

#include "dataset/DataLink.h"
#include "dataset/DataSource.h"

using dbf::TTable;
using Names = std::vector<std::string>;

class TableNavigation : public TableTableTest {
protected:
    // Five records; 2 and 4 deleted.
    void CreateFiveWithTwoDeleted() {
        CreateNames({"r1", "r2", "r3", "r4", "r5"});
        DeletePhysical({2, 4});
        Table.First();
    }
    std::string Name() { return Table.FieldByName("NAME").AsString(); }
};

TEST_F(TableNavigation, EmptyTableStaysAtBothEnds) {
    CreateNames({});
    Table.First();
    EXPECT_TRUE(Table.Bof() && Table.Eof());
    Table.Next();
    EXPECT_TRUE(Table.Bof() && Table.Eof());
    Table.Last();
    EXPECT_TRUE(Table.Bof() && Table.Eof());
    EXPECT_EQ(Table.RecNo(), 0);
    EXPECT_EQ(Table.PhysicalRecNo(), -1);
}

TEST_F(TableNavigation, WalkSkipsDeletedRecordsAndCountsThemApart) {
    CreateFiveWithTwoDeleted();
    EXPECT_EQ(Walk(), (Names{"r1", "r3", "r5"}));
    EXPECT_EQ(Table.RecordCount(), 5);
    EXPECT_EQ(Table.PhysicalRecordCount(), 5);
    EXPECT_EQ(Table.ExactRecordCount(), 3);
    Table.SetShowDeleted(true);
    EXPECT_EQ(Walk(), (Names{"r1", "r2", "r3", "r4", "r5"}));
    EXPECT_EQ(Table.ExactRecordCount(), 5);
}

TEST_F(TableNavigation, ExactRecordCountLeavesThePositionAlone) {
    CreateFiveWithTwoDeleted();
    Table.Next();
    ASSERT_EQ(Name(), "r3");
    EXPECT_EQ(Table.ExactRecordCount(), 3);
    Table.Next();
    EXPECT_EQ(Name(), "r5");
}

TEST_F(TableNavigation, PriorAndNextStepOverDeletedRecords) {
    CreateFiveWithTwoDeleted();
    Table.Last();
    EXPECT_EQ(Name(), "r5");
    EXPECT_TRUE(Table.Eof());
    std::vector<std::string> back;
    for (; !Table.Bof(); Table.Prior()) back.push_back(Name());
    EXPECT_EQ(back, (Names{"r5", "r3", "r1"}));
    EXPECT_EQ(Name(), "r1");
    Table.Next();
    EXPECT_EQ(Name(), "r3");
    EXPECT_EQ(Table.RecNo(), 3);
    EXPECT_EQ(Table.PhysicalRecNo(), 3);
}

TEST_F(TableNavigation, OnlyRecordDeletedLeavesNothingToShow) {
    CreateNames({"only"});
    DeletePhysical({1});
    Table.First();
    EXPECT_TRUE(Table.Eof());
    EXPECT_TRUE(Table.IsEmpty());
    EXPECT_TRUE(Table.IsDeleted());
    EXPECT_EQ(Table.RecordCount(), 1);
    EXPECT_EQ(Table.ExactRecordCount(), 0);
}

TEST_F(TableNavigation, IsDeletedTellsAShownDeletedRecord) {
    CreateFiveWithTwoDeleted();
    Table.SetShowDeleted(true);
    Table.First();
    EXPECT_FALSE(Table.IsDeleted());
    Table.Next();
    EXPECT_TRUE(Table.IsDeleted());
}

TEST_F(TableNavigation, SettingARecordNumberLandsOnAVisibleRecord) {
    CreateFiveWithTwoDeleted();
    struct Case {
        int Target;
        std::string Expected;
    };
    for (const Case& c : {Case{3, "r3"}, Case{2, "r3"}, Case{4, "r5"}, Case{1, "r1"}, Case{9, "r5"}}) {
        Table.SetRecNo(c.Target);
        EXPECT_EQ(Name(), c.Expected) << c.Target;
    }
    Table.SetPhysicalRecNo(4);
    EXPECT_EQ(Name(), "r5");
    EXPECT_EQ(Table.PhysicalRecNo(), 5);
}

TEST_F(TableNavigation, BookmarksAreRecordNumbersInFileOrder) {
    CreateNames({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    Table.SetRecNo(5);
    const ds::TBookmark fifth = Table.GetBookmark();
    Table.SetRecNo(9);
    const ds::TBookmark ninth = Table.GetBookmark();
    EXPECT_EQ(Table.CompareBookmarks(fifth, ninth), -1);
    EXPECT_EQ(Table.CompareBookmarks(ninth, fifth), 1);
    EXPECT_EQ(Table.CompareBookmarks(fifth, fifth), 0);
    EXPECT_EQ(Table.CompareBookmarks({}, ninth), 1);
    EXPECT_EQ(Table.CompareBookmarks(fifth, {}), -1);
    EXPECT_EQ(Table.CompareBookmarks({}, {}), 0);
    Table.GotoBookmark(fifth);
    EXPECT_EQ(Name(), "e");
    EXPECT_TRUE(Table.BookmarkValid(ninth));
}

TEST_F(TableNavigation, LocateComparesKeysByTheOptions) {
    CreateAndOpen({Def("NAME", ds::ftString, 10), Def("CITY", ds::ftString, 10), Def("AGE", ds::ftInteger, 4)});
    Table.AppendRecord({"Anna", "Berlin", 31});
    Table.AppendRecord({"anna", "Hamburg", 42});
    Table.AppendRecord({"Bernd", "Berlin", 42});
    Table.AppendRecord({"Berta", "Bonn", 27});
    DeletePhysical({1});
    struct Case {
        std::string Fields;
        std::vector<ds::TVariant> Values;
        dbf::TLocateOptions Options;
        int Expected;  // physical record number, 0 for not found
    };
    const std::vector<Case> cases = {
        {"NAME", {"anna"}, 0, 2},
        {"NAME", {"ANNA"}, 0, 0},
        {"NAME", {"ANNA"}, dbf::loCaseInsensitive, 2},
        {"NAME", {"Ber"}, 0, 0},
        {"NAME", {"Ber"}, dbf::loPartialKey, 3},
        {"NAME", {"bert"}, dbf::loPartialKey | dbf::loCaseInsensitive, 4},
        {"NAME", {""}, dbf::loPartialKey, 2},
        {"CITY;AGE", {"Berlin", 42}, 0, 3},
        {"AGE;CITY", {42, "Ber"}, dbf::loPartialKey, 3},
        {"CITY;NAME", {"Ber", "Bernd"}, dbf::loPartialKey, 0},
        {"AGE", {31}, 0, 0},  // only the deleted record has it
        {"NAME;CITY", {"Anna"}, 0, 0},
    };
    for (const Case& c : cases) {
        Table.Last();
        const bool found = Table.Locate(c.Fields, c.Values, c.Options);
        EXPECT_EQ(found, c.Expected != 0) << c.Fields << " " << testing::PrintToString(c.Options);
        EXPECT_EQ(Table.PhysicalRecNo(), found ? c.Expected : 4) << c.Fields;
    }
}

TEST_F(TableNavigation, LookupReadsTheFoundRecordAndStaysPut) {
    CreateAndOpen({Def("NAME", ds::ftString, 10), Def("CITY", ds::ftString, 10)});
    Table.AppendRecord({"Anna", "Berlin"});
    Table.AppendRecord({"Bernd", "Bonn"});
    Table.AppendRecord({"Clara", "Celle"});
    Table.First();
    const std::vector<ds::TVariant> found = Table.Lookup("NAME", {"Bernd"}, "CITY;NAME");
    EXPECT_EQ(found, (std::vector<ds::TVariant>{"Bonn", "Bernd"}));
    EXPECT_EQ(Table.FieldByName("NAME").AsString(), "Anna");
    EXPECT_TRUE(Table.Lookup("NAME", {"Dora"}, "CITY").empty());
    Table.Next();
    EXPECT_EQ(Table.FieldByName("NAME").AsString(), "Bernd");
}

TEST_F(TableNavigation, FindRecordUsesTheRecordFilter) {
    CreateFiveWithTwoDeleted();
    Table.OnFilterRecord = [](TTable& table, bool& accept) {
        accept = table.FieldByName("NAME").AsString() != "r3";
    };
    EXPECT_TRUE(Table.FindRecord(true, true));
    EXPECT_EQ(Name(), "r1");
    EXPECT_TRUE(Table.FindRecord(false, true));
    EXPECT_EQ(Name(), "r5");
    EXPECT_FALSE(Table.FindRecord(false, true));
    EXPECT_EQ(Name(), "r5");
    EXPECT_TRUE(Table.FindRecord(true, false));
    EXPECT_EQ(Name(), "r5");
    EXPECT_TRUE(Table.FindRecord(false, false));
    EXPECT_EQ(Name(), "r1");
    // The filter handler only counts for searches while Filtered is off.
    EXPECT_EQ(Walk(), (Names{"r1", "r3", "r5"}));
    Table.SetFiltered(true);
    EXPECT_EQ(Walk(), (Names{"r1", "r5"}));
    EXPECT_EQ(Table.ExactRecordCount(), 2);
}

TEST_F(TableNavigation, AppendsOfAnotherHandleAreReachedDuringAWalk) {
    CreateNames({"r1", "r2"});
    TTable other;
    other.SetTableName(TablePath());
    other.Open();
    Table.First();
    Table.Next();
    ASSERT_EQ(Name(), "r2");
    other.AppendRecord({"r3"});
    Table.Next();
    EXPECT_FALSE(Table.Eof());
    EXPECT_EQ(Name(), "r3");
    EXPECT_EQ(Table.RecordCount(), 3);
}

// A grid keeps several records in the ring; every row is a visible record.
TEST_F(TableNavigation, GridRowsShowOnlyVisibleRecords) {
    CreateNames({"r1", "r2", "r3", "r4", "r5", "r6", "r7"});
    DeletePhysical({2, 4, 7});
    ds::TDataSource source(&Table);
    ds::TDataLink grid;
    grid.SetDataSource(&source);
    grid.SetBufferCount(3);
    auto rows = [&] {
        std::vector<std::string> shown;
        const int active = grid.ActiveRecord();
        for (int i = 0; i < grid.RecordCount(); ++i) {
            grid.SetActiveRecord(i);
            shown.push_back(Name());
        }
        grid.SetActiveRecord(active);
        return shown;
    };
    Table.First();
    EXPECT_EQ(rows(), (Names{"r1", "r3", "r5"}));
    Table.Last();
    EXPECT_EQ(rows(), (Names{"r3", "r5", "r6"}));
    EXPECT_EQ(Name(), "r6");
    EXPECT_EQ(Table.MoveBy(-4), -3);
    EXPECT_TRUE(Table.Bof());
    EXPECT_EQ(Name(), "r1");
    EXPECT_EQ(Walk(), (Names{"r1", "r3", "r5", "r6"}));
    Table.SetRecNo(5);
    Table.Delete();
    EXPECT_EQ(Name(), "r6");
    EXPECT_EQ(Walk(), (Names{"r1", "r3", "r6"}));
    Table.Append();
    Table.FieldByName("NAME").SetAsString("neu");
    Table.Post();
    EXPECT_EQ(Name(), "neu");
    EXPECT_EQ(Table.PhysicalRecNo(), 8);
    EXPECT_EQ(Walk(), (Names{"r1", "r3", "r6", "neu"}));
}
