#include "dbf/dbf_cursor.h"

#include "dbf/dbf_dbffile.h"

namespace dbf {

TDbfCursor::TDbfCursor(TDbfFile& file) : TVirtualCursor(&file) {}

int32_t TDbfCursor::GetSequentialRecordCount() { return File()->GetRecordCount(); }

bool TDbfCursor::Next() {
    if (File()->IsRecordPresent(FPhysicalRecNo)) {
        ++FPhysicalRecNo;
        return File()->IsRecordPresent(FPhysicalRecNo);
    }
    FPhysicalRecNo = File()->GetRecordCount() + 1;
    return false;
}

bool TDbfCursor::Prev() {
    if (FPhysicalRecNo < 1) {
        FPhysicalRecNo = 0;
        return false;
    }
    --FPhysicalRecNo;
    return FPhysicalRecNo > 0;
}

void TDbfCursor::Last() {
    const int32_t count = File()->GetRecordCount();
    FPhysicalRecNo = count > 0 ? count + 1 : 0;
}

}  // namespace dbf
