// The table object's properties, opening, creating and closing.
#include "TableTestSupport.h"

#include "dataset/Abort.h"
#include "dataset/DatabaseError.h"
#include "dataset/FieldFactory.h"
#include "dbf/language.h"
#include "dbf/platform/shell.h"

#include <filesystem>

using dbf::TTable;

namespace {

std::string ProgramFolder() { return dbf::platform::ExecutableFolder() + "/"; }

}  // namespace

// --- properties -------------------------------------------------------------------

TEST(TableProperties, FreshObjectHasTheDefaults) {
    TTable table;
    EXPECT_EQ(table.FilePath(), "");
    EXPECT_EQ(table.FilePathFull(), ProgramFolder());
    EXPECT_EQ(table.TableLevel(), 4);
    EXPECT_EQ(table.Version(), "6.09");
    EXPECT_FALSE(table.Exclusive());
    EXPECT_FALSE(table.ReadOnly());
    EXPECT_FALSE(table.ShowDeleted());
    EXPECT_EQ(table.OpenMode(), dbf::omNormal);
    EXPECT_EQ(table.Storage(), dbf::stoFile);
    EXPECT_EQ(table.CodePage(), 0);
    EXPECT_EQ(table.FieldDescriptors(), nullptr);
    EXPECT_EQ(table.PhysicalRecordCount(), 0);
    EXPECT_EQ(table.Filter(), "");
    EXPECT_EQ(table.IndexName(), "");
}

TEST(TableProperties, FolderPathsFollowTheRules) {
    struct Case {
        std::string Value, FilePath, FilePathFull;
    };
    const std::vector<Case> cases = {
        {"/srv/daten", "/srv/daten/", "/srv/daten/"},
        {"/srv/daten/", "/srv/daten/", "/srv/daten/"},
        {"daten", "daten/", ProgramFolder() + "daten/"},
        {"a/../daten", "a/../daten/", ProgramFolder() + "daten/"},
        {"", "", ProgramFolder()},
    };
    for (const Case& c : cases) {
        TTable table;
        table.SetFilePath(c.Value);
        EXPECT_EQ(table.FilePath(), c.FilePath) << c.Value;
        EXPECT_EQ(table.FilePathFull(), c.FilePathFull) << c.Value;
        EXPECT_EQ(table.AbsolutePath(), c.FilePathFull) << c.Value;
    }
}

TEST(TableProperties, WritingFilePathFullIsWritingFilePath) {
    TTable table;
    table.SetFilePathFull("rel");
    EXPECT_EQ(table.FilePath(), "rel/");
    EXPECT_EQ(table.FilePathFull(), ProgramFolder() + "rel/");
}

TEST(TableProperties, TableNameWithAFolderSetsTheFolder) {
    TTable table;
    table.SetTableName("/srv/daten/fragen.dbf");
    EXPECT_EQ(table.TableName(), "fragen.dbf");
    EXPECT_EQ(table.FilePath(), "/srv/daten/");
    table.SetTableName("temp.dbf");
    EXPECT_EQ(table.TableName(), "temp.dbf");
    EXPECT_EQ(table.FilePath(), "/srv/daten/");
}

TEST(TableProperties, TableLevelTakesOnlyKnownLevels) {
    TTable table;
    for (int level : {3, 7, 25, 4}) {
        table.SetTableLevel(level);
        EXPECT_EQ(table.TableLevel(), level);
    }
    for (int level : {5, 0, 2, 30, -1}) {
        EXPECT_NO_THROW(table.SetTableLevel(level));
        EXPECT_EQ(table.TableLevel(), 4) << level;
    }
}

// --- opening --------------------------------------------------------------------------

class TableOpen : public TableTableTest {};

TEST_F(TableOpen, MissingFileFailsAndCreatesNothing) {
    AddQuestionDefs(Table.FieldDefs());
    EXPECT_EQ(MessageOf([&] { Table.Open(); }), "Open: file not found: \"" + TablePath() + "\".");
    EXPECT_FALSE(Table.Active());
    EXPECT_FALSE(std::filesystem::exists(TablePath()));
}

