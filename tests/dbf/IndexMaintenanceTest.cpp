// Keeping index files current: appends, posts, deletions and recalls through
// every open index file, equal keys in insertion order, unique and distinct
// tags with their key violations rolled back, splitting and unlinking nodes
// over many records, descending tags.
#include "IndexTestSupport.h"

#include "dbf/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

using namespace dbf;

namespace {

// The value of a 12-byte decimal key, decoded here independently of the engine.
double DecimalKeyValue(const std::vector<uint8_t>& key) {
    const int digits = ((key[1] & 0x7F) - 1) / 8 * 2;
    double value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = i % 2 == 0 ? key[2 + i / 2] >> 4 : key[2 + i / 2] & 0x0F;
        value += digit * std::pow(10.0, key[0] - 0x34 - 1 - i);
    }
    return (key[1] & 0x80) ? -value : value;
}

class IndexMaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateKeyTable(Table());
        OpenTable(FFile, Table(), pfExclusiveOpen);
    }
    std::string Table() const { return FFolder.File("keys.dbf"); }
    std::string Mdx() const { return FFolder.File("keys.mdx"); }

    int32_t Append(const std::string& name, double num = 0) {
        auto record = KeyRecord(FFile, name, num);
        return FFile.Insert(record.data());
    }
    void Edit(int32_t recNo, const std::string& name, double num) {
        std::vector<uint8_t> record(static_cast<size_t>(FFile.RecordSize()));
        FFile.LockRecord(recNo, record.data());
        const auto changed = KeyRecord(FFile, name, num);
        std::copy(changed.begin() + 1, changed.end(), record.begin() + 1);
        FFile.UnlockRecord(recNo, record.data());
    }
    std::vector<uint8_t> ReadImage(int32_t recNo) {
        std::vector<uint8_t> record(static_cast<size_t>(FFile.RecordSize()));
        FFile.ReadRecord(recNo, record.data());
        return record;
    }
    std::vector<RawEntry> TagEntries(int tag) {
        const auto bytes = FileBytes(Mdx());
        RawTreeReader reader(bytes, true, MdxTagHeaderAt(bytes, tag));
        return reader.Entries();
    }
    static std::vector<std::string> Keyed(const std::vector<RawEntry>& entries) {
        std::vector<std::string> out;
        for (const auto& e : entries) out.push_back(KeyText(e) + "(" + std::to_string(e.RecNo) + ")");
        return out;
    }

    ScratchFolder FFolder;
    TTableFile FFile;
};

TEST_F(IndexMaintenanceTest, EqualKeysKeepInsertionOrder) {
    FFile.OpenIndex("byname", "NAME", 0, true);
    Append("B");
    Append("A");
    Append("B");
    EXPECT_EQ(Keyed(TagEntries(0)), (std::vector<std::string>{"A(2)", "B(1)", "B(3)"}));
}

TEST_F(IndexMaintenanceTest, NewTagIsFilledFromEveryRecord) {
    Append("C");
    Append("A");
    Append("B");
    FFile.OpenIndex("byname", "NAME", 0, true);
    EXPECT_EQ(Keyed(TagEntries(0)), (std::vector<std::string>{"A(2)", "B(3)", "C(1)"}));
}

TEST_F(IndexMaintenanceTest, UniqueTagSkipsLaterDuplicatesSilently) {
    FFile.OpenIndex("uname", "NAME", ixUnique, true);
    EXPECT_EQ(Append("A"), 1);
    EXPECT_EQ(Append("A"), 2);
    EXPECT_EQ(Keyed(TagEntries(0)), std::vector<std::string>{"A(1)"});
}

TEST_F(IndexMaintenanceTest, PrimaryTagRefusesDuplicateAndLeavesNothingBehind) {
    FFile.OpenIndex("byname", "NAME", 0, true);
    FFile.OpenIndex("bynum", "NUM", 0, true);
    FFile.OpenIndex("pname", "NAME", ixPrimary, true);
    Append("A", 1);
    const auto before = FileBytes(Mdx());
    try {
        Append("A", 2);
        FAIL() << "the duplicate was appended";
    } catch (const ETableError& e) {
        EXPECT_EQ(std::string(e.what()), "Key violation. (Key already present in file).\r\nIndex: PNAME\r\nRecord=1 Key='A'.");
    }
    EXPECT_EQ(FFile.GetRecordCount(), 1);
    EXPECT_EQ(Keyed(TagEntries(0)), std::vector<std::string>{"A(1)"});
    EXPECT_EQ(TagEntries(1).size(), 1u);
    EXPECT_EQ(FileBytes(Mdx()), before);
    EXPECT_EQ(Append("B", 3), 2);  // the table goes on normally
}

