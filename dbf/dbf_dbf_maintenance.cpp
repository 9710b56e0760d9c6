// TDbf: operations on the table as a whole: the whole-table lock and the
// switch to exclusive access and back.
#include "dbf/dbf.h"

namespace dbf {

bool TDbf::LockTable(bool wait) {
    CheckActive();
    return FDbfFile->LockTable(wait);
}

void TDbf::UnlockTable() {
    CheckActive();
    FDbfFile->UnlockTable();
}

// Afterwards Exclusive and ReadOnly tell the mode the file really has.
void TDbf::TryExclusive() {
    CheckActive();
    FDbfFile->TryExclusive();
    FExclusive = !FDbfFile->IsSharedAccess();
    FReadOnly = FDbfFile->Mode() == pfReadOnly;
}

void TDbf::EndExclusive() {
    CheckActive();
    FDbfFile->EndExclusive();
    FExclusive = !FDbfFile->IsSharedAccess();
    FReadOnly = FDbfFile->Mode() == pfReadOnly;
}

}  // namespace dbf