TEST_F(TableOpen, AutoCreateModesCreateAMissingTable) {
    for (dbf::TTableOpenMode mode : {dbf::omAutoCreate, dbf::omTemporary}) {
        std::filesystem::remove(TablePath());
        AddQuestionDefs(Table.FieldDefs());
        Table.SetOpenMode(mode);
        int asked = 0;
        Table.BeforeAutoCreate = [&](TTable&, bool& doCreate) {
            ++asked;
            EXPECT_TRUE(doCreate);
        };
        Table.Open();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(Table.FieldCount(), 17);
        EXPECT_TRUE(std::filesystem::exists(Folder.File("test.dbt")));
        Table.Close();
        // An existing table is opened as it is.
        Table.Open();
        EXPECT_EQ(asked, 1);
        Table.Close();
    }
}

TEST_F(TableOpen, DeclinedAutoCreateFailsLikeAMissingFile) {
    AddQuestionDefs(Table.FieldDefs());
    Table.SetOpenMode(dbf::omAutoCreate);
    Table.BeforeAutoCreate = [](TTable&, bool& doCreate) { doCreate = false; };
    EXPECT_THROW(Table.Open(), dbf::ETableError);
    EXPECT_FALSE(Table.Active());
    EXPECT_FALSE(std::filesystem::exists(TablePath()));
}

TEST_F(TableOpen, AFileThatIsNoTableFails) {
    WriteFileBytes(TablePath(), std::vector<uint8_t>(64, 0x41));
    EXPECT_EQ(MessageOf([&] { Table.Open(); }), "Invalid DBF file.");
    EXPECT_FALSE(Table.Active());
}

TEST_F(TableOpen, HeaderWithoutRecordSizeEndsTheOpenSilently) {
    CreateNames({"a"});
    Table.Close();
    std::vector<uint8_t> bytes = TableBytes();
    bytes[10] = bytes[11] = 0;
    WriteFileBytes(TablePath(), bytes);
    EXPECT_THROW(Table.Open(), ds::EAbort);
    EXPECT_FALSE(Table.Active());
}

TEST_F(TableOpen, OpenReadsLevelLanguageAndFields) {
    Table.SetTableLevel(3);
    CreateAndOpen({Def("NAME", ds::ftString, 12), Def("NOTE", ds::ftMemo, 0), Def("OK", ds::ftBoolean, 0)});
    Table.Close();
    Table.SetTableLevel(4);
    Table.SetLanguageID(kLangOem850);
    Table.Open();
    EXPECT_EQ(Table.TableLevel(), 3);
    EXPECT_EQ(Table.LanguageID(), 0);  // dBASE III+ stores no language driver
    ASSERT_EQ(Table.FieldDefs().Count(), 3);
    EXPECT_EQ(Table.FieldDefs()[0].Name, "NAME");
    EXPECT_EQ(Table.FieldDefs()[0].Size, 12);
    EXPECT_EQ(Table.FieldDefs()[1].DataType, ds::ftMemo);
    EXPECT_EQ(Table.FieldDefs()[1].Size, 0);
    EXPECT_EQ(Table.FieldDefs()[2].DataType, ds::ftBoolean);
    ASSERT_NE(Table.FieldDescriptors(), nullptr);
    EXPECT_EQ(Table.FieldDescriptors()->Items(1).Size(), 10);
}

TEST_F(TableOpen, DuplicateFieldNamesAreNumbered) {
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    for (int i = 0; i < 3; ++i) defs.Add("A", dbf::TFieldType::ftString, 5, false);
    defs.Add("A2", dbf::TFieldType::ftString, 5, false);
    Table.CreateTableEx(&defs);
    Table.Open();
    std::vector<std::string> names;
    for (int i = 0; i < Table.FieldDefs().Count(); ++i) names.push_back(Table.FieldDefs()[i].Name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "A2", "A3", "A22"}));
    EXPECT_EQ(Table.FieldDescriptors()->Items(1).FieldName(), "A2");
    EXPECT_EQ(Table.Fields()[2].FieldName(), "A3");
}

