// Fuzz target: the JSON Lines input of "dbftool append". The first input
// byte picks the sample table (dBASE III, IV, VII or FoxPro), the rest is
// the input. Each line goes through the tool's own value conversion
// (ApplyObject, JsonToField) into a record that is posted, or cancelled when
// a value is refused, as the command does. A refusal must be one of the
// tool's or the engine's errors; afterwards the table must hold exactly one
// new record per posted line, and every field must read back.
#include "FuzzSupport.h"

#include "tools/dbftool/EditCommands.h"
#include "tools/dbftool/ToolError.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// One input line as the command takes it; answers whether a record was posted.
bool AppendLine(dbf::TTable& table, const std::string& line) {
    nlohmann::json object;
    try {
        object = nlohmann::json::parse(line);
    } catch (const nlohmann::json::exception&) {
        return false;  // not JSON, or a number beyond a double (the command reports the line)
    }
    if (!object.is_object()) return false;
    table.Append();
    bool posted = false;
    try {
        posted = fuzz::ExpectingEngineFailures([&] {
            dbftool::ApplyObject(object, table);
            table.Post();
        });
    } catch (const dbftool::TToolError&) {
    }
    if (!posted) table.Cancel();
    return posted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const fuzz::TScratchFolder folder;
    const fuzz::TSampleTable& sample = fuzz::SampleTable(data[0]);
    fuzz::WriteFile(folder.File("t.dbf"), sample.Table);
    fuzz::WriteFile(folder.File("t" + sample.MemoExtension), sample.Memo);

    dbf::TTable table;
    table.SetFilePath(folder.Path());
    table.SetTableName("t.dbf");
    table.SetShowDeleted(true);
    table.Open();
    const int before = table.PhysicalRecordCount();
    int posted = 0;
    std::istringstream input(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    for (std::string line; std::getline(input, line);) posted += AppendLine(table, line) ? 1 : 0;
    if (table.PhysicalRecordCount() != before + posted) std::abort();
    fuzz::ReadEveryField(table);
    return 0;
}
