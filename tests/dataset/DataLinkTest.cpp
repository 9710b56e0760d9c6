#include "TestHelpers.h"

#include "dataset/DataLink.h"
#include "dataset/DataSource.h"
#include "dataset/FieldDataLink.h"

#include <gtest/gtest.h>

namespace dstest {
namespace {

// A link that writes down every notification it receives.
class TRecordingLink : public ds::TDataLink {
public:
    std::vector<std::string> Log;
    std::function<void()> OnUpdate;

protected:
    void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
    void EditingChanged() override { Log.push_back(Editing() ? "editing" : "not editing"); }
    void RecordChanged(ds::TField* field) override { Log.push_back("record " + (field ? field->FieldName() : "-")); }
    void DataSetChanged() override { Log.push_back("changed"); }
    void DataSetScrolled(int distance) override { Log.push_back("scrolled " + std::to_string(distance)); }
    void LayoutChanged() override { Log.push_back("layout"); }
    void UpdateData() override {
        Log.push_back("update");
        if (OnUpdate) OnUpdate();
    }
    void CheckBrowseMode() override { Log.push_back("check"); }
};

// The IDs of the rows a link shows, read the way a grid paints them.
std::vector<int> VisibleIds(ds::TDataLink& link) {
    std::vector<int> ids;
    const int saved = link.ActiveRecord();
    for (int row = 0; row < link.RecordCount(); ++row) {
        link.SetActiveRecord(row);
        ids.push_back(link.DataSet()->FieldByName("ID").AsInteger());
    }
    link.SetActiveRecord(saved);
    return ids;
}

TEST(DataLinks, NotificationsFollowTheEditingCycleInOrder) {
    auto dataSet = OpenNumbered({1, 2});
    dataSet->Close();
    ds::TDataSource source(dataSet.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    dataSet->Open();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"active", "changed"}));
    link.Log.clear();
    dataSet->Edit();
    dataSet->FieldByName("NAME").SetAsString("x");
    dataSet->Post();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "editing", "record -", "record NAME", "update",
                                                  "not editing", "changed"}));
    link.Log.clear();
    dataSet->Close();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive"}));
    EXPECT_FALSE(link.Active());
}

TEST(DataLinks, MovesAskForPendingInputBeforeTheBrowseCheck) {
    auto dataSet = OpenNumbered({1, 2});
    ds::TDataSource source(dataSet.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    dataSet->Edit();
    link.OnUpdate = [&] { dataSet->FieldByName("NAME").SetAsString("typed"); };
    link.Log.clear();
    dataSet->Next();
    EXPECT_EQ(dataSet->StoredText(1, 1), "typed");
    // The link's own write during UpdateData is not echoed back to it.
    // A one-row link sees every move as a scroll by one row.
    EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "update", "update", "not editing", "changed", "scrolled 1"}));
}

TEST(DataLinks, GridWindowScrollsByTheRightDistance) {
    auto dataSet = OpenNumbered({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    ds::TDataSource source(dataSet.get());
    TRecordingLink grid;
    grid.SetDataSource(&source);
    grid.SetBufferCount(3);
    EXPECT_EQ(dataSet->BufferCount(), 3);
    EXPECT_EQ(VisibleIds(grid), (std::vector<int>{1, 2, 3}));
    struct Step {
        int Distance;
        const char* Notification;
        std::vector<int> Rows;
        int ActiveRow;
    };
    const Step steps[] = {
        {1, "scrolled 0", {1, 2, 3}, 1},  {1, "scrolled 0", {1, 2, 3}, 2},  {1, "scrolled 1", {2, 3, 4}, 2},
        {2, "scrolled 2", {4, 5, 6}, 2},  {-2, "scrolled 0", {4, 5, 6}, 0}, {-1, "scrolled -1", {3, 4, 5}, 0},
        {20, "scrolled 5", {8, 9, 10}, 2}, {-20, "scrolled -7", {1, 2, 3}, 0},
    };
    for (const Step& step : steps) {
        grid.Log.clear();
        dataSet->MoveBy(step.Distance);
        EXPECT_EQ(grid.Log, (std::vector<std::string>{"check", step.Notification})) << step.Distance;
        EXPECT_EQ(VisibleIds(grid), step.Rows) << step.Distance;
        EXPECT_EQ(grid.ActiveRecord(), step.ActiveRow) << step.Distance;
    }
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 1);
}

TEST(DataLinks, RingFollowsTheLargestLinkAndKeepsTheCurrentRecord) {
    auto dataSet = OpenNumbered({1, 2, 3, 4, 5, 6, 7, 8});
    ds::TDataSource source(dataSet.get());
    dataSet->MoveBy(5);
    {
        TRecordingLink grid;
        grid.SetDataSource(&source);
        grid.SetBufferCount(4);
        EXPECT_EQ(dataSet->BufferCount(), 4);
        EXPECT_EQ(VisibleIds(grid).size(), 4u);
        EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 6);
        grid.SetBufferCount(2);
        EXPECT_EQ(VisibleIds(grid), (std::vector<int>{5, 6}));
    }
    EXPECT_EQ(dataSet->BufferCount(), 1);
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 6);
    dataSet->Next();
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 7);
}

