#include "TestHelpers.h"

#include <gtest/gtest.h>

namespace dstest {
namespace {

struct WalkCase {
    const char* Name;
    std::vector<int> Ids;
    std::vector<int> Deleted;
    std::vector<int> Expected;
};

class Walk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(Walk, FirstThenNextVisitsEveryVisibleRecordOnceInOrder) {
    const WalkCase& c = GetParam();
    auto dataSet = OpenNumbered(c.Ids, c.Deleted);
    EXPECT_EQ(WalkIds(*dataSet), c.Expected);
    EXPECT_TRUE(dataSet->Eof());
}

TEST_P(Walk, LastThenPriorVisitsThemBackwards) {
    const WalkCase& c = GetParam();
    auto dataSet = OpenNumbered(c.Ids, c.Deleted);
    std::vector<int> ids;
    for (dataSet->Last(); !dataSet->Bof(); dataSet->Prior()) ids.insert(ids.begin(), dataSet->FieldByName("ID").AsInteger());
    EXPECT_EQ(ids, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Tables, Walk,
                         ::testing::Values(WalkCase{"Plain", {1, 2, 3, 4, 5}, {}, {1, 2, 3, 4, 5}},
                                           WalkCase{"MiddleDeleted", {1, 2, 3}, {2}, {1, 3}},
                                           WalkCase{"EndsDeleted", {1, 2, 3, 4}, {1, 4}, {2, 3}},
                                           WalkCase{"AllDeleted", {1, 2}, {1, 2}, {}},
                                           WalkCase{"Empty", {}, {}, {}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Navigation, EmptyDatasetIsAtBothEndsAndMovesDoNothing) {
    auto dataSet = OpenNumbered({});
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_TRUE(dataSet->Eof());
    EXPECT_TRUE(dataSet->IsEmpty());
    int scrolls = 0;
    dataSet->AfterScroll = [&](ds::TDataSet&) { ++scrolls; };
    dataSet->Next();
    dataSet->Prior();
    EXPECT_EQ(scrolls, 0);
    dataSet->First();
    EXPECT_TRUE(dataSet->Bof() && dataSet->Eof());
    EXPECT_EQ(dataSet->FieldByName("ID").AsString(), "");
    EXPECT_TRUE(dataSet->FieldByName("ID").IsNull());
}

TEST(Navigation, MovingPastAnEndSetsItsFlagAndKeepsTheRecord) {
    auto dataSet = OpenNumbered({1, 2, 3});
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_FALSE(dataSet->Eof());
    dataSet->Prior();
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 1);
    dataSet->Next();
    EXPECT_FALSE(dataSet->Bof());
    dataSet->Last();
    EXPECT_TRUE(dataSet->Eof());
    EXPECT_FALSE(dataSet->Bof());
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 3);
    dataSet->First();
    dataSet->MoveBy(2);
    EXPECT_FALSE(dataSet->Eof());
    dataSet->Next();
    EXPECT_TRUE(dataSet->Eof());
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 3);
}

TEST(Navigation, MoveByAnswersTheDistanceActuallyMoved) {
    struct Case {
        int Start;  // ID reached with MoveBy from First
        int Distance;
        int Moved;
        int Lands;
        bool Bof, Eof;
    };
    const Case cases[] = {
        {1, 3, 3, 4, false, false}, {1, 10, 5, 6, false, true}, {4, -2, -2, 2, false, false},
        {4, -10, -3, 1, true, false}, {3, 0, 0, 3, false, false},
    };
    for (const Case& c : cases) {
        auto dataSet = OpenNumbered({1, 2, 3, 4, 5, 6});
        dataSet->MoveBy(c.Start - 1);
        EXPECT_EQ(dataSet->MoveBy(c.Distance), c.Moved) << c.Start << " by " << c.Distance;
        EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), c.Lands);
        EXPECT_EQ(dataSet->Bof(), c.Bof);
        EXPECT_EQ(dataSet->Eof(), c.Eof);
    }
}

TEST(Navigation, MovesOnAClosedDatasetFailWithTheNamePrefix) {
    TMemoryDataSet dataSet({{"ID", ds::ftInteger}});
    dataSet.SetName("Table1");
    const std::string closed = "Table1: Cannot perform this operation on a closed dataset";
    EXPECT_EQ(ErrorOf([&] { dataSet.First(); }), closed);
    EXPECT_EQ(ErrorOf([&] { dataSet.Next(); }), closed);
    EXPECT_EQ(ErrorOf([&] { dataSet.Last(); }), closed);
    EXPECT_EQ(ErrorOf([&] { dataSet.Edit(); }), closed);
    EXPECT_EQ(ErrorOf([&] { dataSet.Post(); }), closed);
    EXPECT_EQ(ErrorOf([&] { dataSet.Refresh(); }), closed);
}

TEST(Navigation, ScrollEventsSurroundEveryMove) {
    auto dataSet = OpenNumbered({1, 2, 3});
    std::vector<std::string> log;
    dataSet->BeforeScroll = [&](ds::TDataSet& d) { log.push_back("before " + d.FieldByName("ID").AsString()); };
    dataSet->AfterScroll = [&](ds::TDataSet& d) { log.push_back("after " + d.FieldByName("ID").AsString()); };
    dataSet->Next();
    dataSet->Last();
    dataSet->First();
    EXPECT_EQ(log, (std::vector<std::string>{"before 1", "after 2", "before 2", "after 3", "before 3", "after 1"}));
}

