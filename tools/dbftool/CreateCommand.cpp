#include "CreateCommand.h"

#include "FieldArgument.h"
#include "TableAccess.h"

#include "dbf/table.h"

namespace dbftool {

void RunCreate(const TRequest& request) {
    // Every argument is checked before anything touches the disk.
    std::vector<TFieldSpec> specs;
    for (const std::string& text : request.FieldSpecs) specs.push_back(ParseFieldSpec(text));
    dbf::TFieldDescriptors defs(VersionOfLevel(request.Level));
    for (const TFieldSpec& spec : specs) AddFieldDef(spec, defs);

    std::unique_ptr<dbf::TTable> table = NewTable(request.Table);
    table->SetTableLevel(request.Level);
    if (request.LanguageId) table->SetLanguageID(static_cast<uint8_t>(*request.LanguageId));
    table->CreateTableEx(&defs);
}

}  // namespace dbftool