TEST_F(IndexMaintenanceTest, PostRefusedByPrimaryTagIsUndoneEverywhere) {
    FFile.OpenIndex("single.ndx", "NAME", 0, true);
    FFile.OpenIndex("pname", "NAME", ixPrimary, true);
    Append("A", 1);
    Append("B", 2);
    const auto image = ReadImage(2);
    EXPECT_THROW(Edit(2, "A", 5), ETableError);
    FFile.UnlockPage(2);
    EXPECT_EQ(ReadImage(2), image);
    EXPECT_EQ(Keyed(TagEntries(0)), (std::vector<std::string>{"A(1)", "B(2)"}));
    const auto ndx = FileBytes(FFolder.File("single.ndx"));
    EXPECT_EQ(Keyed(RawTreeReader(ndx, false, 0).Entries()), (std::vector<std::string>{"A(1)", "B(2)"}));
}

TEST_F(IndexMaintenanceTest, EditWithoutKeyChangeWritesNoNode) {
    FFile.OpenIndex("byname", "NAME", 0, true);
    Append("A", 1);
    const auto before = FileBytes(Mdx());
    Edit(1, "A", 7);
    EXPECT_EQ(FileBytes(Mdx()), before);
}

TEST_F(IndexMaintenanceTest, DeletionFlagMovesRecordsInAndOutOfPrimaryTagsOnly) {
    FFile.OpenIndex("byname", "NAME", 0, true);
    FFile.OpenIndex("pname", "NAME", ixPrimary, true);
    Append("A");
    auto deleted = ReadImage(1);
    deleted[0] = '*';
    FFile.RecordDeleted(1, deleted.data());
    EXPECT_TRUE(TagEntries(1).empty());
    EXPECT_EQ(TagEntries(0).size(), 1u);
    Append("A");  // takes the key while record 1 is deleted
    try {
        FFile.RecordRecalled(1, ReadImage(1).data());
        FAIL() << "the recall took a key held by record 2";
    } catch (const ETableError& e) {
        EXPECT_NE(std::string(e.what()).find("Record=2 Key='A'"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Keyed(TagEntries(1)), std::vector<std::string>{"A(2)"});
    EXPECT_EQ(Keyed(TagEntries(0)), (std::vector<std::string>{"A(1)", "A(2)"}));
}

TEST_F(IndexMaintenanceTest, RecordAppendedDeletedStaysOutOfPrimaryTag) {
    FFile.OpenIndex("pname", "NAME", ixPrimary, true);
    auto record = KeyRecord(FFile, "A");
    record[0] = '*';
    FFile.Insert(record.data());
    EXPECT_TRUE(TagEntries(0).empty());
    EXPECT_EQ(Append("A"), 2);
}

TEST_F(IndexMaintenanceTest, DescendingTagStoresKeysInReverse) {
    FFile.OpenIndex("down", "NAME", ixDescending, true);
    for (const char* name : {"B", "D", "A", "C"}) Append(name);
    EXPECT_EQ(Keyed(TagEntries(0)), (std::vector<std::string>{"D(2)", "C(4)", "B(1)", "A(3)"}));
}

TEST_F(IndexMaintenanceTest, SixtyFourthKeySplitsTheRootLeaf) {
    FFile.OpenIndex("byname", "NAME", 0, true);
    for (int i = 0; i < 63; ++i) Append(Numbered("K", 100 + i));
    auto bytes = FileBytes(Mdx());
    const size_t header = MdxTagHeaderAt(bytes, 0);
    const uint32_t oldRoot = Le32(bytes, header);
    Append(Numbered("K", 163));
    bytes = FileBytes(Mdx());
    const uint32_t root = Le32(bytes, header);
    ASSERT_NE(root, oldRoot);
    EXPECT_EQ(Le32(bytes, root * 512), 1u);  // one separator, two children
    const uint32_t left = Le32(bytes, root * 512 + 8);
    const uint32_t right = Le32(bytes, root * 512 + 8 + 16);
    EXPECT_EQ(left, oldRoot);
    EXPECT_EQ(Le32(bytes, left * 512), 32u);
    EXPECT_EQ(Le32(bytes, right * 512), 32u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[root * 512 + 12]), 4), "K131");
}

