// Helpers of the table-file tests: the question table's field definitions,
// a builder for small DBF images written byte by byte (independent of the
// engine, so damaged and odd headers can be made on purpose), and opening or
// creating a table file on disk.
#pragma once

#include "PagedFileTestSupport.h"

#include "dbf/table_file.h"
#include "dbf/field_defs.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

// The 17 definitions of the question table, as the trainer defines them.
inline void AddQuestionFields(dbf::TFieldDescriptors& defs) {
    using dbf::TFieldType;
    defs.Add("Kapitel", TFieldType::ftString, 10, false);
    defs.Add("FrageNr", TFieldType::ftString, 10, false);
    defs.Add("Frage", TFieldType::ftMemo, 0, false);
    for (int n = 1; n <= 7; ++n) {
        defs.Add("Antwort" + std::to_string(n), TFieldType::ftMemo, 0, false);
        defs.Add("Ant" + std::to_string(n) + "Korrekt", TFieldType::ftBoolean, 0, false);
    }
}

// The prefix followed by the decimal number. Built by appending: GCC 12 warns
// falsely (-Wrestrict) about "literal" + std::to_string(n) in optimised builds.
inline std::string Numbered(const std::string& prefix, int number) {
    std::string text = prefix;
    text += std::to_string(number);
    return text;
}

struct FieldSpec {
    std::string Name;
    char Letter;
    uint8_t Size;
    uint8_t Precision = 0;
};

// A DBF image, of dBASE III/IV/FoxPro layout (32-byte descriptors) or of
// level 7 (68-byte header, 48-byte descriptors). The header
// fields follow the descriptors unless overridden, so a test can damage
// exactly one of them.
struct TableImage {
    uint8_t Version = 0x03;
    uint8_t Language = 0x57;
    uint8_t MdxFlag = 0;
    bool Level7 = false;
    std::string LangName = "DBWINUS0";  // level 7 only
    std::vector<FieldSpec> Fields;
    std::vector<std::string> Records;  // field bytes without the deletion flag
    std::optional<uint32_t> HeaderCount;
    std::optional<uint16_t> FullHdrSize;
    std::optional<uint16_t> RecordSize;
    bool Terminator = true;
    std::vector<uint8_t> AfterTerminator;  // extra header bytes behind the descriptors
    std::vector<uint8_t> Tail;             // bytes behind the records

    uint16_t NaturalRecordSize() const {
        int size = 1;
        for (const auto& f : Fields) size += f.Size;
        return static_cast<uint16_t>(size);
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out(Level7 ? 68 : 32, 0);
        out[0] = Version;
        out[1] = 99;
        out[2] = 1;
        out[3] = 1;
        const uint32_t count = HeaderCount.value_or(static_cast<uint32_t>(Records.size()));
        for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(count >> (8 * i));
        out[28] = MdxFlag;
        out[29] = Level7 ? 0 : Language;
        if (Level7) std::memcpy(out.data() + 32, LangName.data(), std::min<size_t>(LangName.size(), 32));
        const size_t descSize = Level7 ? 48 : 32;
        const size_t typeAt = Level7 ? 32 : 11;
        for (const auto& f : Fields) {
            uint8_t desc[48] = {};
            std::memcpy(desc, f.Name.data(), std::min<size_t>(f.Name.size(), Level7 ? 31 : 10));
            desc[typeAt] = static_cast<uint8_t>(f.Letter);
            desc[typeAt + (Level7 ? 1 : 5)] = f.Size;
            desc[typeAt + (Level7 ? 2 : 6)] = f.Precision;
            out.insert(out.end(), desc, desc + descSize);
        }
        if (Terminator) out.push_back(0x0D);
        out.insert(out.end(), AfterTerminator.begin(), AfterTerminator.end());
        const uint16_t hdr = FullHdrSize.value_or(static_cast<uint16_t>(out.size()));
        const uint16_t rec = RecordSize.value_or(NaturalRecordSize());
        out[8] = static_cast<uint8_t>(hdr);
        out[9] = static_cast<uint8_t>(hdr >> 8);
        out[10] = static_cast<uint8_t>(rec);
        out[11] = static_cast<uint8_t>(rec >> 8);
        for (const auto& r : Records) {
            out.push_back(' ');
            out.insert(out.end(), r.begin(), r.end());
        }
        out.insert(out.end(), Tail.begin(), Tail.end());
        return out;
    }
};

inline uint32_t HeaderCountOf(const std::vector<uint8_t>& bytes) {
    return static_cast<uint32_t>(bytes[4]) | (static_cast<uint32_t>(bytes[5]) << 8) |
           (static_cast<uint32_t>(bytes[6]) << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
}

inline void OpenTable(dbf::TTableFile& file, const std::string& path, dbf::TPagedFileMode mode) {
    file.SetFileName(path);
    file.SetMode(mode);
    file.Open();
}

// Creates and closes a table of the given dialect at path.
inline void CreateTable(const std::string& path, dbf::TXBaseVersion version, dbf::TFieldDescriptors& defs,
                        int32_t memoSize = 512) {
    dbf::TTableFile file;
    file.SetFileName(path);
    file.SetMode(dbf::pfExclusiveCreate);
    file.SetTableVersion(version);
    file.Open();
    file.FinishCreate(defs, memoSize);
    file.Close();
}

// The blank record of the file with its first field, a text field, set to text.
inline std::vector<uint8_t> RecordWithText(dbf::TTableFile& file, const std::string& text) {
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.InitRecord(record.data());
    file.SetFieldData(0, dbf::TFieldType::ftString, text.c_str(), record.data(), false);
    return record;
}

// The field as text (trailing blanks removed by the codec); empty when null or blank.
inline std::string FieldText(const dbf::TTableFile& file, int column, const uint8_t* record) {
    std::vector<char> value(static_cast<size_t>(file.FieldDefs().Items(column).Size()) + 1, '\0');
    if (!file.GetFieldData(column, dbf::TFieldType::ftString, record, value.data(), false)) return std::string();
    return std::string(value.data());
}
