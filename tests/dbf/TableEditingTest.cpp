// Editing through the table object: appends, inserts, edits, cancels,
// deletes, record locks and write failures, checked against the file.
#include "TableTestSupport.h"

#include "FailingStream.h"

#include <climits>

using dbf::TTable;
using Names = std::vector<std::string>;

class TableQuestionTable : public TableTableTest {
protected:
    void SetUp() override {
        AddQuestionDefs(Table.FieldDefs());
        Table.CreateTable();
        Table.Open();
    }
};

TEST_F(TableQuestionTable, AppendWithoutValuesWritesOneBlankRecord) {
    Table.AppendRecord({});
    const std::vector<uint8_t> bytes = TableBytes();
    EXPECT_EQ(HeaderU32(bytes, 4), 1u);
    EXPECT_EQ(RecordBytes(bytes, 1), std::string(108, ' '));
    EXPECT_EQ(Table.RecordCount(), 1);
    EXPECT_EQ(Table.State(), ds::dsBrowse);
    EXPECT_EQ(Table.PhysicalRecNo(), 1);
    for (int i = 0; i < Table.FieldCount(); ++i) EXPECT_EQ(Table.Fields()[i].AsString(), "") << i;
    EXPECT_FALSE(Table.Fields()[4].AsBoolean());
    EXPECT_EQ(Table.Fields()[0].AsString(), "");
}

TEST_F(TableQuestionTable, AppendThenEditFillsTheRecordInPlace) {
    Table.AppendRecord({});
    Table.Edit();
    Table.Fields()[0].SetAsString("3");
    Table.Fields()[2].SetAsString("Was ist eine Waffe?");
    Table.Fields()[4].SetAsBoolean(true);
    Table.Post();
    EXPECT_EQ(HeaderU32(TableBytes(), 4), 1u);
    Table.Close();
    Table.Open();
    EXPECT_EQ(Table.Fields()[0].AsInteger(), 3);
    EXPECT_EQ(Table.Fields()[2].AsString(), "Was ist eine Waffe?");
    EXPECT_TRUE(Table.Fields()[4].AsBoolean());
    EXPECT_FALSE(Table.Fields()[6].AsBoolean());
}

class TableEditing : public TableTableTest {
protected:
    std::string Name() { return Table.FieldByName("NAME").AsString(); }
};

TEST_F(TableEditing, InsertThenCancelWritesNothing) {
    CreateNames({"a"});
    const std::vector<uint8_t> before = TableBytes();
    Table.Insert();
    Table.FieldByName("NAME").SetAsString("neu");
    Table.Cancel();
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(Name(), "a");
    EXPECT_EQ(Table.RecordCount(), 1);
}

TEST_F(TableEditing, InsertThenPostAppendsAtTheEnd) {
    CreateNames({"a", "b"});
    Table.First();
    Table.Insert();
    Table.Post();
    EXPECT_EQ(Table.RecordCount(), 3);
    EXPECT_EQ(Table.PhysicalRecNo(), 3);
    EXPECT_EQ(RecordBytes(TableBytes(), 3), std::string(11, ' '));
    EXPECT_EQ(Walk(), (Names{"a", "b", ""}));
}

TEST_F(TableEditing, EditChangeCancelKeepsTheStoredValue) {
    CreateNames({"alt"});
    const std::vector<uint8_t> before = TableBytes();
    Table.Edit();
    Table.FieldByName("NAME").SetAsString("neu");
    EXPECT_EQ(Name(), "neu");
    Table.Cancel();
    EXPECT_EQ(Name(), "alt");
    EXPECT_EQ(TableBytes(), before);
}

TEST_F(TableEditing, EditPostUnchangedRewritesTheSameRecord) {
    CreateNames({"same", "other"});
    Table.First();
    const std::string before = RecordBytes(TableBytes(), 1);
    Table.Edit();
    Table.Post();
    EXPECT_EQ(RecordBytes(TableBytes(), 1), before);
    EXPECT_EQ(Name(), "same");
    EXPECT_EQ(Table.State(), ds::dsBrowse);
}

