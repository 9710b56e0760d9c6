// Fuzz target: a table file made of arbitrary bytes. The table is opened
// from memory, every field of every record is read, a blank record is
// appended and the table is read once more.
#include "FuzzSupport.h"

#include "dbf/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dbf::TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    dbf::TTable table;
    table.SetStorage(dbf::stoMemory);
    table.SetUserStream(&stream);
    table.SetShowDeleted(true);
    // Both ways of exchanging level-7 time stamps, chosen by the input's length.
    table.SetDateTimeHandling(size % 2 ? dbf::dtDateTime : dbf::dtBDETimeStamp);
    if (!fuzz::ExpectingEngineFailures([&] { table.Open(); })) return 0;
    fuzz::ExpectingEngineFailures([&] { fuzz::ReadEveryField(table); });
    fuzz::ExpectingEngineFailures([&] {
        table.Append();
        table.Post();
    });
    fuzz::ExpectingEngineFailures([&] { fuzz::ReadEveryField(table); });
    return 0;
}
