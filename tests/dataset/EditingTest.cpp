#include "TestHelpers.h"

#include <gtest/gtest.h>

namespace dstest {
namespace {

void LogEvents(ds::TDataSet& dataSet, std::vector<std::string>& log) {
    auto add = [&log](const char* name) { return [&log, name](ds::TDataSet&) { log.push_back(name); }; };
    dataSet.BeforeEdit = add("BeforeEdit");
    dataSet.AfterEdit = add("AfterEdit");
    dataSet.BeforeInsert = add("BeforeInsert");
    dataSet.AfterInsert = add("AfterInsert");
    dataSet.BeforePost = add("BeforePost");
    dataSet.AfterPost = add("AfterPost");
    dataSet.BeforeCancel = add("BeforeCancel");
    dataSet.AfterCancel = add("AfterCancel");
    dataSet.BeforeDelete = add("BeforeDelete");
    dataSet.AfterDelete = add("AfterDelete");
    dataSet.BeforeScroll = add("BeforeScroll");
    dataSet.AfterScroll = add("AfterScroll");
    dataSet.OnNewRecord = add("OnNewRecord");
}

TEST(Editing, EditThenPostStoresTheChange) {
    auto dataSet = OpenNumbered({1, 2, 3});
    dataSet->Next();
    std::vector<std::string> log;
    LogEvents(*dataSet, log);
    dataSet->Edit();
    EXPECT_EQ(dataSet->State(), ds::dsEdit);
    EXPECT_FALSE(dataSet->Modified());
    dataSet->FieldByName("NAME").SetAsString("changed");
    EXPECT_TRUE(dataSet->Modified());
    dataSet->Post();
    EXPECT_EQ(dataSet->State(), ds::dsBrowse);
    EXPECT_EQ(dataSet->StoredText(2, 1), "changed");
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost"}));
}

TEST(Editing, CancelDropsTheChangeAndShowsTheStoredValue) {
    auto dataSet = OpenNumbered({1, 2});
    dataSet->Edit();
    dataSet->FieldByName("NAME").SetAsString("changed");
    dataSet->Cancel();
    EXPECT_EQ(dataSet->State(), ds::dsBrowse);
    EXPECT_EQ(dataSet->FieldByName("NAME").AsString(), "row1");
    EXPECT_EQ(dataSet->StoredText(1, 1), "row1");
    EXPECT_EQ(dataSet->PostCount(), 0);
}

TEST(Editing, EditWithoutChangesPostsTheRecordAgainWhenPostedExplicitly) {
    auto dataSet = OpenNumbered({1});
    dataSet->Edit();
    dataSet->Post();
    EXPECT_EQ(dataSet->PostCount(), 1);
    EXPECT_EQ(dataSet->StoredText(1, 1), "row1");
}

TEST(Editing, InsertThenPostAppendsAndMakesTheNewRecordCurrent) {
    auto dataSet = OpenNumbered({1, 2, 3});
    dataSet->Next();
    std::vector<std::string> log;
    LogEvents(*dataSet, log);
    dataSet->Insert();
    EXPECT_EQ(dataSet->State(), ds::dsInsert);
    EXPECT_TRUE(dataSet->FieldByName("ID").IsNull());
    dataSet->FieldByName("ID").SetAsInteger(9);
    dataSet->Post();
    EXPECT_EQ(dataSet->StoredCount(), 4);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 9);
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll",
                                             "BeforePost", "AfterPost"}));
    EXPECT_EQ(WalkIds(*dataSet), (std::vector<int>{1, 2, 3, 9}));
}

TEST(Editing, CancelledInsertOrAppendWritesNothingAndReturns) {
    for (const bool append : {false, true}) {
        auto dataSet = OpenNumbered({1, 2, 3});
        dataSet->Next();
        append ? dataSet->Append() : dataSet->Insert();
        dataSet->FieldByName("ID").SetAsInteger(9);
        dataSet->Cancel();
        EXPECT_EQ(dataSet->StoredCount(), 3);
        EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), append ? 3 : 2) << append;
        EXPECT_EQ(WalkIds(*dataSet), (std::vector<int>{1, 2, 3}));
    }
}