TEST_F(TableEditing, MovingAwayPostsAChangeAndDropsAnUnchangedEdit) {
    CreateNames({"a", "b"});
    Table.First();
    Table.Edit();
    Table.FieldByName("NAME").SetAsString("geändert");
    Table.Next();
    EXPECT_EQ(Table.State(), ds::dsBrowse);
    EXPECT_EQ(Name(), "b");
    Table.Edit();
    Table.Prior();
    EXPECT_EQ(Table.State(), ds::dsBrowse);
    EXPECT_EQ(Walk(), (Names{"geändert", "b"}));
}

TEST_F(TableEditing, ClosingInEditStateWritesNothing) {
    CreateNames({"a"});
    const std::vector<uint8_t> before = TableBytes();
    Table.Edit();
    Table.FieldByName("NAME").SetAsString("weg");
    Table.Close();
    EXPECT_EQ(TableBytes(), before);
    // The record lock went with the edit.
    TTable other;
    other.SetTableName(TablePath());
    other.Open();
    EXPECT_NO_THROW(other.Edit());
}

TEST_F(TableEditing, DeletingMovesToTheNeighbourAndKeepsTheCount) {
    CreateNames({"a", "b", "c"});
    Table.SetRecNo(2);
    Table.Delete();
    EXPECT_EQ(Name(), "c");
    Table.Delete();  // the last visible record: back to the preceding one
    EXPECT_EQ(Name(), "a");
    EXPECT_EQ(RecordBytes(TableBytes(), 3)[0], '*');
    Table.Delete();  // the only one left
    EXPECT_TRUE(Table.IsEmpty());
    EXPECT_TRUE(Table.Eof() && Table.Bof());
    EXPECT_EQ(Table.RecordCount(), 3);
    EXPECT_EQ(HeaderU32(TableBytes(), 4), 3u);
    EXPECT_EQ(MessageOf([&] { Table.Delete(); }), "Table1: Cannot perform this operation on an empty dataset");
}

TEST_F(TableEditing, DeleteDropsAPendingChange) {
    CreateNames({"a", "b"});
    Table.First();
    Table.Edit();
    Table.FieldByName("NAME").SetAsString("verworfen");
    Table.Delete();
    EXPECT_EQ(RecordBytes(TableBytes(), 1), "*a         ");
    EXPECT_EQ(Name(), "b");
}

TEST_F(TableEditing, UndeleteRecallsAShownDeletedRecord) {
    CreateNames({"a", "b"});
    DeletePhysical({1});
    Table.SetShowDeleted(true);
    Table.First();
    ASSERT_TRUE(Table.IsDeleted());
    Table.Undelete();
    EXPECT_EQ(Table.State(), ds::dsEdit);
    EXPECT_EQ(RecordBytes(TableBytes(), 1)[0], ' ');
    Table.Post();
    Table.SetShowDeleted(false);
    EXPECT_EQ(Walk(), (Names{"a", "b"}));
}

TEST_F(TableEditing, OneCallAppendStoresItsMemoValues) {
    CreateAndOpen({Def("NAME", ds::ftString, 10), Def("NOTE", ds::ftMemo, 0)});
    Table.AppendRecord({"eins", "Memo eins"});
    Table.AppendRecord({"zwei"});
    Table.First();
    EXPECT_EQ(Table.FieldByName("NOTE").AsString(), "Memo eins");
    Table.Next();
    EXPECT_EQ(Table.FieldByName("NOTE").AsString(), "");
    EXPECT_TRUE(Table.FieldByName("NOTE").IsNull());
}

// --- record locks -----------------------------------------------------------------------