TEST_F(TableOpen, EmptyTableIsAtBothEnds) {
    CreateNames({});
    EXPECT_TRUE(Table.Bof());
    EXPECT_TRUE(Table.Eof());
    EXPECT_EQ(Table.RecordCount(), 0);
    EXPECT_EQ(Table.ExactRecordCount(), 0);
}

TEST_F(TableOpen, ReadOnlyTableRefusesChanges) {
    CreateNames({"a"});
    Table.Close();
    Table.SetReadOnly(true);
    Table.Open();
    EXPECT_FALSE(Table.CanModify());
    EXPECT_EQ(MessageOf([&] { Table.Edit(); }), "Table1: Cannot modify a read-only dataset");
    EXPECT_EQ(MessageOf([&] { Table.Append(); }), "Table1: Cannot modify a read-only dataset");
    EXPECT_EQ(Table.State(), ds::dsBrowse);
}

TEST_F(TableOpen, ClosedTableRefusesNavigationWithItsName) {
    CreateNames({"a"});
    Table.Close();
    EXPECT_EQ(MessageOf([&] { Table.First(); }), "Table1: Cannot perform this operation on a closed dataset");
    TTable unnamed;
    EXPECT_EQ(MessageOf([&] { unnamed.Next(); }), "Cannot perform this operation on a closed dataset");
}

TEST_F(TableOpen, ShapePropertiesNeedTheClosedState) {
    CreateNames({"a"});
    const std::string open = "Table1: Cannot perform this operation on an open dataset";
    EXPECT_EQ(MessageOf([&] { Table.SetFilePath("/tmp"); }), open);
    EXPECT_EQ(MessageOf([&] { Table.SetTableLevel(7); }), open);
    EXPECT_EQ(MessageOf([&] { Table.SetLanguageID(1); }), open);
    EXPECT_EQ(Table.FilePath(), Folder.File(""));
    EXPECT_EQ(Table.TableLevel(), 4);
}

// --- translation mode ---------------------------------------------------------------

TEST_F(TableOpen, TranslationModeFollowsTheTablesCodePage) {
    struct Case {
        uint8_t LanguageId;
        dbf::TTranslationMode Mode;
        int CodePage;
    };
    for (const Case& c : {Case{kLangAnsi1252, dbf::tmNoneNeeded, 1252}, Case{kLangOem850, dbf::tmSimple, 850},
                          Case{0x01, dbf::tmAdvanced, 437}}) {
        Table.Close();
        std::filesystem::remove(TablePath());
        Table.SetLanguageID(c.LanguageId);
        CreateNames({});
        EXPECT_EQ(Table.TranslationMode(), c.Mode) << int(c.LanguageId);
        EXPECT_EQ(Table.CodePage(), c.CodePage) << int(c.LanguageId);
        EXPECT_EQ(Table.LanguageID(), c.LanguageId);
    }
    Table.Close();
    EXPECT_EQ(Table.CodePage(), 0);
}

TEST_F(TableOpen, UnavailableCodePageAsksTheLanguageWarning) {
    constexpr uint8_t kMazovia = 0x69;
    if (dbf::EngineGlobals().CodePageInstalled(dbf::LangIdCodePage(kMazovia))) GTEST_SKIP() << "code page installed";
    Table.SetLanguageID(kMazovia);
    CreateNames({});
    EXPECT_EQ(Table.TranslationMode(), dbf::tmNoneAvailable);
    struct Case {
        dbf::TLanguageAction Action;
        dbf::TTranslationMode Mode;
        int CodePage;
    };
    for (const Case& c : {Case{dbf::laForceANSI, dbf::tmNoneNeeded, 1252}, Case{dbf::laForceOEM, dbf::tmSimple, 850},
                          Case{dbf::laReadOnly, dbf::tmNoneAvailable, 620}}) {
        Table.Close();
        int asked = 0;
        Table.OnLanguageWarning = [&](TTable&, dbf::TLanguageAction& action) {
            ++asked;
            EXPECT_EQ(action, dbf::laReadOnly);
            action = c.Action;
        };
        Table.Open();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(Table.TranslationMode(), c.Mode);
        EXPECT_EQ(Table.CodePage(), c.CodePage);
        // Which code page the text has never decides whether it may change.
        EXPECT_TRUE(Table.CanModify());
    }
}

