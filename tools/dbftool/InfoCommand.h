// dbftool info: the header facts, fields and indexes of a table as one JSON
// object (keys in this order): file, version (the version byte), dialect,
// level, records (from the file size, deleted records included), headerSize,
// recordSize, date (of the header's last write), languageId, languageName,
// codePage (the one the table's text is converted from), memo ({file,
// blockSize}, or null for a table without memo fields; blockSize 0 when the
// memo file is missing), fields ({name, type letter, size, decimals} in file
// order) and indexes (names; empty while the engine opens no index).
#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

namespace dbf {
class TTable;
}

namespace dbftool {

nlohmann::ordered_json TableInfo(dbf::TTable& table);
void RunInfo(const std::string& tablePath, std::ostream& out);

// "dBASE III", "dBASE IV", "dBASE 7" or "FoxPro" for levels 3, 4, 7 and 25.
std::string DialectName(int level);

}  // namespace dbftool
