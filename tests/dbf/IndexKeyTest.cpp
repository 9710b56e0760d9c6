// Index keys: the decimal form of production-index numbers and its order,
// doubles in single indexes, date keys, and character keys collated by the
// table's language driver.
#include "IndexTestSupport.h"

#include "dbf/index_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace dbf;

namespace {

struct DecimalCase {
    const char* Name;
    double Value;
    std::vector<uint8_t> Prefix;  // the key's first bytes; the rest is zero
};

class DecimalKeyTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalKeyTest, EncodesAsTheDecimalForm) {
    const DecimalCase& c = GetParam();
    uint8_t key[12];
    EncodeDecimalKey(c.Value, key);
    std::vector<uint8_t> expected = c.Prefix;
    expected.resize(12, 0);
    EXPECT_EQ(std::vector<uint8_t>(key, key + 12), expected);
    if (c.Value == static_cast<double>(static_cast<int64_t>(c.Value))) {
        EncodeDecimalKey(static_cast<int64_t>(c.Value), key);
        EXPECT_EQ(std::vector<uint8_t>(key, key + 12), expected) << "as an integer";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecimalKeyTest,
    ::testing::Values(DecimalCase{"zero", 0, {0x34, 0x01}}, DecimalCase{"five", 5, {0x35, 0x09, 0x50}},
                      DecimalCase{"minus_one_and_a_half", -1.5, {0x35, 0x89, 0x15}},
                      DecimalCase{"thousand", 1000, {0x38, 0x09, 0x10}},
                      DecimalCase{"hundredth", 0.01, {0x33, 0x09, 0x10}},
                      DecimalCase{"many_digits", 123456.789, {0x3A, 0x29, 0x12, 0x34, 0x56, 0x78, 0x90}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DecimalKeyOrderTest, SortsByValueWithZeroBetweenTheSigns) {
    const std::vector<double> ascending = {-1000, -5, -1.5, -0.01, 0, 0.01, 0.05, 5, 12, 1000, 1e12};
    std::vector<std::vector<uint8_t>> keys;
    for (double v : ascending) {
        std::vector<uint8_t> key(12);
        EncodeDecimalKey(v, key.data());
        keys.push_back(key);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        for (size_t j = 0; j < keys.size(); ++j) {
            const int expected = i < j ? -1 : (i > j ? 1 : 0);
            EXPECT_EQ(CompareIndexKeys(TKeyCompare::Decimal, nullptr, keys[i].data(), keys[j].data(), 12), expected)
                << ascending[i] << " against " << ascending[j];
        }
    }
}

class IndexKeyTableTest : public ::testing::Test {
protected:
    void Open(uint8_t langId) {
        CreateKeyTable(FFolder.File("k.dbf"), langId);
        OpenTable(FFile, FFolder.File("k.dbf"), pfExclusiveOpen);
    }
    void Append(const std::string& name, double num = 0, const std::string& born = "        ") {
        auto record = KeyRecord(FFile, name, num, born);
        FFile.Insert(record.data());
    }
    std::vector<int32_t> RecordOrder(const std::string& file, bool mdx, int tag = 0) {
        const auto bytes = FileBytes(FFolder.File(file));
        RawTreeReader reader(bytes, mdx, mdx ? MdxTagHeaderAt(bytes, tag) : 0);
        std::vector<int32_t> order;
        for (const auto& e : reader.Entries()) order.push_back(e.RecNo);
        return order;
    }

    ScratchFolder FFolder;
    TTableFile FFile;
};

TEST_F(IndexKeyTableTest, NumericKeysOrderInBothKinds) {
    Open(0x57);
    FFile.OpenIndex("num", "NUM", 0, true);
    FFile.OpenIndex("num.ndx", "NUM", 0, true);
    for (double v : {1000.0, -1.5, 0.0, 5.0, 0.05, -20.0}) Append("X", v);
    const std::vector<int32_t> expected = {6, 2, 3, 5, 4, 1};
    EXPECT_EQ(RecordOrder("k.mdx", true), expected);
    EXPECT_EQ(RecordOrder("num.ndx", false), expected);
    const auto ndx = FileBytes(FFolder.File("num.ndx"));
    double first;
    std::memcpy(&first, &ndx[512 + 4 + 8], 8);  // leaf entry 0: LowerPageNo, RecNo, key
    EXPECT_EQ(first, -20.0);
}

TEST_F(IndexKeyTableTest, DateKeysOrderByDay) {
    Open(0x57);
    FFile.OpenIndex("born", "DTOS(BORN)", 0, true);
    Append("A", 0, "20010301");
    Append("B", 0, "19991231");
    Append("C", 0, "20010228");
    EXPECT_EQ(RecordOrder("k.mdx", true), (std::vector<int32_t>{2, 3, 1}));
}

struct CollationCase {
    const char* Name;
    uint8_t LangId;
    // A, A-umlaut, B, O, O-umlaut, P, U, U-umlaut, V, a-umlaut in the driver's code page.
    std::vector<uint8_t> Letters;
};

class UmlautCollationTest : public IndexKeyTableTest, public ::testing::WithParamInterface<CollationCase> {};

// Umlauts sort right behind their base letter, and the tag holds its keys in
// the order of the driver's collation weights; a single index compares bytes.
TEST_P(UmlautCollationTest, KeysFollowTheDriversCollation) {
    const CollationCase& c = GetParam();
    Open(c.LangId);
    FFile.OpenIndex("name", "NAME", 0, true);
    FFile.OpenIndex("name.ndx", "NAME", 0, true);
    // Record r holds letter 10 - r: appended in reverse.
    for (int letter = 9; letter >= 0; --letter)
        Append(std::string(1, static_cast<char>(c.Letters[static_cast<size_t>(letter)])) + "X");
    auto letterOf = [&](int32_t recNo) { return c.Letters[static_cast<size_t>(10 - recNo)]; };
    const TCollationTable* table = GetCollationTable(c.LangId);
    ASSERT_NE(table, nullptr);
    for (size_t i = 1; i < 9; ++i)
        EXPECT_LT((*table)[c.Letters[i - 1]], (*table)[c.Letters[i]]) << "letter " << i;
    std::vector<int32_t> byWeight = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::sort(byWeight.begin(), byWeight.end(),
              [&](int32_t a, int32_t b) { return (*table)[letterOf(a)] < (*table)[letterOf(b)]; });
    EXPECT_EQ(RecordOrder("k.mdx", true), byWeight);
    std::vector<int32_t> byBytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::sort(byBytes.begin(), byBytes.end(), [&](int32_t a, int32_t b) { return letterOf(a) < letterOf(b); });
    EXPECT_EQ(RecordOrder("name.ndx", false), byBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, UmlautCollationTest,
    ::testing::Values(
        CollationCase{"cp850_german", 0x10, {'A', 0x8E, 'B', 'O', 0x99, 'P', 'U', 0x9A, 'V', 0x84}},
        CollationCase{"cp1252_german", 0x61, {'A', 0xC4, 'B', 'O', 0xD6, 'P', 'U', 0xDC, 'V', 0xE4}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
