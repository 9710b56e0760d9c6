// The editing commands of dbftool, each on a table opened shared:
// - append: one new record per JSON Lines object (records/JsonLines.h) or,
//   with --csv, per row of a CSV catalogue (records/CsvRecords.h). Each
//   record is built in the insert state and posted only when every value
//   was taken; a line that fails is cancelled, so nothing of it is written,
//   and stops the command with "line N: <reason>". Earlier lines stay.
// - update: the fields of one JSON object set in one record, posted together.
// - delete / recall: the deletion mark put on or taken off records.
// Keys of the objects are field names in any case; "_recno", which dump
// prints, and "_comment" are skipped unless the table has a field of that
// name. Record
// numbers are physical numbers; every one is checked before anything changes.
#pragma once

#include "CommandLine.h"

#include <istream>
#include <string>
#include <vector>

namespace dbftool {

void RunAppend(const std::string& tablePath, std::istream& input, TInputFormat format);
// FILE of the command line: standard input when empty or "-".
void RunAppend(const std::string& tablePath, const std::string& inputFile, TInputFormat format);
void RunUpdate(const std::string& tablePath, int recNo, const std::string& json);
void RunDelete(const std::string& tablePath, const std::vector<int>& recNos);
void RunRecall(const std::string& tablePath, const std::vector<int>& recNos);

}  // namespace dbftool
