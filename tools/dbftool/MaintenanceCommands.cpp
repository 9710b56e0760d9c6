#include "MaintenanceCommands.h"

#include "TableAccess.h"
#include "ToolError.h"

#include "dbf/dbf.h"

namespace dbftool {

// The table object does not offer packing and emptying yet.
void RunPack(const std::string& tablePath) {
    std::unique_ptr<dbf::TDbf> table = OpenTable(tablePath, TAccess::Exclusive, false);
    throw TToolError("pack: the table object cannot pack tables yet.");
}

void RunZap(const std::string& tablePath) {
    std::unique_ptr<dbf::TDbf> table = OpenTable(tablePath, TAccess::Exclusive, false);
    throw TToolError("zap: the table object cannot empty tables yet.");
}

}  // namespace dbftool
