#include "InfoCommand.h"

#include "JsonOutput.h"
#include "TableAccess.h"

#include "dbf/table.h"

#include <cstdio>

namespace dbftool {

namespace {

std::string HeaderDate(const dbf::TTableHeaderFacts& facts) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", facts.Year, facts.Month, facts.Day);
    return text;
}

nlohmann::ordered_json MemoInfo(const dbf::TTableHeaderFacts& facts) {
    if (!facts.HasMemo) return nullptr;
    nlohmann::ordered_json memo;
    memo["file"] = facts.MemoFileName;
    memo["blockSize"] = facts.MemoBlockSize;
    return memo;
}

nlohmann::ordered_json FieldList(const dbf::TFieldDescriptors* defs) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    if (!defs) return fields;
    for (int i = 0; i < defs->Count(); ++i) {
        const dbf::TFieldDescriptor& def = defs->Items(i);
        nlohmann::ordered_json field;
        field["name"] = def.FieldName();
        field["type"] = std::string(1, def.NativeFieldType());
        field["size"] = def.Size();
        field["decimals"] = def.Precision();
        fields.push_back(std::move(field));
    }
    return fields;
}

}  // namespace

std::string DialectName(int level) {
    switch (level) {
        case 3: return "dBASE III";
        case 4: return "dBASE IV";
        case 7: return "dBASE 7";
        case 25: return "FoxPro";
        default: return "level " + std::to_string(level);
    }
}

nlohmann::ordered_json TableInfo(dbf::TTable& table) {
    const dbf::TTableHeaderFacts facts = table.HeaderFacts();
    nlohmann::ordered_json info;
    info["file"] = table.TableFileName();
    info["version"] = facts.VersionByte;
    info["dialect"] = DialectName(table.TableLevel());
    info["level"] = table.TableLevel();
    info["records"] = table.PhysicalRecordCount();
    info["headerSize"] = facts.HeaderSize;
    info["recordSize"] = facts.RecordSize;
    info["date"] = HeaderDate(facts);
    info["languageId"] = table.LanguageID();
    info["languageName"] = table.LanguageStr();
    info["codePage"] = table.CodePage();
    info["memo"] = MemoInfo(facts);
    info["fields"] = FieldList(table.FieldDescriptors());
    info["indexes"] = nlohmann::ordered_json::array();
    return info;
}

void RunInfo(const std::string& tablePath, std::ostream& out) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::ReadOnly, false);
    WriteJsonLine(TableInfo(*table), out);
}

}  // namespace dbftool