TEST(DataLinks, InsertShowsTheNewRowInTheGridAndCancelRemovesIt) {
    auto dataSet = OpenNumbered({1, 2, 3});
    ds::TDataSource source(dataSet.get());
    TRecordingLink grid;
    grid.SetDataSource(&source);
    grid.SetBufferCount(5);
    dataSet->Next();
    dataSet->Insert();
    EXPECT_EQ(grid.RecordCount(), 4);
    EXPECT_EQ(grid.ActiveRecord(), 1);
    EXPECT_EQ(VisibleIds(grid), (std::vector<int>{1, 0, 2, 3}));
    dataSet->Cancel();
    EXPECT_EQ(VisibleIds(grid), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(dataSet->FieldByName("ID").AsInteger(), 2);
}

TEST(DataLinks, DisabledControlsHearOneChangeWhenEnabledAgain) {
    auto dataSet = OpenNumbered({1, 2, 3});
    ds::TDataSource source(dataSet.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    link.Log.clear();
    dataSet->DisableControls();
    dataSet->DisableControls();
    dataSet->Next();
    dataSet->Edit();
    dataSet->EnableControls();
    // Requests for input still pass; the display notifications wait.
    EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "check"}));
    EXPECT_FALSE(link.Editing());
    link.Log.clear();
    dataSet->EnableControls();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"editing", "changed"}));
    EXPECT_TRUE(link.Editing());
}

TEST(DataLinks, DataSourceStateEventsAndAutoEdit) {
    auto dataSet = OpenNumbered({1});
    ds::TDataSource source(dataSet.get());
    std::vector<ds::TDataSetState> states;
    int dataChanges = 0;
    source.OnStateChange = [&](ds::TDataSource& s) { states.push_back(s.State()); };
    source.OnDataChange = [&](ds::TDataSource&, ds::TField*) { ++dataChanges; };
    TRecordingLink link;
    link.SetDataSource(&source);
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(dataSet->State(), ds::dsEdit);
    dataSet->Cancel();
    source.SetAutoEdit(false);
    EXPECT_FALSE(link.Edit());
    source.SetEnabled(false);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(states, (std::vector<ds::TDataSetState>{ds::dsEdit, ds::dsBrowse, ds::dsInactive}));
    EXPECT_GT(dataChanges, 0);
}

TEST(DataLinks, DestroyingTheDatasetDetachesItsSources) {
    auto dataSet = OpenNumbered({1});
    ds::TDataSource source(dataSet.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    dataSet.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
}

TEST(FieldDataLinks, ABoundEditHandsOverItsTextOnlyWhenModified) {
    auto dataSet = OpenNumbered({1, 2});
    ds::TDataSource source(dataSet.get());
    ds::TFieldDataLink edit;
    std::string shown;
    std::string typed;
    edit.OnDataChange = [&] { shown = edit.Field() ? edit.Field()->AsString() : ""; };
    edit.OnUpdateData = [&] { edit.Field()->SetAsString(typed); };
    edit.SetDataSource(&source);
    edit.SetFieldName("NAME");
    EXPECT_EQ(shown, "row1");
    ASSERT_TRUE(edit.Edit());
    typed = "typed";
    edit.Modified();
    dataSet->Next();
    EXPECT_EQ(dataSet->StoredText(1, 1), "typed");
    EXPECT_EQ(shown, "row2");
    EXPECT_FALSE(edit.IsModified());
    dataSet->Edit();
    dataSet->Post();
    EXPECT_EQ(dataSet->StoredText(2, 1), "row2") << "an unmodified control writes nothing";
    dataSet->ReadOnlyData = true;
    EXPECT_FALSE(edit.CanModify());
    EXPECT_FALSE(edit.Edit());
}

}  // namespace
}  // namespace dstest