// --- creating --------------------------------------------------------------------------

class TableCreate : public TableTableTest {};

TEST_F(TableCreate, QuestionTableGetsItsLayout) {
    AddQuestionDefs(Table.FieldDefs());
    Table.CreateTable();
    EXPECT_FALSE(Table.Active());
    const std::vector<uint8_t> bytes = TableBytes();
    EXPECT_EQ(HeaderU16(bytes, 10), 108);
    EXPECT_EQ(HeaderU32(bytes, 4), 0u);
    EXPECT_EQ(bytes[29], kLangAnsi1252);
    EXPECT_TRUE(std::filesystem::exists(Folder.File("test.dbt")));
    Table.Open();
    ASSERT_EQ(Table.FieldCount(), 17);
    const char* names[] = {"KAPITEL", "FRAGENR", "FRAGE", "ANTWORT1", "ANT1KORREK"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Table.Fields()[i].FieldName(), names[i]);
    EXPECT_EQ(Table.Fields()[16].FieldName(), "ANT7KORREK");
    EXPECT_EQ(Table.FieldDescriptors()->Items(2).Size(), 10);
    EXPECT_EQ(Table.FieldDescriptors()->Items(4).Size(), 1);
}

TEST_F(TableCreate, PersistentFieldsDescribeTheTableWhenNoDefinitionsAreGiven) {
    auto name = ds::CreateFieldOfType(ds::ftString, 8);
    name->SetFieldName("NAME");
    auto ok = ds::CreateFieldOfType(ds::ftBoolean, 0);
    ok->SetFieldName("OK");
    ds::TField& nameField = Table.Fields().Add(std::move(name));
    Table.Fields().Add(std::move(ok));
    Table.FieldDefs().Clear();
    Table.CreateTable();
    Table.Open();
    ASSERT_EQ(Table.FieldDefs().Count(), 2);
    EXPECT_EQ(Table.FieldDefs()[0].Size, 8);
    EXPECT_EQ(Table.FieldDefs()[1].DataType, ds::ftBoolean);
    // The object's own field objects stay and are bound to the table.
    Table.AppendRecord({"persist", true});
    EXPECT_EQ(nameField.AsString(), "persist");
    Table.Close();
    EXPECT_EQ(Table.FieldCount(), 2);
}

TEST_F(TableCreate, CreatingWhileOpenChangesNothing) {
    CreateNames({"a", "b"});
    const std::vector<uint8_t> before = TableBytes();
    EXPECT_EQ(MessageOf([&] { Table.CreateTable(); }), "Table1: Cannot perform this operation on an open dataset");
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(Table.RecordCount(), 2);
}

TEST_F(TableCreate, UnstorableTypeFailsBeforeTouchingTheDisk) {
    Table.SetTableLevel(3);
    CreateNames({"kept"});
    Table.Close();
    const std::vector<uint8_t> before = TableBytes();
    Table.FieldDefs().Clear();
    Table.FieldDefs().Add("PRICE", ds::ftCurrency, 0);
    EXPECT_THROW(Table.CreateTable(), dbf::ETableError);
    EXPECT_EQ(TableBytes(), before);
}

TEST_F(TableCreate, FailedCreationRemovesTheHalfWrittenTable) {
    // The memo file cannot be created where a folder of its name stands.
    std::filesystem::create_directory(Folder.File("test.dbt"));
    AddQuestionDefs(Table.FieldDefs());
    EXPECT_THROW(Table.CreateTable(), dbf::ETableError);
    EXPECT_FALSE(std::filesystem::exists(TablePath()));
    EXPECT_FALSE(Table.Active());
}

TEST_F(TableCreate, TableInUseByAnotherHandleIsNeverRemoved) {
    CreateNames({"theirs"});
    Table.Close();
    TTable other;
    other.SetTableName(TablePath());
    other.SetExclusive(true);
    other.Open();
    const std::vector<uint8_t> before = TableBytes();
    EXPECT_THROW(Table.CreateTable(), dbf::ETableError);
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(other.FieldByName("NAME").AsString(), "theirs");
}

