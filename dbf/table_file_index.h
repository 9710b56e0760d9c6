// TTableIndexHook: what a table file asks of an index file that it keeps up to
// date. The table file owns its index files through this interface only, so
// index files plug in without the table knowing their format.
//
// Contract:
// - Insert and Update answer false when the new key violates the index
//   (a duplicate in a unique index) and leave the index unchanged then; the
//   table undoes its work in the other index files and calls
//   RaiseKeyViolation, which throws the index's own key-violation error.
// - Delete removes the key of the record image; it is also the undo of Insert.
// - WriteError reports that a write of the index failed (sticky until the
//   table resets the index with ResetError).
// - TryExclusive/EndExclusive switch the index file's sharing along with the table.
#pragma once

#include <cstdint>

namespace dbf {

class TTableIndexHook {
public:
    virtual ~TTableIndexHook() = default;

    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual void TryExclusive() = 0;
    virtual void EndExclusive() = 0;

    virtual bool Insert(int32_t recNo, const uint8_t* record) = 0;
    virtual bool Update(int32_t recNo, const uint8_t* oldRecord, const uint8_t* newRecord) = 0;
    virtual void Delete(int32_t recNo, const uint8_t* record) = 0;
    [[noreturn]] virtual void RaiseKeyViolation() = 0;

    virtual bool WriteError() const = 0;
    virtual void ResetError() = 0;
};

}  // namespace dbf
