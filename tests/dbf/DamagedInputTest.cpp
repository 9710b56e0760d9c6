// Damaged tables and memo files opened and walked through the table object:
// every damage ends in a clear ETableError or in a defined result, field by
// field, never in a crash, a read outside the file or an allocation that a
// size field drives. (Header and record sizes, header counts, truncated
// records and terminators are covered with the table file in
// TableFileOpenTest, memo lengths and block sizes with the memo file in
// MemoFileTest; the cases here are the rest, and the fuzzers' findings.)
#include "TableFixtures.h"

#include "dbf/table.h"
#include "dbf/messages.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

using namespace dbf;

namespace {

using TBytes = std::vector<uint8_t>;

struct DamageCase {
    const char* Name;
    TableImage Image;
    std::function<void(TBytes&)> Patch;  // applied to the table bytes
    std::optional<TBytes> Memo;          // the .dbt beside the table
    std::string Error;                   // exact message; empty: the table opens
    std::vector<std::string> Rows;       // every record: its fields' texts, joined by '|'
};

// A dBASE IV memo file with 512-byte blocks whose block 1 holds text.
TBytes MemoFileWith(const std::string& text) {
    TBytes bytes(1024, ' ');
    std::fill(bytes.begin(), bytes.begin() + 512, uint8_t{0});
    bytes[0] = 2;     // next free block
    bytes[21] = 2;    // block length 512
    const uint8_t blockHeader[8] = {0xFF, 0xFF, 0x08, 0x00, static_cast<uint8_t>(text.size() + 8), 0, 0, 0};
    std::copy(std::begin(blockHeader), std::end(blockHeader), bytes.begin() + 512);
    std::copy(text.begin(), text.end(), bytes.begin() + 520);
    return bytes;
}

TableImage MemoTable(const std::string& blockField) {
    TableImage image;
    image.Version = 0x8B;
    image.Fields = {{"NAME", 'C', 4}, {"TEXT", 'M', 10}};
    image.Records = {"R0  " + blockField};
    return image;
}

// More descriptors than the 4095-field limit cannot fit into a header whose
// size is a 16-bit field: the widest header, with descriptors up to its end
// and no terminator, holds 2046 of them.
TableImage WidestHeader() {
    TableImage image;
    const int count = (65535 - 32) / 32;
    for (int i = 0; i < count; ++i) image.Fields.push_back({Numbered("F", i), 'C', 1});
    image.Terminator = false;
    image.AfterTerminator.resize(65535 - 32 - 32 * static_cast<size_t>(count));
    image.Records = {std::string(static_cast<size_t>(count), 'x')};
    return image;
}

std::string Repeated(const std::string& part, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += (i ? "|" : "") + part;
    return out;
}

// Puts a FoxPro descriptor's FieldOffset (bytes 12..15) of field index.
std::function<void(TBytes&)> FoxProOffset(int index, uint32_t offset) {
    return [=](TBytes& bytes) {
        for (int i = 0; i < 4; ++i) bytes[32 + 32 * static_cast<size_t>(index) + 12 + i] = static_cast<uint8_t>(offset >> (8 * i));
    };
}

DamageCase Case(const char* name, TableImage image, std::vector<std::string> rows) {
    return DamageCase{name, std::move(image), nullptr, std::nullopt, "", std::move(rows)};
}

DamageCase Failing(const char* name, TableImage image, std::string error) {
    return DamageCase{name, std::move(image), nullptr, std::nullopt, std::move(error), {}};
}

template <typename Change>
TableImage Changed(TableImage image, Change change) {
    change(image);
    return image;
}

DamageCase WithMemo(DamageCase c, TBytes memo) {
    c.Memo = std::move(memo);
    return c;
}

DamageCase Patched(DamageCase c, std::function<void(TBytes&)> patch) {
    c.Patch = std::move(patch);
    return c;
}

const std::string kInvalid = msg::InvalidDbfFile;

std::vector<DamageCase> Cases() {
    TableImage twoFields;
    twoFields.Fields = {{"NAME", 'C', 4}, {"OK", 'L', 1}};
    twoFields.Records = {"R0  T", "R1  F"};
    TableImage foxPro = twoFields;
    foxPro.Version = 0x30;
    foxPro.AfterTerminator.resize(263);
    return {
        Case("ZeroWidthFieldReadsEmpty",
             Changed(twoFields, [](TableImage& i) { i.Fields.insert(i.Fields.begin() + 1, {"GAP", 'C', 0}); }),
             {"R0||True", "R1||False"}),
        Patched(Case("FoxProFieldOffsetsThatOverlapAreIgnored", foxPro, {"R0|True", "R1|False"}),
                [](TBytes& b) { FoxProOffset(0, 3)(b); FoxProOffset(1, 1)(b); }),
        Patched(Case("FoxProFieldOffsetsBeyondTheRecordAreIgnored", foxPro, {"R0|True", "R1|False"}),
                FoxProOffset(1, 0xFFFFFFF0)),
        Case("DescriptorsFillTheWidestHeader", WidestHeader(), {Repeated("x", 2046)}),
        WithMemo(Case("MemoBlockBeyondTheMemoFile", MemoTable("0000000050"), {"R0|"}), MemoFileWith("kept")),
        WithMemo(Case("MemoBlockBeyondInt32", MemoTable("9999999999"), {"R0|"}), MemoFileWith("kept")),
        WithMemo(Case("NegativeMemoBlock", MemoTable("       -12"), {"R0|"}), MemoFileWith("kept")),
        WithMemo(Case("MemoBlockOfLetters", MemoTable("abcdefghij"), {"R0|"}), MemoFileWith("kept")),
        WithMemo(Case("ValidMemoBlockReadsItsText", MemoTable("0000000001"), {"R0|kept"}), MemoFileWith("kept")),
        Patched(Failing("EmptyFile", twoFields, kInvalid), [](TBytes& b) { b.clear(); }),
        Patched(Failing("ShorterThanTheFixedHeader", twoFields, kInvalid), [](TBytes& b) { b.resize(20); }),
    };
}

class DamagedInput : public ::testing::Test {
protected:
    ScratchFolder Folder;
    TTable Table;

