// TTable: the header facts of the open table and of its memo file, as copies.
#include "dbf/table.h"

#include "dbf/table_file_layout.h"

namespace dbf {

TTableHeaderFacts TTable::HeaderFacts() const {
    TTableHeaderFacts facts;
    if (!FTableFile || FTableFile->HeaderSize() < layout::kHeaderSize) return facts;
    const uint8_t* header = FTableFile->Header();
    facts.VersionByte = header[layout::kVersionOffset];
    facts.HeaderSize = FTableFile->HeaderSize();
    facts.RecordSize = FTableFile->RecordSize();
    facts.Year = 1900 + header[layout::kYearOffset];
    facts.Month = header[layout::kMonthOffset];
    facts.Day = header[layout::kDayOffset];
    if (const TMemoFile* memo = FTableFile->MemoFile()) {
        facts.HasMemo = true;
        facts.MemoFileName = memo->FileName();
        facts.MemoBlockSize = memo->GetBlockLen();
    }
    return facts;
}

}  // namespace dbf
