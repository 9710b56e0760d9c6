// Damaged index files and index files written by other programs: a damaged
// tree gives a clear ETableError on use, never a crash or an endless walk;
// the single indexes of the real-file collection open and walk in the order
// their manifest gives.
#include "IndexTestSupport.h"

#include "dbf/platform/files.h"

#include <gtest/gtest.h>

using namespace dbf;

namespace {

struct DamageCase {
    const char* Name;
    // Changes the bytes of a two-level single index whose root is at block root.
    void (*Damage)(std::vector<uint8_t>& bytes, uint32_t root);
    const char* Expected;  // part of the message
};

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// Opens the table d.dbf of folder again, with its damaged single index d.ndx.
TIndexFile* ReopenDamagedIndex(TTableFile& file, ScratchFolder& folder) {
    OpenTable(file, folder.File("d.dbf"), pfExclusiveOpen);
    file.OpenIndex("d.ndx", "", 0, false);
    return file.GetIndexByName("d.ndx");
}

class IndexDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(IndexDamageTest, UseRaisesTableErrorNamingTheDamage) {
    const DamageCase& c = GetParam();
    ScratchFolder folder;
    CreateKeyTable(folder.File("d.dbf"));
    {
        TTableFile file;
        OpenTable(file, folder.File("d.dbf"), pfExclusiveOpen);
        file.OpenIndex("d.ndx", "NAME", 0, true);
        for (int i = 0; i < 60; ++i) {
            auto record = KeyRecord(file, Numbered("K", 100 + i));
            file.Insert(record.data());
        }
    }
    auto bytes = FileBytes(folder.File("d.ndx"));
    const uint32_t root = Le32(bytes, 0);
    ASSERT_NE(Le32(bytes, root * 512 + 4), 0u) << "the fixture needs an inner root";
    c.Damage(bytes, root);
    WriteFileBytes(folder.File("d.ndx"), bytes);

    TTableFile file;
    TIndexFile* index = ReopenDamagedIndex(file, folder);
    ASSERT_NE(index, nullptr);
    auto record = KeyRecord(file, "K999");
    try {
        file.Insert(record.data());
        index->ForEachEntry([](const uint8_t*, int32_t) {});
        FAIL() << "the damage went unnoticed";
    } catch (const ETableError& e) {
        EXPECT_NE(std::string(e.what()).find(c.Expected), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("is damaged"), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damages, IndexDamageTest,
    ::testing::Values(
        DamageCase{"root_points_to_itself",
                   [](std::vector<uint8_t>& b, uint32_t root) { PutLe32(b, root * 512 + 4, root); },
                   "its own descendant"},
        DamageCase{"child_beyond_file_end",
                   [](std::vector<uint8_t>& b, uint32_t root) { PutLe32(b, root * 512 + 4, 999999); },
                   "outside the file"},
        DamageCase{"entry_count_too_big",
                   [](std::vector<uint8_t>& b, uint32_t root) { PutLe32(b, root * 512, 5000); }, "claims 5000 entries"},
        DamageCase{"root_beyond_file_end", [](std::vector<uint8_t>& b, uint32_t) { PutLe32(b, 0, 77777); },
                   "outside the file"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A key length that cannot fit the node is capped on open, never trusted.
TEST(IndexDamageHeaderTest, OversizedKeyLengthIsCappedOnOpen) {
    ScratchFolder folder;
    CreateKeyTable(folder.File("d.dbf"));
    {
        TTableFile file;
        OpenTable(file, folder.File("d.dbf"), pfExclusiveOpen);
        file.OpenIndex("d.ndx", "NAME", 0, true);
    }
    auto bytes = FileBytes(folder.File("d.ndx"));
    bytes[12] = 0xFF;
    bytes[13] = 0x7F;
    WriteFileBytes(folder.File("d.ndx"), bytes);
    TTableFile file;
    TIndexFile* index = ReopenDamagedIndex(file, folder);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->KeyLen(), 100);
    EXPECT_LE(index->NumKeys() * (index->KeyLen() + 8), 512 - 4);
}

const std::string kRealFiles = QUARZEL_REALFILES_DIR;

struct RealIndexCase {
    const char* Name;
    const char* Table;
    const char* Index;
    const char* Expression;
    int KeyLen;
    std::vector<int32_t> Order;
};

class RealIndexTest : public ::testing::TestWithParam<RealIndexCase> {};

TEST_P(RealIndexTest, OpensAndWalksInKeyOrder) {
    const RealIndexCase& c = GetParam();
    const std::string folder = kRealFiles + "/index/";
    if (!platform::FileExists(folder + c.Index)) GTEST_SKIP() << "no real files at " << kRealFiles;
    TTableFile file;
    OpenTable(file, folder + c.Table, pfReadOnly);
    file.OpenIndex(c.Index, "", 0, false);
    TIndexFile* index = file.GetIndexByName(c.Index);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->KeyLen(), c.KeyLen);
    EXPECT_EQ(index->KeyType(), 'C');
    TTableIndexDef def;
    ASSERT_TRUE(index->GetIndexInfo("", def));
    EXPECT_EQ(def.Expression(), c.Expression);
    // The files also hold the deleted record 3; a reader in key order skips it.
    std::vector<int32_t> order;
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    index->ForEachEntry([&](const uint8_t*, int32_t recNo) {
        file.ReadRecord(recNo, record.data());
        if (record[0] != '*') order.push_back(recNo);
    });
    EXPECT_EQ(order, c.Order);
}

INSTANTIATE_TEST_SUITE_P(
    Manifest, RealIndexTest,
    ::testing::Values(RealIndexCase{"classId", "class.dbf", "classId.ndx", "CLASSID", 9, {1, 2, 4}},
                      RealIndexCase{"TchrClass", "class.dbf", "TchrClass.ndx", "TEACHERID+CLASSID", 18, {1, 4, 2}},
                      RealIndexCase{"testupdidx", "testupdidx.dbf", "testupdidx.ndx", "FIRST", 2, {3, 2, 1}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
