// The table object's indexes: adding and deleting them, the production
// index's tags as temporary definitions while open, file names, and record
// changes through the dataset reaching every tag.
#include "IndexTestSupport.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace dbf;

namespace {

class TableIndexesTest : public TableTableTest {
protected:
    std::vector<std::string> TagNames(int tag) {
        const auto bytes = FileBytes(Folder.File("test.mdx"));
        std::vector<std::string> names;
        for (const auto& e : RawTreeReader(bytes, true, MdxTagHeaderAt(bytes, tag)).Entries()) names.push_back(KeyText(e));
        return names;
    }
};

TEST_F(TableIndexesTest, AddedTagIsListedReopenedAndDroppedFromTheDefinitionsAtClose) {
    CreateNames({"b", "a"});
    Table.AddIndex("byname", "UPPER(NAME)", 0);
    Table.AddIndex("names.ndx", "NAME", 0);
    EXPECT_EQ(Table.GetIndexNames(), (std::vector<std::string>{"BYNAME", "NAMES.NDX"}));
    EXPECT_EQ(Table.GetAllIndexFiles(), (std::vector<std::string>{Folder.File("test.mdx"), Folder.File("names.ndx")}));
    EXPECT_EQ(Table.GetFileNames(1 | 4),
              (std::vector<std::string>{TablePath(), Folder.File("test.mdx"), Folder.File("names.ndx")}));
    EXPECT_EQ(TagNames(0), (std::vector<std::string>{"A", "B"}));
    Table.Close();
    EXPECT_EQ(Table.IndexDefs().Count(), 1);  // the single index stays listed
    Table.Open();
    ASSERT_NE(Table.IndexDefs().GetIndexByName("byname"), nullptr);
    EXPECT_TRUE(Table.IndexDefs().GetIndexByName("byname")->Temporary());
    EXPECT_EQ(Table.IndexDefs().GetIndexByField("upper(name)"), Table.IndexDefs().GetIndexByName("BYNAME"));
    EXPECT_EQ(Table.GetAllIndexFiles().size(), 2u);
    Table.AppendRecord({"c"});
    EXPECT_EQ(TagNames(0), (std::vector<std::string>{"A", "B", "C"}));
}

// Tables copied from Windows bring their production index as TEST.MDX.
TEST_F(TableIndexesTest, ProductionIndexNamedInAnotherCaseIsOpenedAndKeptCurrent) {
    CreateNames({"b", "a"});
    Table.AddIndex("byname", "NAME", 0);
    Table.Close();
    ASSERT_EQ(std::rename(Folder.File("test.mdx").c_str(), Folder.File("TEST.MDX").c_str()), 0);
    Table.Open();
    EXPECT_EQ(Table.GetIndexNames(), std::vector<std::string>{"BYNAME"});
    EXPECT_EQ(Table.GetAllIndexFiles(), std::vector<std::string>{Folder.File("TEST.MDX")});
    Table.AppendRecord({"c"});
    Table.Close();
    EXPECT_FALSE(platform::FileExists(Folder.File("test.mdx")));
    ASSERT_EQ(std::rename(Folder.File("TEST.MDX").c_str(), Folder.File("test.mdx").c_str()), 0);
    EXPECT_EQ(TagNames(0), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(TableIndexesTest, DeletingTheLastTagRemovesTheProductionIndex) {
    CreateNames({"a"});
    Table.AddIndex("byname", "NAME", 0);
    Table.DeleteIndex("byname");
    EXPECT_FALSE(platform::FileExists(Folder.File("test.mdx")));
    EXPECT_EQ(TableBytes()[28], 0);
    EXPECT_TRUE(Table.GetIndexNames().empty());
}

TEST_F(TableIndexesTest, DatasetDeleteAndRecallMoveTheRecordInAndOutOfAPrimaryTag) {
    CreateNames({"a", "b"});
    Table.AddIndex("pname", "NAME", ixPrimary);
    Table.SetShowDeleted(true);
    Table.First();
    Table.Delete();
    EXPECT_EQ(TagNames(0), std::vector<std::string>{"b"});
    Table.First();
    Table.Undelete();
    Table.Post();
    EXPECT_EQ(TagNames(0), (std::vector<std::string>{"a", "b"}));
}

TEST_F(TableIndexesTest, DuplicateInAPrimaryTagIsRefusedByTheDataset) {
    CreateNames({"a"});
    Table.AddIndex("pname", "NAME", ixPrimary);
    EXPECT_THROW(Table.AppendRecord({"a"}), ETableError);
    Table.Cancel();
    EXPECT_EQ(Table.PhysicalRecordCount(), 1);
    EXPECT_EQ(TagNames(0), std::vector<std::string>{"a"});
}

TEST_F(TableIndexesTest, RegeneratingRebuildsEveryIndexFromTheRecords) {
    CreateNames({"c", "a", "b"});
    Table.AddIndex("byname", "NAME", 0);
    Table.RegenerateIndexes();
    EXPECT_EQ(TagNames(0), (std::vector<std::string>{"a", "b", "c"}));
}

}  // namespace
