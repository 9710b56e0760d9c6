// The bytes of fresh index files: the production index header and tag table,
// the index header of a tag and of a single index, key geometry, and the
// table header's production-index flag.
#include "IndexTestSupport.h"

#include "dbf/messages.h"

#include <gtest/gtest.h>

using namespace dbf;

namespace {

class IndexLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateKeyTable(Table());
        OpenTable(FFile, Table(), pfExclusiveOpen);
    }
    std::string Table() const { return FFolder.File("fragen.dbf"); }
    std::string Mdx() const { return FFolder.File("fragen.mdx"); }

    ScratchFolder FFolder;
    TTableFile FFile;
};

TEST_F(IndexLayoutTest, FreshProductionIndexHeader) {
    TIndexFile mdx(FFile);
    mdx.SetFileName(Mdx());
    mdx.SetMode(pfExclusiveCreate);
    mdx.Open();
    mdx.Close();
    const auto bytes = FileBytes(Mdx());
    ASSERT_EQ(bytes.size(), 2048u);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "fragen");
    for (int i = 4 + 6; i < 20; ++i) EXPECT_EQ(bytes[i], 0) << "FileName byte " << i;
    EXPECT_EQ(Le16(bytes, 20), 2);
    EXPECT_EQ(Le16(bytes, 22), 1024);
    EXPECT_EQ(bytes[24], 1);
    EXPECT_EQ(bytes[25], 48);
    EXPECT_EQ(bytes[26], 32);
    EXPECT_EQ(Le16(bytes, 28), 0);
    EXPECT_EQ(bytes[31], 0x57);
    EXPECT_EQ(Le32(bytes, 32), 4u);
    EXPECT_EQ(Le32(bytes, 36), 0u);
    EXPECT_EQ(bytes[529], 1);
    EXPECT_EQ(bytes[44], bytes[1]);  // touched on creation
}

TEST_F(IndexLayoutTest, FirstTagHeaderAndRootBlocks) {
    FFile.OpenIndex("byname", "NAME", 0, true);
    FFile.Close();
    const auto bytes = FileBytes(Mdx());
    ASSERT_EQ(bytes.size(), 8u * 512);
    EXPECT_EQ(Le32(bytes, 32), 8u);
    EXPECT_EQ(Le16(bytes, 28), 1);
    // Tag entry 0 at 544.
    EXPECT_EQ(Le32(bytes, 544), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[548])), "BYNAME");
    EXPECT_EQ(bytes[544 + 15], 0x10);
    EXPECT_EQ(bytes[544 + 19], 2);
    EXPECT_EQ(bytes[544 + 20], 'C');
    // Index header at block 4.
    const size_t h = 4 * 512;
    EXPECT_EQ(Le32(bytes, h), 6u);
    EXPECT_EQ(bytes[h + 8], 0x10);
    EXPECT_EQ(bytes[h + 9], 'C');
    EXPECT_EQ(Le16(bytes, h + 12), 10);
    EXPECT_EQ(Le16(bytes, h + 18), 16);
    EXPECT_EQ(Le16(bytes, h + 14), 63);
    EXPECT_EQ(Le16(bytes, h + 20), 2);
    EXPECT_EQ(bytes[h + 23], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[h + 24])), "NAME");
    EXPECT_EQ(bytes[h + 246], 1);
    // Empty root at block 6, and the table names its production index.
    EXPECT_EQ(Le32(bytes, 6 * 512), 0u);
    EXPECT_EQ(FileBytes(Table())[28], 1);
}

TEST_F(IndexLayoutTest, SingleIndexHeader) {
    FFile.OpenIndex("num.ndx", "NUM", ixUnique, true);
    FFile.Close();
    const auto bytes = FileBytes(FFolder.File("num.ndx"));
    ASSERT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(Le32(bytes, 0), 1u);   // root
    EXPECT_EQ(Le32(bytes, 4), 2u);   // blocks
    EXPECT_EQ(bytes[8], 0x40);
    EXPECT_EQ(bytes[9], 'N');
    EXPECT_EQ(Le16(bytes, 10), 0x5800);
    EXPECT_EQ(Le16(bytes, 12), 8);
    EXPECT_EQ(Le16(bytes, 14), 31);
    EXPECT_EQ(Le16(bytes, 16), 1);
    EXPECT_EQ(Le16(bytes, 18), 16);
    EXPECT_EQ(bytes[23], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[24])), "NUM");
    EXPECT_EQ(FileBytes(Table())[28], 0);  // a single index is not linked
}

struct GeometryCase {
    const char* Name;
    const char* IndexName;
    size_t HeaderAt;
    int KeyRecLen;
    int NumKeys;
};

class IndexGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

