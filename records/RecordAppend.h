// The all-or-nothing rule shared by every record input: a record is built in
// the insert (or edit) state and posted only when every value was taken; a
// step that fails cancels it, so nothing of it is written, and the failure is
// reported with the number of the input line the record came from.
#pragma once

#include "records/InputError.h"

#include "dataset/ConvertError.h"
#include "dataset/DatabaseError.h"
#include "dbf/common.h"
#include "dbf/table.h"

namespace records {

// Posts the record being built or edited, or cancels it when any step fails.
template <typename Fill>
void PostOrCancel(dbf::TTable& table, Fill fill) {
    try {
        fill();
        table.Post();
    } catch (...) {
        if (table.State() == ds::dsEdit || table.State() == ds::dsInsert) table.Cancel();
        throw;
    }
}

// Appends one record filled by fill and counts it. A value or a record the
// table refuses (the engine's, the dataset's or the reader's failure) becomes
// ELineError(lineNo); anything else is no fault of the input and passes.
template <typename Fill>
void AppendRecordOfLine(dbf::TTable& table, long lineNo, long& appended, Fill fill) {
    try {
        table.Append();
        PostOrCancel(table, fill);
    } catch (const ELineError&) {
        throw;
    } catch (const EInputError& error) {
        throw ELineError(lineNo, error.what());
    } catch (const dbf::ETableError& error) {
        throw ELineError(lineNo, error.what());
    } catch (const ds::EDatabaseError& error) {
        throw ELineError(lineNo, error.what());
    } catch (const ds::EConvertError& error) {
        throw ELineError(lineNo, error.what());
    }
    ++appended;
}

}  // namespace records
