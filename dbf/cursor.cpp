#include "dbf/cursor.h"

#include "dbf/table_file.h"

namespace dbf {

TTableCursor::TTableCursor(TTableFile& file) : TVirtualCursor(&file) {}

int32_t TTableCursor::GetSequentialRecordCount() { return File()->GetRecordCount(); }

bool TTableCursor::Next() {
    if (File()->IsRecordPresent(FPhysicalRecNo)) {
        ++FPhysicalRecNo;
        return File()->IsRecordPresent(FPhysicalRecNo);
    }
    FPhysicalRecNo = File()->GetRecordCount() + 1;
    return false;
}

bool TTableCursor::Prev() {
    if (FPhysicalRecNo < 1) {
        FPhysicalRecNo = 0;
        return false;
    }
    --FPhysicalRecNo;
    return FPhysicalRecNo > 0;
}

void TTableCursor::Last() {
    const int32_t count = File()->GetRecordCount();
    FPhysicalRecNo = count > 0 ? count + 1 : 0;
}

}  // namespace dbf
