// dbftool dump: every record the walk visits as one JSON object per line:
// "_recno" (the physical record number), "_deleted" when deleted records are
// asked for (they are then visited too), then each field by its name in file
// order, shaped by JsonValues. With a filter expression only the records it
// selects are visited; it is compiled as the table's filter with the filter
// options asked for, and a compile error fails the command before any output.
#pragma once

#include "CommandLine.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

namespace dbf {
class TTable;
}

namespace dbftool {

nlohmann::ordered_json CurrentRecord(dbf::TTable& table, bool withDeleted);
void RunDump(const std::string& tablePath, bool withDeleted, const TExpressionRequest& filter, std::ostream& out);

}  // namespace dbftool