// A 20-byte character key on a 20-character field.
TEST_P(IndexGeometryTest, KeyRecordLengthAndFanOut) {
    const GeometryCase& c = GetParam();
    ScratchFolder folder;
    dbf::TFieldDescriptors defs;
    defs.Add("TITLE", dbf::TFieldType::ftString, 20, false);
    CreateTable(folder.File("t.dbf"), xBaseIV, defs);
    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfExclusiveOpen);
    file.OpenIndex(c.IndexName, "TITLE", 0, true);
    file.Close();
    const std::string index = std::string(c.IndexName).find('.') == std::string::npos ? "t.mdx" : c.IndexName;
    const auto bytes = FileBytes(folder.File(index));
    EXPECT_EQ(Le16(bytes, c.HeaderAt + 12), 20);
    EXPECT_EQ(Le16(bytes, c.HeaderAt + 18), c.KeyRecLen);
    EXPECT_EQ(Le16(bytes, c.HeaderAt + 14), c.NumKeys);
}

INSTANTIATE_TEST_SUITE_P(Kinds, IndexGeometryTest,
                         ::testing::Values(GeometryCase{"production", "title", 4 * 512, 24, 42},
                                           GeometryCase{"single", "title.ndx", 0, 28, 18}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(IndexLayoutTest, TagNamesAreUpperCaseAndFoundInAnyCase) {
    FFile.OpenIndex("abc", "NAME", 0, true);
    TIndexFile* mdx = FFile.MdxFile();
    ASSERT_NE(mdx, nullptr);
    EXPECT_EQ(mdx->GetIndexNames(), std::vector<std::string>{"ABC"});
    EXPECT_EQ(mdx->IndexOf("aBc"), 0);
    EXPECT_EQ(mdx->IndexOf("abd"), -1);
}

TEST_F(IndexLayoutTest, ProductionIndexReopensWithTheTable) {
    FFile.OpenIndex("byname", "NAME", ixDescending, true);
    FFile.OpenIndex("bynum", "NUM", ixPrimary, true);
    FFile.Close();
    TTableFile again;
    OpenTable(again, Table(), pfExclusiveOpen);
    ASSERT_NE(again.MdxFile(), nullptr);
    EXPECT_EQ(again.IndexNames(), (std::vector<std::string>{"BYNAME", "BYNUM"}));
    TTableIndexDef def;
    ASSERT_TRUE(again.MdxFile()->GetIndexInfo("bynum", def));
    EXPECT_EQ(def.Expression(), "NUM");
    EXPECT_EQ(def.Options(), unsigned{ixPrimary | ixExpression});
    ASSERT_TRUE(again.MdxFile()->GetIndexInfo("BYNAME", def));
    EXPECT_EQ(def.Options(), unsigned{ixDescending | ixExpression});
    EXPECT_TRUE(def.Temporary());
}

TEST_F(IndexLayoutTest, FortyEighthTagIsRefusedWithoutChangingTheFile) {
    for (int i = 0; i < 47; ++i) FFile.OpenIndex(Numbered("T", i), "NAME", 0, true);
    const auto before = FileBytes(Mdx());
    try {
        FFile.OpenIndex("T47", "NAME", 0, true);
        FAIL() << "the 48th tag was created";
    } catch (const ETableError& e) {
        EXPECT_STREQ(e.what(), msg::TooManyIndexes);
    }
    EXPECT_EQ(FileBytes(Mdx()), before);
    EXPECT_EQ(FFile.MdxFile()->TagCount(), 47);
}

TEST_F(IndexLayoutTest, KeyOfBooleanTypeIsRefused) {
    dbf::TFieldDescriptors defs;
    defs.Add("FLAG", dbf::TFieldType::ftBoolean, 1, false);
    CreateTable(FFolder.File("b.dbf"), xBaseIV, defs);
    TTableFile file;
    OpenTable(file, FFolder.File("b.dbf"), pfExclusiveOpen);
    try {
        file.OpenIndex("flag", "FLAG", 0, true);
        FAIL() << "a logical key was accepted";
    } catch (const ETableError& e) {
        EXPECT_STREQ(e.what(), msg::InvalidIndexType);
    }
    EXPECT_EQ(file.MdxFile(), nullptr);
    EXPECT_EQ(FileBytes(FFolder.File("b.dbf"))[28], 0);
}

TEST_F(IndexLayoutTest, CreatingNeedsExclusiveAccess) {
    FFile.Close();
    TTableFile shared;
    OpenTable(shared, Table(), pfReadWriteOpen);
    TTableFile other;
    OpenTable(other, Table(), pfReadWriteOpen);  // keeps the table shared
    try {
        shared.OpenIndex("byname", "NAME", 0, true);
        FAIL() << "created while shared";
    } catch (const ETableError& e) {
        EXPECT_STREQ(e.what(), msg::NeedExclusiveAccess);
    }
}

}  // namespace
