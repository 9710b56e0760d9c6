#include "dbf/collation.h"

#include "dbf/language.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

namespace dbf {

namespace {

// How the weight tables are made. Each byte value of the driver's code page is
// decoded to its character and put into one of these groups, which sort in
// this order; within a group the bytes sort by ICU's collation of the driver's
// locale (ties, such as ignorable control characters, by byte value). So
// accented letters fall next to their base letter and every upper-case letter
// weighs less than every lower-case one. Bytes that are no character of their
// own (lead bytes of double-byte pages, unassigned bytes, the upper half of
// pages ICU lacks) come last, in byte order.
enum TByteGroup { grNonLetter, grUpperOrCaseless, grLower, grUndecodable };

struct TByteClass {
    int Byte;
    TByteGroup Group;
    std::string Key;
};

std::u16string DecodeByte(int codePage, int byte) {
    const char c = static_cast<char>(byte);
    std::u16string text = platform::CodePageToUtf16(codePage, std::string_view(&c, 1));
    // Every driver's page is ASCII in its lower half, also where ICU lacks the page.
    if (text.empty() && byte < 0x80) text = std::u16string(1, static_cast<char16_t>(byte));
    if (text.size() != 1 || (text[0] == u'?' && byte != '?') || text[0] == u'\uFFFD')
        return std::u16string();
    return text;
}

std::vector<TByteClass> ClassifyBytes(int codePage, uint32_t lcid, bool foldCase) {
    std::vector<TByteClass> bytes;
    for (int b = 0; b < 256; ++b) {
        const std::u16string ch = DecodeByte(codePage, b);
        TByteGroup group = grUndecodable;
        if (!ch.empty() && !platform::IsLetter(ch[0]))
            group = grNonLetter;
        else if (!ch.empty())
            group = (!foldCase && platform::IsLowerCase(ch[0])) ? grLower : grUpperOrCaseless;
        bytes.push_back({b, group, ch.empty() ? std::string() : platform::CollationSortKey(lcid, ch, foldCase)});
    }
    std::sort(bytes.begin(), bytes.end(), [](const TByteClass& a, const TByteClass& b) {
        return std::tie(a.Group, a.Key, a.Byte) < std::tie(b.Group, b.Key, b.Byte);
    });
    return bytes;
}

// dBASE: the weight of a byte is its rank, so the table is a permutation.
TCollationTable PermutationTable(int codePage, uint32_t lcid) {
    TCollationTable table{};
    const auto bytes = ClassifyBytes(codePage, lcid, false);
    for (size_t rank = 0; rank < bytes.size(); ++rank)
        table[static_cast<size_t>(bytes[rank].Byte)] = static_cast<uint8_t>(rank);
    return table;
}

// FoxPro: letters that ICU tells apart by case only (secondary strength) share a weight.
TCollationTable CaseFoldedTable(int codePage, uint32_t lcid) {
    TCollationTable table{};
    const auto bytes = ClassifyBytes(codePage, lcid, true);
    int weight = -1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const bool sameLetter = i > 0 && bytes[i].Group == grUpperOrCaseless &&
                                bytes[i - 1].Group == grUpperOrCaseless && bytes[i].Key == bytes[i - 1].Key;
        if (!sameLetter) ++weight;
        table[static_cast<size_t>(bytes[i].Byte)] = static_cast<uint8_t>(weight);
    }
    return table;
}

struct TSlot {
    std::string Name;
    const TCollationTable* Table = BINARY_COLLATION;
};

struct TBuiltIn {
    uint8_t Id;
    const char* Name;
    bool ByteOrder;
};

constexpr TBuiltIn kBuiltIns[] = {
    {0x59, "DBWINES0", false}, {0x57, "DBWINUS0", true},  {0x58, "DBWINWE0", false},
    {0x0F, "DB437DE0", false}, {0x18, "DB437ES1", false}, {0x0B, "DB437FI0", false},
    {0x0D, "DB437FR0", false}, {0x86, "db437gr0", false}, {0x11, "DB437IT0", false},
    {0x09, "DB437NL0", false}, {0x15, "DB437SV0", false}, {0x19, "DB437UK0", false},
    {0x1B, "DB437US0", false}, {0x1D, "DB850CF0", false}, {0x10, "DB850DE0", false},
    {0x14, "DB850ES0", false}, {0x0E, "DB850FR0", false}, {0x12, "DB850IT1", false},
    {0x0A, "DB850NL0", false}, {0x25, "DB850PT0", false}, {0x16, "DB850SV1", false},
    {0x1A, "DB850UK0", false}, {0x37, "DB850US0", false}, {0x1F, "DB852CZ0", false},
    {0x22, "db852hdc", false}, {0x23, "db852po0", false}, {0x87, "db852sl0", false},
    {0x88, "DB857TR0", false}, {0x24, "DB860PT0", false}, {0x1C, "DB863CF1", false},
    {0x08, "DB865DA0", false}, {0x17, "DB865NO0", false}, {0x26, "db866ru0", false},
    {0x20, "DB867CZ0", false}, {0x50, "db874th0", false}, {0x13, "DB932JP0", true},
    {0x56, "DB932JP1", false}, {0x4D, "DB936CN0", false}, {0x4E, "DB949KO0", false},
    {0x4F, "DB950TW0", false}, {0x85, "dbHebrew", false}, {0x68, "FOXCZ895", false},
    {0x9B, "FOXCZWIN", false}, {0x5E, "FOXDE437", false}, {0x61, "FOXDEWIN", false},
    {0x5F, "FOXNO437", false}, {0x60, "FOXNO850", false}, {0x62, "FOXNOWIN", false},
};

class TCollationRegistry {
public:
    TCollationRegistry() {
        for (const TBuiltIn& b : kBuiltIns)
            FSlots[b.Id] = {b.Name, b.ByteOrder ? BINARY_COLLATION : BuiltInTable(b)};
    }