// Many records force several levels; the tree read back from the bytes must
// hold every record once with its current key, in order, after appends,
// edits that move keys, and deletions that empty whole leaves.
TEST_F(IndexMaintenanceTest, ManyRecordsKeepEveryTreeConsistent) {
    FFile.OpenIndex("byname", "NAME", 0, true);
    FFile.OpenIndex("bynum", "NUM", 0, true);
    FFile.OpenIndex("pname", "NAME", ixPrimary, true);
    FFile.OpenIndex("name.ndx", "NAME", 0, true);
    constexpr int kRecords = 20000;
    std::mt19937 random(7);
    std::vector<std::string> names(kRecords + 1);
    std::vector<double> nums(kRecords + 1);
    auto nameOf = [](int n) { return Numbered("N", 10000000 + n).substr(2); };  // unique, 7 digits
    std::vector<int> order(kRecords);
    for (int i = 0; i < kRecords; ++i) order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), random);
    for (int i = 1; i <= kRecords; ++i) {
        names[static_cast<size_t>(i)] = nameOf(order[static_cast<size_t>(i - 1)]);
        nums[static_cast<size_t>(i)] = static_cast<double>(static_cast<int>(random() % 20001) - 10000) / 4;
        ASSERT_EQ(Append(names[static_cast<size_t>(i)], nums[static_cast<size_t>(i)]), i);
    }
    // Move a third of the keys elsewhere, then empty a run of leaves.
    for (int i = 1; i <= kRecords; i += 3) {
        names[static_cast<size_t>(i)] = nameOf(kRecords + i);
        nums[static_cast<size_t>(i)] = -nums[static_cast<size_t>(i)] + 0.25;
        Edit(i, names[static_cast<size_t>(i)], nums[static_cast<size_t>(i)]);
    }
    for (int i = 1; i <= kRecords; ++i) {
        const std::string& name = names[static_cast<size_t>(i)];
        if (name >= "0005000" && name < "0009000") {
            names[static_cast<size_t>(i)] = nameOf(3 * kRecords + i);
            Edit(i, names[static_cast<size_t>(i)], nums[static_cast<size_t>(i)]);
        }
    }
    const auto bytes = FileBytes(Mdx());
    for (int tag : {0, 2}) {
        RawTreeReader reader(bytes, true, MdxTagHeaderAt(bytes, tag));
        const auto entries = reader.Entries();
        EXPECT_GE(reader.Depth(), 2) << "tag " << tag;
        ASSERT_EQ(entries.size(), size_t{kRecords});
        std::vector<int> seen(kRecords + 1, 0);
        for (size_t k = 0; k < entries.size(); ++k) {
            const auto& e = entries[k];
            ASSERT_TRUE(e.RecNo >= 1 && e.RecNo <= kRecords);
            ++seen[static_cast<size_t>(e.RecNo)];
            EXPECT_EQ(KeyText(e), names[static_cast<size_t>(e.RecNo)]);
            if (k > 0) {
                EXPECT_LE(entries[k - 1].Key, e.Key);
            }
        }
        EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), kRecords);
    }
    RawTreeReader numbers(bytes, true, MdxTagHeaderAt(bytes, 1));
    const auto numEntries = numbers.Entries();
    ASSERT_EQ(numEntries.size(), size_t{kRecords});
    for (size_t k = 0; k < numEntries.size(); ++k) {
        EXPECT_DOUBLE_EQ(DecimalKeyValue(numEntries[k].Key), nums[static_cast<size_t>(numEntries[k].RecNo)]);
        if (k > 0) {
            EXPECT_LE(DecimalKeyValue(numEntries[k - 1].Key), DecimalKeyValue(numEntries[k].Key));
        }
    }
    RawTreeReader single(FileBytes(FFolder.File("name.ndx")), false, 0);
    const auto ndxEntries = single.Entries();
    EXPECT_GE(single.Depth(), 2);
    ASSERT_EQ(ndxEntries.size(), size_t{kRecords});
    for (size_t k = 1; k < ndxEntries.size(); ++k) EXPECT_LT(ndxEntries[k - 1].Key, ndxEntries[k].Key);
}

}  // namespace