TEST_F(TableEditing, RecordEditedByAnotherHandleIsLocked) {
    CreateNames({"a", "b"});
    Table.First();
    TTable other;
    other.SetName("Table2");
    other.SetTableName(TablePath());
    other.Open();
    Table.Edit();
    EXPECT_EQ(MessageOf([&] { other.Edit(); }), "Record locked.");
    EXPECT_EQ(other.State(), ds::dsBrowse);
    EXPECT_EQ(MessageOf([&] { other.Delete(); }), "Record locked.");
    EXPECT_EQ(RecordBytes(TableBytes(), 1)[0], ' ');
    // Another record is free, and the holder can still post.
    other.Next();
    EXPECT_NO_THROW(other.Edit());
    other.Cancel();
    Table.FieldByName("NAME").SetAsString("mein");
    Table.Post();
    other.First();
    other.Edit();
    EXPECT_EQ(other.FieldByName("NAME").AsString(), "mein");
}

TEST_F(TableEditing, ExclusiveTableTakesNoLocks) {
    CreateNames({"a"});
    Table.Close();
    Table.SetExclusive(true);
    Table.Open();
    Table.Edit();
    Table.FieldByName("NAME").SetAsString("x");
    Table.Post();
    EXPECT_EQ(Name(), "x");
    EXPECT_THROW({
        TTable other;
        other.SetTableName(TablePath());
        other.Open();
    }, dbf::ETableError);
}

// --- write failures --------------------------------------------------------------------------

class TableWriteFailure : public ::testing::Test {
protected:
    void SetUp() override {
        Table.SetStorage(dbf::stoMemory);
        Table.SetUserStream(&Stream);
        Table.SetLanguageID(kLangAnsi1252);
        Table.FieldDefs().Add("NAME", ds::ftString, 10);
        Table.CreateTable();
        Table.Open();
        Table.AppendRecord({"vorher"});
    }
    void FailFromNextWrite() { Stream.FailWritesFrom(Stream.Writes() + 1); }
    void StopFailing() { Stream.FailWritesFrom(INT_MAX); }

    dbf::platform::TLocaleOverride FGerman{"de_DE.UTF-8"};
    FailingStream Stream;
    TTable Table;
};

TEST_F(TableWriteFailure, FailedAppendLeavesTheTableAsItWas) {
    const std::vector<uint8_t> before = Stream.Bytes();
    Table.Append();
    Table.FieldByName("NAME").SetAsString("neu");
    FailFromNextWrite();
    EXPECT_THROW(Table.Post(), dbf::ETableWriteError);
    StopFailing();
    EXPECT_EQ(Stream.Bytes(), before);
    EXPECT_EQ(Table.State(), ds::dsInsert);
    EXPECT_EQ(Table.RecordCount(), 1);
    Table.Post();
    EXPECT_EQ(Table.RecordCount(), 2);
    EXPECT_EQ(Table.FieldByName("NAME").AsString(), "neu");
    Table.First();
    EXPECT_EQ(Table.FieldByName("NAME").AsString(), "vorher");
}

TEST_F(TableWriteFailure, FailedOneCallAppendLeavesTheTableAsItWas) {
    const std::vector<uint8_t> before = Stream.Bytes();
    FailFromNextWrite();
    EXPECT_THROW(Table.AppendRecord({"neu"}), dbf::ETableWriteError);
    StopFailing();
    EXPECT_EQ(Stream.Bytes(), before);
    EXPECT_EQ(Table.RecordCount(), 1);
}

TEST_F(TableWriteFailure, FailedEditPostKeepsTheEditPending) {
    const std::vector<uint8_t> before = Stream.Bytes();
    Table.Edit();
    Table.FieldByName("NAME").SetAsString("nachher");
    FailFromNextWrite();
    EXPECT_THROW(Table.Post(), dbf::ETableWriteError);
    StopFailing();
    EXPECT_EQ(Stream.Bytes(), before);
    EXPECT_EQ(Table.State(), ds::dsEdit);
    EXPECT_EQ(Table.FieldByName("NAME").AsString(), "nachher");
    Table.Post();
    Table.Close();
    Table.Open();
    EXPECT_EQ(Table.FieldByName("NAME").AsString(), "nachher");
}
