#include "MaintenanceCommands.h"

#include "TableAccess.h"

#include "dbf/dbf.h"

namespace dbftool {

void RunPack(const std::string& tablePath) {
    std::unique_ptr<dbf::TDbf> table = OpenTable(tablePath, TAccess::Exclusive, false);
    table->PackTable();
}

void RunZap(const std::string& tablePath) {
    std::unique_ptr<dbf::TDbf> table = OpenTable(tablePath, TAccess::Exclusive, false);
    table->Zap();
}

}  // namespace dbftool
