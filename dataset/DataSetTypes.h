// The small shared vocabulary of the dataset framework: field data types,
// dataset states, the answers a dataset gives when it fetches a record, the
// bookmark flags of record buffers, blob stream modes and the notifications
// that travel from a dataset through its data sources to the data links.
// The numeric values are fixed: subclasses store some of them in their record
// buffers and the engine shows field type numbers in messages.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace ds {

// The data types of fields, numbered as in the classic dataset framework;
// the engine exchanges its values under them too (dbf/field_type.h).
enum TFieldType : int {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
    ftBytes = 12,
    ftVarBytes = 13,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftGraphic = 17,
    ftFmtMemo = 18,
    ftParadoxOle = 19,
    ftDBaseOle = 20,
    ftTypedBinary = 21,
    ftCursor = 22,
    ftFixedChar = 23,
    ftWideString = 24,
    ftLargeint = 25,
};

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsCalcFields,
    dsFilter,
    dsNewValue,
};

// Field kinds: data fields live in the record image, calculated fields in the
// calculated-field area of a record buffer and are filled by OnCalcFields.
enum TFieldKind { fkData, fkCalculated };

// Direction of a fetch requested from GetRecord.
enum TGetMode { gmCurrent, gmNext, gmPrior };

// Answer of GetRecord.
enum TGetResult { grOK = 0, grBOF = 1, grEOF = 2, grError = 3 };

// What a record buffer holds: a fetched record, the positions before the first
// and behind the last record, or a record being inserted.
enum TBookmarkFlag : uint8_t { bfCurrent = 0, bfBOF = 1, bfEOF = 2, bfInserted = 3 };

enum TBlobStreamMode { bmRead = 0, bmWrite = 1, bmReadWrite = 2 };

enum TDataEvent {
    deFieldChange,       // a field value of the active record changed (field given)
    deRecordChange,      // the active record was re-read or changed as a whole
    deDataSetChange,     // the buffered records were rebuilt
    deDataSetScroll,     // the buffered records moved by a distance
    deLayoutChange,      // fields or their order changed
    deUpdateRecord,      // controls must hand their pending text to the fields
    deUpdateState,       // the dataset's state changed
    deCheckBrowseMode,   // the dataset is about to leave edit or insert state
    deFocusControl,      // a control bound to the field should take the focus
};

// How Resync finds the record to show: exactly the cursor's record (or fail
// with "Record not found"), and with it centred among the buffered records.
enum TResyncModeFlag : unsigned { rmExact = 1, rmCenter = 2 };
using TResyncMode = unsigned;

// A point in time: whole days since 30 December 1899, the fraction being the
// time of day.
using TDateTime = double;

// A bookmark: the subclass-defined bytes that identify one record; empty means none.
using TBookmark = std::vector<char>;

// A record buffer as the subclass lays it out; the framework only keeps it.
using TRecordBuffer = char*;
using TRecordBufferPtr = std::unique_ptr<char[]>;

}  // namespace ds
