#include "DumpCommand.h"

#include "EvalCommand.h"
#include "ExpressionError.h"
#include "JsonOutput.h"
#include "TableAccess.h"

#include "dbf/table.h"
#include "records/JsonValues.h"

namespace dbftool {

nlohmann::ordered_json CurrentRecord(dbf::TTable& table, bool withDeleted) {
    nlohmann::ordered_json record;
    record["_recno"] = table.PhysicalRecNo();
    if (withDeleted) record["_deleted"] = table.IsDeleted();
    for (int i = 0; i < table.FieldCount(); ++i) {
        const ds::TField& field = table.Fields()[i];
        record[field.FieldName()] = records::FieldToJson(field);
    }
    return record;
}

void RunDump(const std::string& tablePath, bool withDeleted, const TExpressionRequest& filter, std::ostream& out) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::ReadOnly, withDeleted);
    CompileOrExplain(filter.Text, [&] {
        table->SetFilterOptions(FilterOptionsOf(filter));
        table->SetFilter(filter.Text);
    });
    table->SetFiltered(true);
    for (table->First(); !table->Eof(); table->Next()) WriteJsonLine(CurrentRecord(*table, withDeleted), out);
    out.flush();
}

}  // namespace dbftool
