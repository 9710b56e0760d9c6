// Helpers of the dbftool tests: the tool's commands as calls that expect
// success, the dump in the order the peers print records in, and the
// value-by-value comparison of two readings of one table.
#pragma once

#include "ToolRunner.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace dbftool_test {

using Json = nlohmann::ordered_json;

// The tool's commands; each expects exit status 0 and no message.
void CreateTable(const std::string& table, int level, const std::vector<std::string>& fieldsAndOptions);
void AppendLines(const std::string& table, const std::string& jsonLines);
std::vector<Json> Dump(const std::string& table, bool withDeleted = false);
Json Info(const std::string& table);

// The records of dump --deleted as the peers print them: the live records in
// file order, then the deleted ones, each with "_deleted" and without "_recno".
std::vector<Json> InPeerOrder(const std::vector<Json>& dumpWithDeleted);

// Two readings agree when they have the same records with the same fields in
// the same order, and equal values: numbers by value (an integer equals the
// same float, floats within a relative 1e-9), everything else exactly.
void ExpectSameRecords(const std::vector<Json>& ours, const std::vector<Json>& peers, const std::string& context);

// The table's text code page as a Python/Perl encoding name, e.g. "cp1252".
std::string EncodingOf(const std::string& table);

// Size of a file in bytes; -1 when it does not exist.
long long FileSize(const std::string& path);

}  // namespace dbftool_test
