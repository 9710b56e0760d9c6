// Fuzz target: the input of "dbftool append", JSON Lines and CSV. Bits 0-1
// of the first input byte pick the sample table (dBASE III, IV, VII or
// FoxPro), bit 2 the format (set: CSV), the rest is the input. It goes
// through the readers the command uses (AppendJsonLines, AppendCsv): each
// line or row becomes a record that is posted, or cancelled when a value is
// refused. A refusal must be a line error of the reader; afterwards the
// table must hold exactly one new record per appended line, and every field
// must read back.
#include "FuzzSupport.h"

#include "records/CsvRecords.h"
#include "records/InputError.h"
#include "records/JsonLines.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

constexpr uint8_t kCsvBit = 4;

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
    long appended = 0;
    std::istringstream input(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    try {
        if (data[0] & kCsvBit)
            records::AppendCsv(table, input, appended);
        else
            records::AppendJsonLines(table, input, appended);
    } catch (const records::ELineError&) {
        // the input's fault, reported with its line; the lines before it stay
    }
    if (table.PhysicalRecordCount() != before + appended) std::abort();
    fuzz::ReadEveryField(table);
    return 0;
}
