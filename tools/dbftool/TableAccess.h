// How the commands reach a table: a TTable opened on the path the user gave, in
// the access the command needs, and positioned on a physical record.
//
// Contract: paths are taken relative to the working folder (the table object
// itself would take them relative to the program's folder). Opening failures
// are the engine's. ReadOnly opens for info and dump; Shared opens as the
// trainer does, beside other processes; Exclusive opens shared and then asks
// for exclusive access, which stays shared when another process holds the
// table (the maintenance operation then refuses with the engine's message).
#pragma once

#include "dbf/table.h"

#include <memory>
#include <string>
#include <vector>

namespace dbftool {

enum class TAccess { ReadOnly, Shared, Exclusive };

// The absolute form of a table path given on the command line.
std::string AbsoluteTablePath(const std::string& path);

// The code page of the text of tables whose header names none, for every
// table object made from now on (--codepage); 0 keeps the engine's default.
void SetDefaultCodePage(int codePage);

// A closed table object for the path.
std::unique_ptr<dbf::TTable> NewTable(const std::string& path);

std::unique_ptr<dbf::TTable> OpenTable(const std::string& path, TAccess access, bool showDeleted);

// Makes physical record recNo the current record; raises TToolError when the
// table has no such record. The table must show deleted records.
void GotoRecord(dbf::TTable& table, int recNo);

// Raises TToolError unless every number names a record of the table.
void CheckRecordsExist(dbf::TTable& table, const std::vector<int>& recNos);

}  // namespace dbftool