TEST(Bookmarks, GotoBookmarkReturnsToTheMarkedRecord) {
    auto dataSet = OpenNumbered({1, 2, 3, 4, 5, 6, 7});
    dataSet->MoveBy(4);
    const ds::TBookmark mark = dataSet->GetBookmark();
    ASSERT_EQ(mark.size(), 4u);
    dataSet->First();
    dataSet->GotoBookmark(mark);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 5);
    dataSet->Next();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 6);
    dataSet->MoveBy(-5);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 1);
}

TEST(Bookmarks, ValidityAndOrder) {
    auto dataSet = OpenNumbered({1, 2, 3, 4, 5, 6, 7, 8, 9});
    const ds::TBookmark first = dataSet->GetBookmark();
    dataSet->MoveBy(4);
    const ds::TBookmark fifth = dataSet->GetBookmark();
    dataSet->MoveBy(4);
    const ds::TBookmark ninth = dataSet->GetBookmark();
    EXPECT_EQ(dataSet->CompareBookmarks(fifth, ninth), -1);
    EXPECT_EQ(dataSet->CompareBookmarks(ninth, fifth), 1);
    EXPECT_EQ(dataSet->CompareBookmarks(fifth, fifth), 0);
    EXPECT_EQ(dataSet->CompareBookmarks({}, fifth), 1);
    EXPECT_EQ(dataSet->CompareBookmarks(fifth, {}), -1);
    EXPECT_EQ(dataSet->CompareBookmarks({}, {}), 0);

    EXPECT_TRUE(dataSet->BookmarkValid(first));
    dataSet->MarkDeleted(1);
    EXPECT_FALSE(dataSet->BookmarkValid(first));
    EXPECT_FALSE(dataSet->BookmarkValid({}));
    // Probing validity moved nothing the dataset shows.
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 9);
    dataSet->Prior();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 8);
}

TEST(Bookmarks, AnEmptyDatasetHasNoBookmark) {
    auto dataSet = OpenNumbered({});
    EXPECT_TRUE(dataSet->GetBookmark().empty());
}

TEST(Resync, DeletingMovesToTheNextThenThePriorVisibleRecord) {
    auto dataSet = OpenNumbered({1, 2, 3, 4});
    dataSet->MoveBy(1);
    dataSet->Delete();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 3);
    dataSet->Last();
    dataSet->Delete();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 3);
    EXPECT_EQ(WalkIds(*dataSet), (std::vector<int>{1, 3}));
    dataSet->First();
    dataSet->Delete();
    dataSet->Delete();
    EXPECT_TRUE(dataSet->IsEmpty());
    EXPECT_TRUE(dataSet->Bof() && dataSet->Eof());
    EXPECT_EQ(dataSet->RecordCount(), 4);
}

TEST(Resync, SetRecNoOnADeletedRecordLandsOnTheNextVisibleOne) {
    auto dataSet = OpenNumbered({1, 2, 3, 4}, {3});
    dataSet->SetRecNo(3);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 4);
    EXPECT_EQ(dataSet->RecNo(), 4);
    dataSet->Prior();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 2);
}

TEST(Resync, RefreshShowsRecordsChangedBehindTheDataset) {
    auto dataSet = OpenNumbered({1, 2, 3});
    dataSet->Next();
    dataSet->MarkDeleted(2);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 2);
    dataSet->Refresh();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 3);
    dataSet->AddRow({4, "row4"});
    dataSet->Refresh();
    dataSet->Next();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 4);
}

TEST(OpenClose, EventsAndStatesAroundOpenAndClose) {
    TMemoryDataSet dataSet({{"ID", ds::ftInteger}});
    std::vector<std::string> log;
    dataSet.BeforeOpen = [&](ds::TDataSet& d) { log.push_back("BeforeOpen " + std::to_string(d.Active())); };
    dataSet.AfterOpen = [&](ds::TDataSet& d) { log.push_back("AfterOpen " + std::to_string(d.Active())); };
    dataSet.BeforeClose = [&](ds::TDataSet& d) { log.push_back("BeforeClose " + std::to_string(d.Active())); };
    dataSet.AfterClose = [&](ds::TDataSet& d) { log.push_back("AfterClose " + std::to_string(d.Active())); };
    dataSet.Open();
    EXPECT_EQ(dataSet.State(), ds::dsBrowse);
    EXPECT_EQ(dataSet.FieldCount(), 1);
    dataSet.Open();
    dataSet.Close();
    EXPECT_EQ(dataSet.State(), ds::dsInactive);
    EXPECT_EQ(dataSet.FieldCount(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeOpen 0", "AfterOpen 1", "BeforeClose 1", "AfterClose 0"}));
}

TEST(OpenClose, FieldLookupAndDefinitions) {
    auto dataSet = OpenNumbered({1});
    EXPECT_EQ(&dataSet->FieldByName("name"), &dataSet->Fields()[1]);
    EXPECT_EQ(dataSet->Fields()[1].Index(), 1);
    EXPECT_EQ(dataSet->Fields()[1].FieldNo(), 2);
    EXPECT_EQ(dataSet->Fields()[1].Size(), 10);
    EXPECT_EQ(dataSet->FindField("MISSING"), nullptr);
    EXPECT_EQ(ErrorOf([&] { dataSet->FieldByName("MISSING"); }), "Table1: Field 'MISSING' not found");
    EXPECT_EQ(ErrorOf([&] { dataSet->FieldDefs().Find("NOPE"); }), "Table1: Field 'NOPE' not found");
    EXPECT_EQ(dataSet->FieldDefs()[0].Name, "ID");
    EXPECT_EQ(dataSet->FieldDefs()[1].DataType, ds::ftString);
}

}  // namespace
}  // namespace dstest
