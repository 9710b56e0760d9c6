// The all-or-nothing rule shared by every record input: a record is built in
// the insert (or edit) state and posted only when every value was taken; a
// step that fails cancels it, so nothing of it is written, and the failure is
// reported with the number of the input line the record came from.
#pragma once

#include "records/InputError.h"

#include "dbf/table.h"

#include <exception>

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

// Appends one record filled by fill; any failure becomes ELineError(lineNo).
template <typename Fill>
void AppendRecordOfLine(dbf::TTable& table, long lineNo, Fill fill) {
    try {
        table.Append();
        PostOrCancel(table, fill);
    } catch (const ELineError&) {
        throw;
    } catch (const std::exception& error) {
        throw ELineError(lineNo, error.what());
    }
}

}  // namespace records