    TSlot& Slot(int index) { return FSlots[static_cast<size_t>(index)]; }

private:
    // Drivers whose derivation gives the same weights share one table.
    const TCollationTable* BuiltInTable(const TBuiltIn& b) {
        const TLangDriver& driver = LangDriver(b.Id);
        const bool foxPro = std::string(b.Name).rfind("FOX", 0) == 0;
        const TCollationTable table = foxPro ? CaseFoldedTable(driver.CodePage, driver.Locale)
                                             : PermutationTable(driver.CodePage, driver.Locale);
        for (const auto& known : FTables)
            if (*known == table) return known.get();
        FTables.push_back(std::make_unique<TCollationTable>(table));
        return FTables.back().get();
    }

    std::array<TSlot, 256> FSlots;
    std::vector<std::unique_ptr<TCollationTable>> FTables;
};

TCollationRegistry& Registry() {
    static TCollationRegistry registry;
    return registry;
}

bool InRange(int index) { return index >= 0 && index <= 255; }

}  // namespace

const TCollationTable* GetCollationTable(int index) {
    return InRange(index) ? Registry().Slot(index).Table : BINARY_COLLATION;
}

std::string GetCollationName(int index) { return InRange(index) ? Registry().Slot(index).Name : std::string(); }

bool RegisterCollation(int index, const TCollationTable* table, const std::string& name) {
    if (!InRange(index)) return false;
    Registry().Slot(index) = {name.substr(0, 8), table};
    return true;
}

int CollateCompareString(const TCollationTable* table, const char* s1, int len1, const char* s2, int len2) {
    const int common = std::min(len1, len2);
    for (int i = 0; i < common; ++i) {
        const auto b1 = static_cast<unsigned char>(s1[i]);
        const auto b2 = static_cast<unsigned char>(s2[i]);
        const int w1 = table ? (*table)[b1] : b1;
        const int w2 = table ? (*table)[b2] : b2;
        if (w1 != w2) return w1 < w2 ? 1 : 3;
    }
    if (len1 == len2) return 2;
    return len1 < len2 ? 1 : 3;
}

}  // namespace dbf
