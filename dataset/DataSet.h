// TDataSet: the abstract dataset. It presents a set of records as typed field
// objects, a current record, a state and the operations to open, close, move,
// edit, insert, post, cancel and delete, and keeps its data-aware controls
// (TDataSource / TDataLink) in step with all of that.
//
// The framework owns the generic behaviour: the state machine with its before
// and after events, the ring of record buffers, Bof/Eof, resynchronisation and
// control notification. A concrete dataset (a table) plugs in by overriding the
// protected Internal* operations and the record-buffer primitives below; it
// knows its record layout, the framework only holds the buffers.
//
// The record buffer ring. BufferCount() buffers hold consecutive records of
// the dataset's order, BufferedRecordCount() of them filled, one of them
// (ActiveRecord()) the current record; one more buffer is the spare a fetch
// uses while the ring is full. BufferCount grows with the largest BufferCount
// of the attached data links (a grid showing several rows). The subclass's
// cursor is kept positioned on one of the buffered records (or is marked
// unknown by CursorPosChanged); before an operation that relies on the cursor
// the framework re-positions it with UpdateCursorPos, which uses the buffer's
// bookmark flag: bfCurrent and bfInserted buffers call InternalSetToRecord,
// bfBOF InternalFirst, bfEOF InternalLast.
//
// What the subclass provides:
// - InternalOpen: open the storage, build FieldDefs (InitFieldDefs), create
//   the default fields when DefaultFields() (CreateFields), BindFields(true),
//   and leave the cursor before the first record. InternalClose undoes it
//   (BindFields(false), DestroyFields when DefaultFields()). Any exception from
//   InternalOpen makes Open call InternalClose and re-raise.
// - AllocRecordBuffer: a buffer of the subclass's layout (bookmark, bookmark
//   flag, record image, then CalcFieldsSize() bytes of calculated fields).
// - GetRecord(buffer, mode, doCheck): fetch the current/next/prior record into
//   buffer, answering grOK, grBOF, grEOF or grError; call GetCalcFields(buffer)
//   for a fetched record.
// - The bookmark primitives, InternalFirst/Last/SetToRecord/GotoBookmark,
//   InternalInitRecord, InternalEdit/Post/Cancel/AddRecord/Delete/Refresh.
// - GetFieldData/SetFieldData in the value-buffer forms documented in
//   Field.h; SetFieldData must end with DataEvent(deFieldChange, {field})
//   unless the state is dsCalcFields, dsFilter or dsNewValue.
// - CreateBlobStream for blob and memo fields, GetCanModify, IsCursorOpen,
//   and optionally GetRecNo/SetRecNo/GetRecordCount.
//
// Failures are EDatabaseError with "<Name>: <message>" (plain message without
// a name). A failing Post leaves the dataset in its edit or insert state with
// its changes; a failing move leaves the current record where it was.
#pragma once

#include "dataset/DataSetTypes.h"
#include "dataset/FieldDefs.h"
#include "dataset/Fields.h"
#include "dataset/Stream.h"
#include "dataset/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ds {

class TDataSource;
class TDataLink;

struct TDataEventInfo {
    TField* Field = nullptr;  // deFieldChange, deFocusControl
    int Distance = 0;         // deDataSetScroll: how far the buffered records moved (negative: towards lower indexes)
};

class TDataSet {
public:
    using TNotifyEvent = std::function<void(TDataSet&)>;

