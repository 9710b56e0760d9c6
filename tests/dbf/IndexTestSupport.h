// Helpers of the index tests: a table with a few character and numeric
// fields on disk, record images filled field by field, and an independent
// reader of index trees that walks the bytes of an .ndx or .mdx file without
// the engine and checks what every tree must satisfy.
#pragma once

#include "TableFixtures.h"

#include "dbf/index_file.h"
#include "dbf/table_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b.at(at)) | (static_cast<uint32_t>(b.at(at + 1)) << 8) |
           (static_cast<uint32_t>(b.at(at + 2)) << 16) | (static_cast<uint32_t>(b.at(at + 3)) << 24);
}
inline uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

// A dBASE IV table NAME C10, NUM N8.2, BORN D8 with the given language driver.
inline void CreateKeyTable(const std::string& path, uint8_t langId = 0x57) {
    dbf::TFieldDescriptors defs;
    defs.Add("NAME", dbf::TFieldType::ftString, 10, false);
    defs.Add("NUM", dbf::TFieldType::ftFloat, 8, false).SetPrecision(2);
    defs.Add("BORN", dbf::TFieldType::ftDate, 8, false);
    dbf::TTableFile file;
    file.SetFileName(path);
    file.SetMode(dbf::pfExclusiveCreate);
    file.SetTableVersion(dbf::xBaseIV);
    file.SetFileLangId(langId);
    file.Open();
    file.FinishCreate(defs, 512);
    file.Close();
}

// A record image of the key table: name blank-padded, number right-aligned.
inline std::vector<uint8_t> KeyRecord(dbf::TTableFile& file, const std::string& name, double num = 0,
                                      const std::string& born = "        ") {
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()), ' ');
    file.InitRecord(record.data());
    std::memset(record.data() + 1, ' ', 10);
    std::memcpy(record.data() + 1, name.data(), std::min<size_t>(name.size(), 10));
    char text[16];
    std::snprintf(text, sizeof text, "%8.2f", num);
    std::memcpy(record.data() + 11, text, 8);
    std::memcpy(record.data() + 19, born.data(), 8);
    return record;
}

// One leaf entry as the file holds it.
struct RawEntry {
    std::vector<uint8_t> Key;
    int32_t RecNo;
};

// Walks the tree of one tag straight from the file bytes and checks it: every
// block inside the file, entry counts within NumKeys, all leaves at one
// depth, each inner key equal to the last key of its child, no block visited
// twice. A failure is reported with ADD_FAILURE and the walk ends there.
class RawTreeReader {
public:
    // headerAt: byte offset of the index header (0 for a .ndx, the tag's
    // header block * 512 for a .mdx).
    RawTreeReader(std::vector<uint8_t> bytes, bool mdx, size_t headerAt) : FBytes(std::move(bytes)), FMdx(mdx) {
        FKeyLen = Le16(FBytes, headerAt + 12);
        FNumKeys = Le16(FBytes, headerAt + 14);
        FKeyRecLen = Le16(FBytes, headerAt + 18);
        FRoot = Le32(FBytes, headerAt);
    }

    std::vector<RawEntry> Entries() {
        std::vector<RawEntry> entries;
        FLeafDepth = -1;
        FSeen.clear();
        Walk(FRoot, 0, entries);
        return entries;
    }

    int Depth() const { return FLeafDepth; }
    int KeyLen() const { return FKeyLen; }

private:
    size_t NodeSize() const { return FMdx ? 1024 : 512; }
    size_t EntryAt(uint32_t page, int i) const { return page * 512 + (FMdx ? 8 : 4) + static_cast<size_t>(i) * FKeyRecLen; }
    size_t KeyAt(uint32_t page, int i) const { return EntryAt(page, i) + (FMdx ? 4 : 8); }

    bool IsInner(uint32_t page, int n) const {
        if (!FMdx) return Le32(FBytes, EntryAt(page, 0)) != 0;
        return n < FNumKeys && Le32(FBytes, EntryAt(page, n)) != 0;
    }

    // Answers the node's last key, empty when the node holds none.
    std::vector<uint8_t> Walk(uint32_t page, int depth, std::vector<RawEntry>& out) {
        if (page * 512 + NodeSize() > FBytes.size() || page == 0) {
            ADD_FAILURE() << "block " << page << " outside the file";
            return {};
        }
        if (!FSeen.insert(page).second) {
            ADD_FAILURE() << "block " << page << " reached twice";
            return {};
        }
        const int n = static_cast<int>(Le32(FBytes, page * 512));
        if (n > FNumKeys) {
            ADD_FAILURE() << "block " << page << " holds " << n << " entries";
            return {};
        }
        if (!IsInner(page, n)) {
            if (FLeafDepth < 0) FLeafDepth = depth;
            if (FLeafDepth != depth) ADD_FAILURE() << "leaf " << page << " at depth " << depth;
            for (int i = 0; i < n; ++i) {
                const size_t key = KeyAt(page, i);
                const int32_t recNo = static_cast<int32_t>(Le32(FBytes, EntryAt(page, i) + (FMdx ? 0 : 4)));
                out.push_back({std::vector<uint8_t>(FBytes.begin() + key, FBytes.begin() + key + FKeyLen), recNo});
            }
            if (n == 0) return {};
            const size_t last = KeyAt(page, n - 1);
            return std::vector<uint8_t>(FBytes.begin() + last, FBytes.begin() + last + FKeyLen);
        }
        if (n > FNumKeys - 1) ADD_FAILURE() << "inner block " << page << " is overfull";
        std::vector<uint8_t> lastKey;
        for (int i = 0; i <= n; ++i) {
            const uint32_t child = Le32(FBytes, EntryAt(page, i));
            std::vector<uint8_t> childLast = Walk(child, depth + 1, out);
            if (i < n && !childLast.empty()) {
                const size_t key = KeyAt(page, i);
                const std::vector<uint8_t> separator(FBytes.begin() + key, FBytes.begin() + key + FKeyLen);
                if (separator != childLast) ADD_FAILURE() << "separator " << i << " of block " << page << " is not its child's last key";
            }
            if (!childLast.empty()) lastKey = childLast;
        }
        return lastKey;
    }

    std::vector<uint8_t> FBytes;
    bool FMdx;
    int FKeyLen = 0;
    int FNumKeys = 0;
    int FKeyRecLen = 0;
    uint32_t FRoot = 0;
    int FLeafDepth = -1;
    std::set<uint32_t> FSeen;
};

// The header block of tag i of a .mdx file (tag entries 32 bytes from 544).
inline size_t MdxTagHeaderAt(const std::vector<uint8_t>& bytes, int tag) {
    const int tagSize = bytes.at(26);
    return Le32(bytes, 512 + static_cast<size_t>(tagSize) * (tag + 1)) * size_t{512};
}

inline std::string KeyText(const RawEntry& entry) {
    std::string text(entry.Key.begin(), entry.Key.end());
    const size_t last = text.find_last_not_of(' ');
    return text.substr(0, last == std::string::npos ? 0 : last + 1);
}
