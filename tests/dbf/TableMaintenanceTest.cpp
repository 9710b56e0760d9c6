// Emptying, packing and restructuring a table, the table lock and the switch
// to exclusive access: what reaches the files, and that a failure loses nothing.
#include "TableTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <functional>

using dbf::TTable;
using Names = std::vector<std::string>;

class TableMaintenance : public TableTableTest {
protected:
    // r1..r5 with memos m1..m5; records 2 and 4 deleted; memo 1 rewritten
    // once, so the memo file holds a dead copy. Left open exclusively.
    void CreateFiveWithMemos() {
        Table.SetExclusive(true);
        CreateAndOpen({Def("NAME", ds::ftString, 10), Def("NOTE", ds::ftMemo, 0)});
        for (int i = 1; i <= 5; ++i)
            Table.AppendRecord({"r" + std::to_string(i), "m" + std::to_string(i)});
        Table.First();
        Table.Edit();
        Table.FieldByName("NOTE").SetAsString("m1 neu");
        Table.Post();
        DeletePhysical({2, 4});
    }
    std::vector<std::string> Notes() {
        std::vector<std::string> seen;
        for (Table.First(); !Table.Eof(); Table.Next()) seen.push_back(Table.FieldByName("NOTE").AsString());
        return seen;
    }
    std::vector<std::string> FolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder.File(""))) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(TableMaintenance, SharedTableRefusesEveryRebuild) {
    CreateNames({"a"});
    DeletePhysical({1});
    const std::vector<uint8_t> before = TableBytes();
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    defs.Add("NAME", dbf::TFieldType::ftString, 20, false);
    const std::string needed = "Exclusive access is required for this operation.";
    for (auto action : std::vector<std::function<void()>>{[&] { Table.PackTable(); }, [&] { Table.EmptyTable(); },
                                                          [&] { Table.RestructureTable(defs, true); }}) {
        try {
            action();
            ADD_FAILURE() << "no exception";
        } catch (const dbf::ETableError& e) {
            EXPECT_EQ(e.what(), needed);
        }
    }
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(FolderFiles(), (Names{"test.dbf"}));
}

TEST_F(TableMaintenance, PackDropsDeletedRecordsAndDeadMemos) {
    CreateFiveWithMemos();
    Table.PackTable();
    EXPECT_TRUE(Table.Active());
    EXPECT_EQ(Table.RecordCount(), 3);
    EXPECT_EQ(HeaderU32(TableBytes(), 4), 3u);
    EXPECT_EQ(Walk(), (Names{"r1", "r3", "r5"}));
    EXPECT_EQ(Notes(), (Names{"m1 neu", "m3", "m5"}));
    // The header block and one block per memo still referenced, nothing else.
    EXPECT_EQ(FileBytes(Folder.File("test.dbt")).size(), 4u * 512u);
    EXPECT_EQ(FolderFiles(), (Names{"test.dbf", "test.dbt"}));
    Table.SetShowDeleted(true);
    EXPECT_EQ(Table.ExactRecordCount(), 3);
}

TEST_F(TableMaintenance, EmptyTableKeepsTheLayout) {
    CreateFiveWithMemos();
    Table.Zap();
    EXPECT_EQ(Table.RecordCount(), 0);
    EXPECT_TRUE(Table.Eof() && Table.Bof());
    EXPECT_EQ(HeaderU32(TableBytes(), 4), 0u);
    EXPECT_EQ(FileBytes(Folder.File("test.dbt")).size(), 512u);
    ASSERT_EQ(Table.FieldCount(), 2);
    Table.AppendRecord({"neu", "memo"});
    EXPECT_EQ(Notes(), (Names{"memo"}));
}

