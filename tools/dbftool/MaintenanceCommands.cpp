#include "MaintenanceCommands.h"

#include "TableAccess.h"

#include "dbf/table.h"

namespace dbftool {

void RunPack(const std::string& tablePath) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Exclusive, false);
    table->PackTable();
}

void RunZap(const std::string& tablePath) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Exclusive, false);
    table->Zap();
}

}  // namespace dbftool