    TDataSet();
    // A subclass's destructor must Close() the dataset: once the base
    // destructor runs, the subclass's Internal* operations are gone.
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }

    // Opening and closing.
    void Open();
    void Close();
    bool Active() const { return FState != dsInactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    TDataSetState State() const { return FState; }

    // Field definitions and field objects.
    TFieldDefs& FieldDefs() { return FFieldDefs; }
    TFields& Fields() { return FFields; }
    int FieldCount() const { return FFields.Count(); }
    TField& FieldByName(const std::string& name) const { return FFields.FieldByName(name); }
    TField* FindField(const std::string& name) const { return FFields.FindField(name); }
    // Rebuilds FieldDefs from the storage (InternalInitFieldDefs) and marks them updated.
    void InitFieldDefs();

    // Navigation. Every move first runs CheckBrowseMode.
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves up to |distance| records and answers how many were moved (signed).
    int MoveBy(int distance);
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    bool IsEmpty() const { return FBufferedCount == 0; }
    int RecNo() { return GetRecNo(); }
    int RecordCount() { return GetRecordCount(); }
    virtual int GetRecNo() { return -1; }
    virtual void SetRecNo(int /*value*/) {}
    virtual int GetRecordCount() { return -1; }

    // Bookmarks. GetBookmark answers an empty bookmark when no record is current.
    TBookmark GetBookmark();
    void GotoBookmark(const TBookmark& bookmark);
    virtual bool BookmarkValid(const TBookmark& bookmark);
    // An empty bookmark sorts after every present one; the default orders the
    // bookmark bytes, a subclass orders by its own meaning.
    virtual int CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2);

    // Re-reads the record at the cursor (or, failing that, the next, then the
    // prior one) and refills the ring around it. With rmExact a missing record
    // raises "Record not found"; with rmCenter it is placed mid-ring.
    virtual void Resync(TResyncMode mode = 0);
    void Refresh();
    // Puts the subclass's cursor on the active record.
    void UpdateCursorPos();
    // Forgets which buffered record the cursor stands on.
    void CursorPosChanged() { FCurrentRecord = -1; }

    // Editing.
    void Edit();
    void Insert() { BeginInsertAppend(false); }
    void Append() { BeginInsertAppend(true); }
    void Post();
    void Cancel();
    void Delete();
    void AppendRecord(const std::vector<TVariant>& values) { AddRecordWithValues(values, true); }
    void InsertRecord(const std::vector<TVariant>& values) { AddRecordWithValues(values, false); }
    // Lets the controls hand over their input, then posts a modified record or
    // cancels an unmodified one (in edit or insert state).
    void CheckBrowseMode();
    // Asks the controls to write their pending input into the fields.
    void UpdateRecord();
    bool Modified() const { return FModified; }
    bool CanModify() { return GetCanModify(); }

    // Control notification.
    void DisableControls() { ++FDisableCount; }
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }
    // Reports an event to the dataset's own bookkeeping and, unless controls
    // are disabled, to every data source and link. Subclasses and blob streams
    // report field changes through it.
    void DataEvent(TDataEvent event, TDataEventInfo info = {});

    // Value routing, called by the field objects (see Field.h for the forms).
    virtual bool GetFieldData(TField* field, void* buffer, bool nativeFormat) = 0;
    bool GetFieldData(TField* field, void* buffer) { return GetFieldData(field, buffer, true); }
    virtual void SetFieldData(TField* field, const void* buffer, bool nativeFormat) = 0;
    // A stream over the content of a blob or memo field of the current record.
    // Dropping the stream releases it; the subclass decides what that commits.
    virtual std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode);
    // Converts zero-terminated text between the storage's code page (toOem
    // false: from it) and the program's ANSI code page; answers the length.
    // The default copies.
    virtual int Translate(const char* source, char* dest, bool toOem);
    // Between the program's strings (UTF-8) and single-byte ANSI text; the
    // defaults pass the bytes through unchanged.
    virtual std::string AnsiFromText(const std::string& text) { return text; }
    virtual std::string TextFromAnsi(const std::string& ansi) { return ansi; }

    TNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TNotifyEvent BeforeScroll, AfterScroll;
    TNotifyEvent BeforeEdit, AfterEdit, BeforeInsert, AfterInsert;
    TNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TNotifyEvent BeforeDelete, AfterDelete;
    TNotifyEvent OnNewRecord, OnCalcFields;