TEST_F(TableMaintenance, RestructureCarriesValuesByName) {
    CreateFiveWithMemos();
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    defs.Add("NOTE", dbf::TFieldType::ftMemo, 0, false);
    defs.Add("NAME", dbf::TFieldType::ftString, 4, false);
    defs.Add("FLAG", dbf::TFieldType::ftBoolean, 0, false);
    Table.RestructureTable(defs, false);
    ASSERT_EQ(Table.FieldCount(), 3);
    EXPECT_EQ(Table.Fields()[0].FieldName(), "NOTE");
    EXPECT_EQ(Table.RecordCount(), 5);
    EXPECT_EQ(Walk(), (Names{"r1", "r3", "r5"}));
    EXPECT_EQ(Notes(), (Names{"m1 neu", "m3", "m5"}));
    Table.First();
    EXPECT_TRUE(Table.FieldByName("FLAG").IsNull());
    Table.SetShowDeleted(true);
    EXPECT_EQ(Walk(), (Names{"r1", "r2", "r3", "r4", "r5"}));
}

TEST_F(TableMaintenance, FailedRestructureLeavesTheTableAsItWas) {
    Table.SetExclusive(true);
    CreateAndOpen({Def("NAME", ds::ftString, 10), Def("COUNT", ds::ftInteger, 0)});
    Table.AppendRecord({"gross", 123456});
    const std::vector<uint8_t> before = TableBytes();
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    defs.Add("NAME", dbf::TFieldType::ftString, 10, false);
    defs.Add("COUNT", dbf::TFieldType::ftInteger, 3, false);  // 123456 does not fit
    EXPECT_THROW(Table.RestructureTable(defs, true), dbf::ETableError);
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(FolderFiles(), (Names{"test.dbf"}));
    EXPECT_TRUE(Table.Active());
    EXPECT_EQ(Table.FieldByName("COUNT").AsInteger(), 123456);
}

TEST_F(TableMaintenance, FailedSwapPutsEveryFileBack) {
    CreateFiveWithMemos();
    Table.Close();  // an exclusive table writes its headers when it closes
    Table.Open();
    const std::vector<uint8_t> tableBefore = TableBytes();
    const std::vector<uint8_t> memoBefore = FileBytes(Folder.File("test.dbt"));
    // The old memo file cannot be moved aside onto a folder of that name.
    std::filesystem::create_directory(Folder.File("test~old.dbt"));
    EXPECT_THROW(Table.PackTable(), dbf::ETableError);
    EXPECT_EQ(TableBytes(), tableBefore);
    EXPECT_EQ(FileBytes(Folder.File("test.dbt")), memoBefore);
    EXPECT_FALSE(std::filesystem::exists(Folder.File("test~new.dbf")));
    EXPECT_FALSE(std::filesystem::exists(Folder.File("test~old.dbf")));
    EXPECT_TRUE(Table.Active());
    EXPECT_EQ(Notes(), (Names{"m1 neu", "m3", "m5"}));
}

TEST_F(TableMaintenance, TemporaryExclusiveAccessAllowsPacking) {
    CreateNames({"a", "b"});
    DeletePhysical({1});
    Table.TryExclusive();
    EXPECT_TRUE(Table.Exclusive());
    Table.PackTable();
    EXPECT_EQ(Table.RecordCount(), 1);
    EXPECT_TRUE(Table.Exclusive());
    Table.EndExclusive();
    EXPECT_FALSE(Table.Exclusive());
    TTable other;
    other.SetTableName(TablePath());
    EXPECT_NO_THROW(other.Open());
}

TEST_F(TableMaintenance, TryExclusiveStaysSharedWhileAnotherHandleIsOpen) {
    CreateNames({"a"});
    TTable other;
    other.SetTableName(TablePath());
    other.Open();
    Table.TryExclusive();
    EXPECT_FALSE(Table.Exclusive());
    EXPECT_THROW(Table.PackTable(), dbf::ETableError);
    EXPECT_EQ(Walk(), (Names{"a"}));
}

TEST_F(TableMaintenance, TableLockKeepsOthersFromEditing) {
    CreateNames({"a"});
    TTable other;
    other.SetTableName(TablePath());
    other.Open();
    EXPECT_TRUE(Table.LockTable(false));
    EXPECT_THROW(other.Edit(), dbf::ETableError);
    Table.Edit();  // the holder's own record locks are not needed meanwhile
    Table.Cancel();
    Table.UnlockTable();
    EXPECT_NO_THROW(other.Edit());
}
