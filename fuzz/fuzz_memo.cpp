// Fuzz target: a memo file made of arbitrary bytes beside a valid table.
// The first input byte picks the sample table (dBASE III, IV, VII or
// FoxPro), the rest is its memo file. Every field is read, a memo longer
// than any before is stored (so it goes to the end of the damaged file) and
// the table is read once more.
#include "FuzzSupport.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const fuzz::TScratchFolder folder;
    const fuzz::TSampleTable& sample = fuzz::SampleTable(data[0]);
    fuzz::WriteFile(folder.File("t.dbf"), sample.Table);
    fuzz::WriteFile(folder.File("t" + sample.MemoExtension), data + 1, size - 1);

    dbf::TTable table;
    table.SetFilePath(folder.Path());
    table.SetTableName("t.dbf");
    table.SetExclusive(true);
    table.SetShowDeleted(true);
    if (!fuzz::ExpectingEngineFailures([&] { table.Open(); })) return 0;
    fuzz::ExpectingEngineFailures([&] { fuzz::ReadEveryField(table); });
    fuzz::ExpectingEngineFailures([&] {
        table.First();
        table.Edit();
        table.FieldByName("TEXT").SetAsString(std::string(2000, 'm'));
        table.Post();
    });
    fuzz::ExpectingEngineFailures([&] { fuzz::ReadEveryField(table); });
    return 0;
}
