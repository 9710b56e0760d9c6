// TDbf: the header facts of the open table and of its memo file, as copies.
#include "dbf/dbf.h"

#include "dbf/dbf_dbffile_layout.h"

namespace dbf {

TDbfHeaderFacts TDbf::HeaderFacts() const {
    TDbfHeaderFacts facts;
    if (!FDbfFile || FDbfFile->HeaderSize() < layout::kHeaderSize) return facts;
    const uint8_t* header = FDbfFile->Header();
    facts.VersionByte = header[layout::kVersionOffset];
    facts.HeaderSize = FDbfFile->HeaderSize();
    facts.RecordSize = FDbfFile->RecordSize();
    facts.Year = 1900 + header[layout::kYearOffset];
    facts.Month = header[layout::kMonthOffset];
    facts.Day = header[layout::kDayOffset];
    if (const TMemoFile* memo = FDbfFile->MemoFile()) {
        facts.HasMemo = true;
        facts.MemoFileName = memo->FileName();
        facts.MemoBlockSize = memo->GetBlockLen();
    }
    return facts;
}

}  // namespace dbf