TEST(Editing, OnNewRecordDefaultsDoNotCountAsModified) {
    auto dataSet = OpenNumbered({1});
    dataSet->OnNewRecord = [](ds::TDataSet& d) { d.FieldByName("NAME").SetAsString("default"); };
    dataSet->Append();
    EXPECT_FALSE(dataSet->Modified());
    EXPECT_EQ(dataSet->FieldByName("NAME").AsString(), "default");
    dataSet->First();  // the browse check cancels the untouched new record
    EXPECT_EQ(dataSet->StoredCount(), 1);
}

TEST(Editing, EditOnAnEmptyDatasetStartsAnInsert) {
    auto dataSet = OpenNumbered({});
    dataSet->Edit();
    EXPECT_EQ(dataSet->State(), ds::dsInsert);
    dataSet->Post();
    EXPECT_EQ(dataSet->StoredCount(), 1);
    EXPECT_FALSE(dataSet->IsEmpty());
}

TEST(Editing, BrowseCheckBeforeAMovePostsAModifiedRecordAndCancelsAnUnmodifiedOne) {
    auto dataSet = OpenNumbered({1, 2, 3});
    dataSet->Edit();
    dataSet->FieldByName("NAME").SetAsString("changed");
    dataSet->Next();
    EXPECT_EQ(dataSet->State(), ds::dsBrowse);
    EXPECT_EQ(dataSet->StoredText(1, 1), "changed");
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 2);
    dataSet->Edit();
    dataSet->Next();
    EXPECT_EQ(dataSet->PostCount(), 1);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 3);
}

TEST(Editing, FailingPostKeepsStateAndChanges) {
    auto dataSet = OpenNumbered({1, 2});
    dataSet->Edit();
    dataSet->FieldByName("NAME").SetAsString("changed");
    dataSet->FailPost = true;
    EXPECT_EQ(ErrorOf([&] { dataSet->Post(); }), "Error while writing occurred. (Disk full?)");
    EXPECT_EQ(dataSet->State(), ds::dsEdit);
    EXPECT_TRUE(dataSet->Modified());
    EXPECT_EQ(dataSet->FieldByName("NAME").AsString(), "changed");
    // A move runs the same post, so it fails too and stays on the record.
    EXPECT_EQ(ErrorOf([&] { dataSet->Next(); }), "Error while writing occurred. (Disk full?)");
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 1);
    dataSet->FailPost = false;
    dataSet->Post();
    EXPECT_EQ(dataSet->StoredText(1, 1), "changed");
}

TEST(Editing, FailingInsertPostKeepsTheNewRecord) {
    auto dataSet = OpenNumbered({1});
    dataSet->Append();
    dataSet->FieldByName("ID").SetAsInteger(7);
    dataSet->FailPost = true;
    EXPECT_NE(ErrorOf([&] { dataSet->Post(); }), "(nothing raised)");
    EXPECT_EQ(dataSet->State(), ds::dsInsert);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 7);
    EXPECT_EQ(dataSet->StoredCount(), 1);
}

TEST(Editing, RefusalsCarryTheNamePrefix) {
    struct Case {
        const char* Operation;
        std::function<void(TMemoryDataSet&)> Run;
        bool ReadOnly;
        bool Empty;
        const char* Message;
    };
    const Case cases[] = {
        {"Edit", [](TMemoryDataSet& d) { d.Edit(); }, true, false, "Table1: Cannot modify a read-only dataset"},
        {"Insert", [](TMemoryDataSet& d) { d.Insert(); }, true, false, "Table1: Cannot modify a read-only dataset"},
        {"Append", [](TMemoryDataSet& d) { d.Append(); }, true, false, "Table1: Cannot modify a read-only dataset"},
        {"Delete", [](TMemoryDataSet& d) { d.Delete(); }, true, false, "Table1: Cannot modify a read-only dataset"},
        {"AppendRecord", [](TMemoryDataSet& d) { d.AppendRecord({}); }, true, false,
         "Table1: Cannot modify a read-only dataset"},
        {"Post", [](TMemoryDataSet& d) { d.Post(); }, false, false, "Table1: Dataset not in edit or insert mode"},
        {"SetField", [](TMemoryDataSet& d) { d.FieldByName("ID").SetAsInteger(1); }, false, false,
         "Table1: Dataset not in edit or insert mode"},
        {"DeleteEmpty", [](TMemoryDataSet& d) { d.Delete(); }, false, true,
         "Table1: Cannot perform this operation on an empty dataset"},
    };
    for (const Case& c : cases) {
        auto dataSet = OpenNumbered(c.Empty ? std::vector<int>{} : std::vector<int>{1, 2});
        dataSet->ReadOnlyData = c.ReadOnly;
        EXPECT_EQ(ErrorOf([&] { c.Run(*dataSet); }), c.Message) << c.Operation;
        EXPECT_EQ(dataSet->State(), ds::dsBrowse) << c.Operation;
        EXPECT_EQ(dataSet->StoredCount(), c.Empty ? 0 : 2) << c.Operation;
    }
}