    void Prepare(const DamageCase& c) {
        TBytes bytes = c.Image.Bytes();
        if (c.Patch) c.Patch(bytes);
        WriteFileBytes(Folder.File("t.dbf"), bytes);
        if (c.Memo) WriteFileBytes(Folder.File("t.dbt"), *c.Memo);
        Table.SetFilePath(Folder.File(""));
        Table.SetTableName("t.dbf");
        Table.SetExclusive(true);
        Table.SetShowDeleted(true);
    }

    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (Table.First(); !Table.Eof(); Table.Next()) {
            std::string row;
            for (int i = 0; i < Table.FieldCount(); ++i) {
                if (i > 0) row += '|';
                row += Table.Fields()[i].AsString();
            }
            rows.push_back(row);
        }
        return rows;
    }
};

class DamagedInputCase : public DamagedInput, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedInputCase, EndsInAClearErrorOrADefinedResult) {
    const DamageCase& c = GetParam();
    Prepare(c);
    if (!c.Error.empty()) {
        try {
            Table.Open();
            FAIL() << "opened";
        } catch (const ETableError& e) {
            EXPECT_EQ(std::string(e.what()), c.Error);
        }
        EXPECT_FALSE(Table.Active());
        return;
    }
    Table.Open();
    EXPECT_EQ(Rows(), c.Rows);
}

INSTANTIATE_TEST_SUITE_P(Tables, DamagedInputCase, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.Name); });

std::string BigEndianDouble(double value) {
    const auto bits = std::bit_cast<uint64_t>(value);
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(bits >> (56 - 8 * i));
    return bytes;
}

std::string LittleEndian32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
    return bytes;
}

// Date-time fields whose bytes name no date at all (found by fuzzing: the
// conversion to a day number overflowed) read like date-time 0, the value of
// the first record, as an impossible date does.
TEST_F(DamagedInput, DateTimesBeyondEveryDateReadAsDateTimeZero) {
    // Level 7 both ways: as the BDE's millisecond count and as the date-time itself.
    for (const TDateTimeHandling handling : {dtBDETimeStamp, dtDateTime}) {
        TableImage level7;
        level7.Version = 0x04;
        level7.Level7 = true;
        level7.Fields = {{"STAMP", '@', 8}};
        // Date-time 0, 30 December 1899: its millisecond count, or minus zero (plain zero is blank).
        const double dateTimeZero = handling == dtBDETimeStamp ? 693594.0 * 86400000.0 : -0.0;
        for (double stored : {dateTimeZero, 4.27197e96, -1e300, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()})
            level7.Records.push_back(BigEndianDouble(stored));
        Table.Close();
        Prepare(DamageCase{"", level7, nullptr, std::nullopt, "", {}});
        Table.SetDateTimeHandling(handling);
        Table.Open();
        const std::vector<std::string> rows = Rows();
        ASSERT_EQ(rows.size(), level7.Records.size());
        EXPECT_EQ(rows[0], "1899-12-30");
        for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i], rows[0]) << "record " << i + 1 << " " << handling;
    }
}

TEST_F(DamagedInput, FoxProDayNumbersBeyondEveryDateReadAsDateTimeZero) {
    TableImage foxPro;
    foxPro.Version = 0x30;
    foxPro.AfterTerminator.resize(263);
    foxPro.Fields = {{"STAMP", 'T', 8}};
    for (uint32_t julianDay : {693594u + 1721425u, 0x80000000u, 0x80000000u + 1721424u, 0xC0000000u})
        foxPro.Records.push_back(LittleEndian32(julianDay) + LittleEndian32(0));
    Prepare(DamageCase{"", foxPro, nullptr, std::nullopt, "", {}});
    Table.Open();
    const std::vector<std::string> rows = Rows();
    ASSERT_EQ(rows.size(), foxPro.Records.size());
    EXPECT_EQ(rows[0], "1899-12-30");
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i], rows[0]) << "record " << i + 1;
}

}  // namespace
