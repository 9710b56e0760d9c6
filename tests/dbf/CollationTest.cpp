// Collation registry and key comparison.
#include "dbf/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>

namespace {

int Compare(const dbf::TCollationTable* table, const std::string& a, const std::string& b) {
    return dbf::CollateCompareString(table, a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
}

TEST(CollationCompare, ByteOrder) {
    const struct {
        const char* A;
        const char* B;
        int Result;
    } cases[] = {
        {"ab", "abc", 1}, {"b", "abc", 3}, {"abc", "abc", 2}, {"", "", 2}, {"abd", "abc", 3}, {"z", "\xE4", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(Compare(dbf::BINARY_COLLATION, c.A, c.B), c.Result) << c.A << " : " << c.B;
}

TEST(CollationCompare, ByWeights) {
    dbf::TCollationTable reversed{};
    for (int i = 0; i < 256; ++i) reversed[static_cast<size_t>(i)] = static_cast<uint8_t>(255 - i);
    EXPECT_EQ(Compare(&reversed, "b", "abc"), 1);
    EXPECT_EQ(Compare(&reversed, "ab", "abc"), 1);  // the shorter string still sorts first
    EXPECT_EQ(Compare(&reversed, "ab", "ab"), 2);
}

TEST(CollationRegistry, RegisterAndLookUp) {
    static const dbf::TCollationTable custom{};
    const std::string oldName = dbf::GetCollationName(0x2F);
    const dbf::TCollationTable* oldTable = dbf::GetCollationTable(0x2F);
    EXPECT_TRUE(dbf::RegisterCollation(0x2F, &custom, "CUSTOMNAME"));
    EXPECT_EQ(dbf::GetCollationTable(0x2F), &custom);
    EXPECT_EQ(dbf::GetCollationName(0x2F), "CUSTOMNA");
    EXPECT_TRUE(dbf::RegisterCollation(0x2F, oldTable, oldName));

    EXPECT_FALSE(dbf::RegisterCollation(256, &custom, "X"));
    EXPECT_FALSE(dbf::RegisterCollation(-1, &custom, "X"));
    EXPECT_EQ(dbf::GetCollationTable(256), dbf::BINARY_COLLATION);
    EXPECT_EQ(dbf::GetCollationTable(-1), dbf::BINARY_COLLATION);
}

TEST(CollationRegistry, BuiltInNames) {
    const std::pair<int, const char*> cases[] = {
        {0x59, "DBWINES0"}, {0x57, "DBWINUS0"}, {0x0F, "DB437DE0"}, {0x86, "db437gr0"}, {0x85, "dbHebrew"},
        {0x13, "DB932JP0"}, {0x61, "FOXDEWIN"}, {0x62, "FOXNOWIN"}, {0x30, ""},
    };
    for (const auto& [id, name] : cases) EXPECT_EQ(dbf::GetCollationName(id), name) << std::hex << id;
    EXPECT_EQ(dbf::GetCollationTable(0x57), dbf::BINARY_COLLATION);
    EXPECT_EQ(dbf::GetCollationTable(0x13), dbf::BINARY_COLLATION);
    EXPECT_EQ(dbf::GetCollationTable(0x30), dbf::BINARY_COLLATION);
    EXPECT_NE(dbf::GetCollationTable(0x0F), dbf::BINARY_COLLATION);
}

TEST(CollationRegistry, DriversOfOneOrderShareATable) {
    EXPECT_EQ(dbf::GetCollationTable(0x0D), dbf::GetCollationTable(0x19));
    EXPECT_EQ(dbf::GetCollationTable(0x0D), dbf::GetCollationTable(0x09));
    EXPECT_EQ(dbf::GetCollationTable(0x0E), dbf::GetCollationTable(0x1A));
    EXPECT_NE(dbf::GetCollationTable(0x0D), dbf::GetCollationTable(0x0E));
}

const int kDbaseIds[] = {0x59, 0x58, 0x0F, 0x18, 0x0B, 0x0D, 0x86, 0x11, 0x09, 0x15, 0x19, 0x1B, 0x1D, 0x10,
                         0x14, 0x0E, 0x12, 0x0A, 0x25, 0x16, 0x1A, 0x37, 0x1F, 0x22, 0x23, 0x87, 0x88, 0x24,
                         0x1C, 0x08, 0x17, 0x26, 0x20, 0x50, 0x56, 0x4D, 0x4E, 0x4F, 0x85};

TEST(CollationTables, DbaseTablesArePermutationsWithUpperCaseFirst) {
    for (const int id : kDbaseIds) {
        const dbf::TCollationTable* table = dbf::GetCollationTable(id);
        ASSERT_NE(table, nullptr) << std::hex << id;
        dbf::TCollationTable sorted = *table;
        std::sort(sorted.begin(), sorted.end());
        dbf::TCollationTable identity{};
        std::iota(identity.begin(), identity.end(), 0);
        EXPECT_EQ(sorted, identity) << std::hex << id;
        EXPECT_LT((*table)['Z'], (*table)['a']) << std::hex << id;
        for (char c = 'A'; c < 'Z'; ++c) EXPECT_LT((*table)[c], (*table)[c + 1]) << std::hex << id;
        EXPECT_LT((*table)['9'], (*table)['A']) << std::hex << id;
    }
}

TEST(CollationTables, AccentedLettersSortNextToTheirBase) {
    const dbf::TCollationTable& de437 = *dbf::GetCollationTable(0x0F);
    // OEM: 0x8E is Ä, 0x84 ä.
    EXPECT_LT(de437['A'], de437[0x8E]);
    EXPECT_LT(de437[0x8E], de437['B']);
    EXPECT_LT(de437['a'], de437[0x84]);
    EXPECT_LT(de437[0x84], de437['b']);
    EXPECT_EQ(Compare(&de437, "M\x84nner", "Mann"), 3);
    EXPECT_EQ(Compare(&de437, "M\x84nner", "Mb"), 1);
    EXPECT_EQ(Compare(&de437, "Zebra", "apfel"), 1);
}

TEST(CollationTables, FoxProTablesFoldCase) {
    const dbf::TCollationTable& dewin = *dbf::GetCollationTable(0x61);
    EXPECT_EQ(dewin['A'], dewin['a']);
    EXPECT_EQ(dewin[0xC4], dewin[0xE4]);  // Ä and ä in 1252
    EXPECT_LT(dewin['A'], dewin[0xC4]);
    EXPECT_LT(dewin[0xC4], dewin['B']);
    EXPECT_NE(dewin['1'], dewin['2']);
    EXPECT_EQ(Compare(&dewin, "M\xC4NNER", "m\xE4nner"), 2);
    const dbf::TCollationTable& de437 = *dbf::GetCollationTable(0x5E);
    EXPECT_EQ(de437[0x8E], de437[0x84]);
}

}  // namespace
