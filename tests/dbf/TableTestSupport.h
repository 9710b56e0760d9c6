// Helpers of the table-object tests: a scratch folder with a table object
// pointed at it, the question table's definitions as the trainer adds them,
// small tables built through the object itself, and a look at the header and
// record bytes that reached the file.
#pragma once

#include "PagedFileTestSupport.h"

#include "dbf/table.h"
#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// The message of the exception the action raises, or "<no exception>".
template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no exception>";
}

inline constexpr uint8_t kLangAnsi1252 = 0x57;
inline constexpr uint8_t kLangOem850 = 0x02;

// The 17 definitions of the question table, in the trainer's order and spelling.
inline void AddQuestionDefs(ds::TFieldDefs& defs) {
    defs.Clear();
    defs.Add("Kapitel", ds::ftString, 10);
    defs.Add("FrageNr", ds::ftString, 10);
    defs.Add("Frage", ds::ftMemo, 0);
    for (int n = 1; n <= 7; ++n) {
        defs.Add("Antwort" + std::to_string(n), ds::ftMemo, 0);
        defs.Add("Ant" + std::to_string(n) + "Korrekt", ds::ftBoolean, 0);
    }
}

// A little-endian integer of the file's header.
inline uint32_t HeaderU32(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | bytes.at(offset + static_cast<size_t>(i));
    return value;
}

inline uint16_t HeaderU16(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

// The bytes of record recNo (1-based) of a table image, deletion flag first.
inline std::string RecordBytes(const std::vector<uint8_t>& bytes, int recNo) {
    const size_t headerSize = HeaderU16(bytes, 8);
    const size_t recordSize = HeaderU16(bytes, 10);
    const size_t start = headerSize + recordSize * static_cast<size_t>(recNo - 1);
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                       bytes.begin() + static_cast<std::ptrdiff_t>(start + recordSize));
}

// A table object on a scratch folder, with a German user (ANSI 1252, OEM 850).
class TableTableTest : public ::testing::Test {
protected:
    TableTableTest() : FGerman("de_DE.UTF-8") {
        Table.SetName("Table1");
        Table.SetFilePath(Folder.File(""));
        Table.SetTableName("test.dbf");
        Table.SetLanguageID(kLangAnsi1252);
    }

    std::string TablePath() const { return Folder.File("test.dbf"); }
    std::vector<uint8_t> TableBytes() const { return FileBytes(TablePath()); }

    // Creates the table from the given definitions and opens it.
    void CreateAndOpen(const std::vector<ds::TFieldDef>& defs) {
        Table.FieldDefs().Clear();
        for (const ds::TFieldDef& def : defs) Table.FieldDefs().Add(def.Name, def.DataType, def.Size);
        Table.CreateTable();
        Table.Open();
    }

    // A table of NAME C10 holding the given names, one record each, open.
    void CreateNames(const std::vector<std::string>& names) {
        CreateAndOpen({Def("NAME", ds::ftString, 10)});
        for (const std::string& name : names) Table.AppendRecord({name});
    }

    // Deletes the records with these physical numbers through the object.
    void DeletePhysical(const std::vector<int>& recNos) {
        const bool shown = Table.ShowDeleted();
        Table.SetShowDeleted(true);
        for (int recNo : recNos) {
            Table.SetPhysicalRecNo(recNo);
            Table.Delete();
        }
        Table.SetShowDeleted(shown);
    }

    // The NAME values a walk from First to Eof visits.
    std::vector<std::string> Walk() {
        std::vector<std::string> seen;
        for (Table.First(); !Table.Eof(); Table.Next()) seen.push_back(Table.FieldByName("NAME").AsString());
        return seen;
    }

    static ds::TFieldDef Def(const std::string& name, ds::TFieldType type, int size) {
        ds::TFieldDef def;
        def.Name = name;
        def.DataType = type;
        def.Size = size;
        return def;
    }

    dbf::platform::TLocaleOverride FGerman;
    ScratchFolder Folder;
    dbf::TTable Table;
};