TEST(Editing, ALockedRecordLeavesTheDatasetBrowsing) {
    auto dataSet = OpenNumbered({1, 2});
    dataSet->LockedRecords = {1};
    EXPECT_EQ(ErrorOf([&] { dataSet->Edit(); }), "Record locked.");
    EXPECT_EQ(dataSet->State(), ds::dsBrowse);
    dataSet->Next();
    dataSet->Edit();
    EXPECT_EQ(dataSet->State(), ds::dsEdit);
}

TEST(Editing, DeleteDropsAPendingEditAndCancelsAnInsert) {
    auto dataSet = OpenNumbered({1, 2});
    dataSet->Edit();
    dataSet->FieldByName("NAME").SetAsString("changed");
    dataSet->Delete();
    EXPECT_TRUE(dataSet->IsStoredDeleted(1));
    EXPECT_EQ(dataSet->StoredText(1, 1), "row1");
    EXPECT_EQ(dataSet->State(), ds::dsBrowse);
    dataSet->Insert();
    dataSet->Delete();
    EXPECT_EQ(dataSet->State(), ds::dsBrowse);
    EXPECT_EQ(dataSet->StoredCount(), 2);
    EXPECT_EQ(WalkIds(*dataSet), (std::vector<int>{2}));
}

TEST(Editing, AppendRecordStoresTheValuesInFieldOrderAtOnce) {
    auto dataSet = OpenNumbered({1});
    std::vector<std::string> log;
    LogEvents(*dataSet, log);
    dataSet->AppendRecord({5, "five"});
    EXPECT_EQ(dataSet->State(), ds::dsBrowse);
    EXPECT_EQ(dataSet->StoredCount(), 2);
    EXPECT_EQ(dataSet->StoredText(2, 1), "five");
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 5);
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "BeforePost",
                                             "AfterPost"}));
    dataSet->AppendRecord({});
    EXPECT_EQ(dataSet->StoredCount(), 3);
    EXPECT_TRUE(dataSet->FieldByName("ID").IsNull());
    EXPECT_EQ(dataSet->FieldByName("NAME").AsString(), "");
}

TEST(Editing, RequiredFieldMustHaveAValueBeforePost) {
    TMemoryDataSet dataSet({{"ID", ds::ftInteger, 0, true}});
    dataSet.Open();
    dataSet.Append();
    EXPECT_EQ(ErrorOf([&] { dataSet.Post(); }), "Field 'ID' must have a value");
    EXPECT_EQ(dataSet.State(), ds::dsInsert);
    dataSet.FieldByName("ID").SetAsInteger(1);
    dataSet.Post();
    EXPECT_EQ(dataSet.StoredCount(), 1);
}

TEST(Editing, ClosingInEditStateWritesNothing) {
    auto dataSet = OpenNumbered({1});
    dataSet->Edit();
    dataSet->FieldByName("NAME").SetAsString("changed");
    dataSet->Close();
    EXPECT_EQ(dataSet->PostCount(), 0);
    dataSet->Open();
    EXPECT_EQ(dataSet->FieldByName("NAME").AsString(), "row1");
}

TEST(Editing, MemoWritesNeedEditStateAndReachTheRecordOnlyOnPost) {
    TMemoryDataSet dataSet({{"FRAGE", ds::ftMemo}});
    dataSet.SetName("Table1");
    dataSet.AddRow({"stored"});
    dataSet.Open();
    ds::TField& memo = dataSet.FieldByName("FRAGE");
    EXPECT_EQ(ErrorOf([&] { memo.SetAsString("x"); }), "Dataset not in edit or insert mode");
    dataSet.Edit();
    memo.SetAsString("new text");
    EXPECT_TRUE(dataSet.Modified());
    EXPECT_EQ(memo.AsString(), "new text");
    dataSet.Cancel();
    EXPECT_EQ(memo.AsString(), "stored");
    dataSet.Edit();
    memo.SetAsString("posted");
    dataSet.Post();
    EXPECT_EQ(memo.AsString(), "posted");
}

}  // namespace
}  // namespace dstest