// --- memory storage ----------------------------------------------------------------------

TEST(TableMemoryStorage, CreatedTableLivesInTheObjectsStream) {
    TTable table;
    table.SetStorage(dbf::stoMemory);
    table.FieldDefs().Add("NAME", ds::ftString, 10);
    table.CreateTable();
    ASSERT_NE(table.UserStream(), nullptr);
    table.Open();
    table.AppendRecord({"eins"});
    table.AppendRecord({"zwei"});
    table.Close();
    table.Open();
    EXPECT_EQ(table.RecordCount(), 2);
    table.Last();
    EXPECT_EQ(table.FieldByName("NAME").AsString(), "zwei");
}

TEST(TableMemoryStorage, MemosOutliveCloseAndReopen) {
    dbf::platform::TLocaleOverride german("de_DE.UTF-8");
    TTable table;
    table.SetStorage(dbf::stoMemory);
    table.FieldDefs().Add("NOTE", ds::ftMemo, 0);
    table.CreateTable();
    table.Open();
    table.Append();
    table.FieldByName("NOTE").SetAsString("bleibt");
    table.Post();
    table.Close();
    table.Open();
    EXPECT_EQ(table.FieldByName("NOTE").AsString(), "bleibt");
}

TEST(TableMemoryStorage, OpeningWithoutAStreamCreatesTheTable) {
    TTable table;
    table.SetStorage(dbf::stoMemory);
    table.FieldDefs().Add("NAME", ds::ftString, 10);
    table.Open();
    EXPECT_EQ(table.FieldCount(), 1);
    EXPECT_TRUE(table.Eof());
    EXPECT_NE(table.UserStream(), nullptr);
}

// --- real files -------------------------------------------------------------------------------

class TableRealFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(QUARZEL_REALFILES_DIR)) GTEST_SKIP() << "no real files at " QUARZEL_REALFILES_DIR;
    }
    // Opens a real file read-only, in place.
    void OpenReal(const std::string& relative) {
        Table.SetTableName(std::string(QUARZEL_REALFILES_DIR) + "/" + relative);
        Table.SetReadOnly(true);
        Table.Open();
    }
    dbf::platform::TLocaleOverride FGerman{"de_DE.UTF-8"};
    TTable Table;
};

TEST_F(TableRealFiles, DbaseIVTableWithMemos) {
    OpenReal("dbase4/dbase_8b.dbf");
    EXPECT_EQ(Table.RecordCount(), 10);
    Table.First();
    EXPECT_EQ(Table.FieldByName("CHARACTER").AsString(), "One");
    EXPECT_EQ(Table.FieldByName("MEMO").AsString(), "First memo\r\n");
    Table.Next();
    EXPECT_EQ(Table.FieldByName("MEMO").AsString(), "Second memo");
}

TEST_F(TableRealFiles, DbaseIIITableSkipsItsDeletedRecord) {
    OpenReal("dbase3/test.dbf");
    EXPECT_EQ(Table.TableLevel(), 3);
    EXPECT_EQ(Table.RecordCount(), 3);
    EXPECT_EQ(Table.ExactRecordCount(), 2);
    std::vector<std::string> messages;
    for (Table.First(); !Table.Eof(); Table.Next()) messages.push_back(Table.FieldByName("MSG").AsString());
    EXPECT_EQ(messages, (std::vector<std::string>{"Record no 1", "Message no 3"}));
    Table.Last();
    EXPECT_EQ(Table.FieldByName("NOTE").AsString(), "This is a memo for record 3");
    EXPECT_FALSE(Table.FieldByName("BOOLEAN").AsBoolean());
}

TEST_F(TableRealFiles, IncorrectHeaderCountYieldsToTheFileSize) {
    OpenReal("dbase4/dbase_8b_incorrect_record_count.dbf");
    EXPECT_EQ(Table.RecordCount(), 10);
    EXPECT_EQ(Table.PhysicalRecordCount(), 10);
}