protected:
    // Storage operations the subclass supplies.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual void InternalInitFieldDefs() = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual TRecordBufferPtr AllocRecordBuffer() = 0;
    virtual TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalSetToRecord(TRecordBuffer buffer) = 0;
    virtual void GetBookmarkData(TRecordBuffer buffer, char* data) = 0;
    virtual void SetBookmarkData(TRecordBuffer buffer, const char* data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) = 0;
    virtual void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) = 0;
    virtual void InternalGotoBookmark(const char* bookmark) = 0;
    virtual void InternalInitRecord(TRecordBuffer buffer) = 0;
    virtual void InternalEdit() {}
    virtual void InternalPost() = 0;
    virtual void InternalCancel() {}
    virtual void InternalAddRecord(TRecordBuffer buffer, bool append) = 0;
    virtual void InternalDelete() = 0;
    virtual void InternalRefresh() {}
    virtual bool GetCanModify() { return true; }
    // Zeroes the calculated-field area of a buffer before OnCalcFields fills it.
    virtual void ClearCalcFields(TRecordBuffer /*buffer*/) {}

    // Field objects.
    bool DefaultFields() const { return FDefaultFields; }
    void CreateFields();
    void DestroyFields();
    // Connects the field objects to FieldDefs (FieldNo, calculated-field
    // offsets) or disconnects them; a data field without a definition raises.
    void BindFields(bool binding);
    int CalcFieldsSize() const { return FCalcFieldsSize; }
    // Computes the calculated fields of a fetched record buffer.
    void GetCalcFields(TRecordBuffer buffer);

    // The record buffers.
    int BookmarkSize() const { return FBookmarkSize; }
    void SetBookmarkSize(int size) { FBookmarkSize = size; }
    TRecordBuffer ActiveBuffer() const { return FBuffers[static_cast<size_t>(FActiveRecord)].get(); }
    TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
    int ActiveRecord() const { return FActiveRecord; }
    int BufferCount() const { return FBufferCount; }
    int BufferedRecordCount() const { return FBufferedCount; }
    TRecordBuffer Buffer(int index) const { return FBuffers.at(static_cast<size_t>(index)).get(); }

    // States. SetState notifies the controls; a temporary state does not.
    void SetState(TDataSetState state);
    TDataSetState SetTempState(TDataSetState state);
    void RestoreState(TDataSetState state) { FState = state; }
    void SetModified(bool modified) { FModified = modified; }
    // For moves the subclass makes itself (set record number, locate, find).
    void DoBeforeScroll() { RunEvent(BeforeScroll); }
    void DoAfterScroll() { RunEvent(AfterScroll); }

    void CheckActive() const;
    void CheckInactive() const;
    void CheckCanModify();

private:
    friend class TDataSource;
    friend class TDataLink;

    void RunEvent(const TNotifyEvent& event) { if (event) event(*this); }
    void CloseCursorQuietly() noexcept;

    // The ring (DataSetBuffers.cpp).
    void AllocateBuffers();
    void FreeBuffers();
    void SetBufferCount(int count);
    void UpdateBufferCount();
    void ClearBuffers();
    void SetCurrentRecord(int index);
    void MoveBuffer(int from, int to);
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    bool StepForward(int& shift);
    bool StepBackward(int& shift);
    void FillAroundActive(int recordsBefore);
    void ShrinkRing(int count);
    void FetchFirstRecords();

    // Editing helpers (DataSetEditing.cpp).
    void BeginInsertAppend(bool append);
    void PlaceNewRecord(bool append);
    void AddRecordWithValues(const std::vector<TVariant>& values, bool append);
    void CheckRequiredFields();

    // Notification helpers.
    void NotifyDataSources(TDataEvent event, TDataEventInfo info);
    void DataEventWhileDisabled(TDataEvent event);

    std::string FName;
    TDataSetState FState = dsInactive;
    TFieldDefs FFieldDefs;
    TFields FFields;
    bool FDefaultFields = false;
    int FCalcFieldsSize = 0;
    TRecordBuffer FCalcBuffer = nullptr;

    std::vector<TRecordBufferPtr> FBuffers;  // FBufferCount buffers of the ring, then the spare
    int FBufferCount = 1;
    int FBufferedCount = 0;   // buffers 0 .. FBufferedCount-1 hold records
    int FActiveRecord = 0;
    int FCurrentRecord = -1;  // buffer the cursor stands on; -1 unknown
    int FBookmarkSize = 0;
    bool FBOF = true;
    bool FEOF = true;
    bool FModified = false;

    std::vector<TDataSource*> FDataSources;
    int FDisableCount = 0;
    // What the controls missed while disabled, told on EnableControls.
    bool FPendingStateChange = false;
    bool FPendingLayoutChange = false;
    bool FPendingDataChange = false;
};

}  // namespace ds
