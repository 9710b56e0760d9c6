// TTable: the table object of the dBASE engine. It presents one dBASE table (a
// .dbf file with its memo file) as a dataset of the dataset framework: typed
// field objects, a current record, the states closed, browse, edit and insert,
// and the operations to open, create, close, move, edit, read and write values.
//
// Contract:
// - Properties that locate or shape the table (FilePath, TableLevel,
//   LanguageID) and CreateTable need the closed state; at run time they fail
//   with "Cannot perform this operation on an open dataset". Dataset-level
//   errors carry the object's name as a "%s: %s" prefix; engine errors
//   (ETableError, ETableWriteError) come unprefixed.
// - Paths follow the Linux rules: a folder path keeps a trailing "/", a full
//   path starts with "/", a relative folder is taken from the program's folder.
// - Opening never creates a table in omNormal mode; omAutoCreate and
//   omTemporary create a missing one (BeforeAutoCreate may decline, and the
//   open then fails like one of a missing file). A failed open leaves nothing open.
// - Walks skip deleted records unless ShowDeleted is set; records another
//   process appends become reachable during a walk in shared mode.
// - Text crosses the object as the program's UTF-8 strings; inside the
//   framework's value buffers it is single-byte text in the system ANSI code
//   page, and Translate converts it to and from the table's code page.
//   Text that those code pages cannot hold is never replaced silently: the
//   write fails with ETableError naming the character (StorePlainForms).
// - Memo texts go through one cached stream per memo field (TTableBlobStream)
//   and reach the memo file when the record is posted.
// - A filter (Filter, a dBASE expression; FilterOptions) is compiled when it
//   is set on an open table or when the table opens; a text that does not
//   compile raises at once and leaves the previous filter in force. While
//   Filtered is set, walks, counts and searches see only the records the
//   expression accepts and OnFilterRecord then lets pass; FindRecord always
//   applies them (dbf/table_filter.h).
// - Index order is not part of this object yet: no index is ever selected,
//   so the cursor is always the physical one.
#pragma once

#include "dataset/DataSet.h"
#include "dbf/common.h"
#include "dbf/cursor.h"
#include "dbf/index_def.h"
#include "dbf/table_file.h"
#include "dbf/table_filter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dbf {

class TTableBlobStream;
class TTableExpression;
class TTableParser;

enum TTableOpenMode { omNormal = 0, omAutoCreate = 1, omTemporary = 2 };
enum TTableStorage { stoMemory = 0, stoFile = 1 };
enum TTranslationMode { tmNoneAvailable = 0, tmNoneNeeded = 1, tmSimple = 2, tmAdvanced = 3 };
// The answer of OnLanguageWarning when the table's code page is not installed.
enum TLanguageAction { laReadOnly = 0, laForceOEM = 1, laForceANSI = 2, laDefault = 3 };

// Options of Locate and Lookup.
enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;

// What the header of an open table and its memo file say, for tools that
// show a table's facts; read-only copies, taken when asked for.
struct TTableHeaderFacts {
    uint8_t VersionByte = 0;  // as the open table holds it
    int32_t HeaderSize = 0;   // bytes before the first record
    int32_t RecordSize = 0;   // bytes per record, the deletion flag included
    int Year = 0;             // date of the header's last write
    int Month = 0;
    int Day = 0;
    bool HasMemo = false;     // the table has memo fields
    std::string MemoFileName; // the memo file's full path, when HasMemo
    int32_t MemoBlockSize = 0;  // 0 when the memo file is missing
};

class TTable : public ds::TDataSet {
public:
    using TBeforeAutoCreateEvent = std::function<void(TTable& sender, bool& doCreate)>;
    using TLanguageWarningEvent = std::function<void(TTable& sender, TLanguageAction& action)>;
    // Converts the zero-terminated src into dest; answers the length of the
    // result, or -1 to have the engine measure the zero-terminated dest.
    using TTranslateEvent = std::function<int(TTable& sender, const char* src, char* dest, bool toOem)>;
    using TIndexMissingEvent = std::function<void(TTable& sender, bool& deleteLink)>;
    using TFilterRecordEvent = std::function<void(TTable& sender, bool& accept)>;

    static constexpr int kMajorVersion = 6;
    static constexpr int kMinorVersion = 9;

    TTable();
    ~TTable() override;

    // Location of the table.
    const std::string& FilePath() const { return FRelativePath; }
    void SetFilePath(const std::string& value);
    const std::string& FilePathFull() const { return FAbsolutePath; }
    void SetFilePathFull(const std::string& value) { SetFilePath(value); }
    const std::string& AbsolutePath() const { return FAbsolutePath; }
    const std::string& TableName() const { return FTableName; }
    void SetTableName(const std::string& value);
    // The full path of the table file.
    std::string TableFileName() const { return FAbsolutePath + FTableName; }

    // How the table is opened and what it is.
    int TableLevel() const { return FTableLevel; }
    void SetTableLevel(int value);
    bool Exclusive() const { return FExclusive; }
    void SetExclusive(bool value) { FExclusive = value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    bool ShowDeleted() const { return FShowDeleted; }
    void SetShowDeleted(bool value);
    TTableOpenMode OpenMode() const { return FOpenMode; }
    void SetOpenMode(TTableOpenMode value) { FOpenMode = value; }
    TTableStorage Storage() const { return FStorage; }
    void SetStorage(TTableStorage value) { FStorage = value; }
    // The stream of memory storage; not owned unless CreateTable made it.
    TStream* UserStream() const { return FUserStream; }
    void SetUserStream(TStream* value) { FUserStream = value; }
    bool StoreDefs() const { return FStoreDefs; }
    void SetStoreDefs(bool value) { FStoreDefs = value; }
    TDateTimeHandling DateTimeHandling() const { return FDateTimeHandling; }
    void SetDateTimeHandling(TDateTimeHandling value) { FDateTimeHandling = value; }
    bool DisableResyncOnPost() const { return FDisableResyncOnPost; }
    void SetDisableResyncOnPost(bool value) { FDisableResyncOnPost = value; }
    std::string Version() const;
    uint8_t LanguageID() const { return FLanguageID; }
    void SetLanguageID(uint8_t value);
    // Text written to a field must be held by the code pages it passes
    // (dbf/stored_text.h): a character they lack is refused, or, with
    // StorePlainForms, stored in its plain form when it has one.
    bool StorePlainForms() const { return FStorePlainForms; }
    void SetStorePlainForms(bool value) { FStorePlainForms = value; }
    // The code page of the text of a table whose header names none (language
    // byte 0, or an empty level-7 driver name), for tables written in another
    // code page than the ANSI one; 0 keeps the engine's default open code
    // page. Takes effect at the next open; the file's bytes stay as they are.
    int DefaultCodePage() const { return FDefaultCodePage; }
    void SetDefaultCodePage(int value) { FDefaultCodePage = value; }

    // Facts of the open table (neutral values while closed).
    int CodePage() const { return FCodePage; }
    std::string LanguageStr() const;
    TFieldDescriptors* FieldDescriptors() const;
    TTranslationMode TranslationMode() const { return FTranslationMode; }
    int PhysicalRecordCount();
    int ExactRecordCount();
    int KeySize() const { return 0; }
    // Neutral values while closed.
    TTableHeaderFacts HeaderFacts() const;
    // The filter (table_filter.cpp). Setting the text or the options of an
    // open table compiles the expression first: EParserException or
    // ETableError with the compiler's message when it does not compile (or
    // gives no boolean), and the previous filter stays. A change refreshes the
    // view when the table is open and Filtered is set.
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& value);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool value);
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions value);
    // No index support yet.
    const std::string& IndexName() const { return FIndexName; }

    // Creating. Both need the closed state and leave the object closed.
    void CreateTable() { CreateTableEx(nullptr); }
    void CreateTableEx(TFieldDescriptors* fieldDescriptors);

    // Navigation beyond the framework's.
    int GetRecNo() override;
    void SetRecNo(int value) override;
    int GetRecordCount() override;
    int PhysicalRecNo();
    void SetPhysicalRecNo(int value);
    int CompareBookmarks(const ds::TBookmark& bookmark1, const ds::TBookmark& bookmark2) override;
    bool IsDeleted();
    void Undelete();
    // Bulk appends (TAppendBatch in dbf/append_batch.h is the scope to use):
    // between these, the open table file appends in bounded batches under one
    // hold of the header lock. EndAppendBatch raises ETableWriteError when
    // the last header write fails; the quiet form drops that failure.
    void BeginAppendBatch(TAppendBatchLimits limits = {});
    void EndAppendBatch();
    void EndAppendBatchQuietly() noexcept;
    // keyFields: field names separated by ';', one key value per field.
    bool Locate(const std::string& keyFields, const std::vector<ds::TVariant>& keyValues, TLocateOptions options);
    // The values of the ';'-separated resultFields of the record Locate would
    // find, one per field; empty when none is found. The cursor stays put.
    std::vector<ds::TVariant> Lookup(const std::string& keyFields, const std::vector<ds::TVariant>& keyValues,
                                     const std::string& resultFields);
    // The next (or prior) record that the filter expression and
    // OnFilterRecord accept, whether Filtered is set or not; with restart
    // from the first (or last) record.
    bool FindRecord(bool restart, bool goForward);
    void Resync(ds::TResyncMode mode = 0) override;

    // Value routing and text conversion.
    bool GetFieldData(ds::TField* field, void* buffer, bool nativeFormat) override;
    using ds::TDataSet::GetFieldData;
    void SetFieldData(ds::TField* field, const void* buffer, bool nativeFormat) override;
    std::unique_ptr<ds::TStream> CreateBlobStream(ds::TField* field, ds::TBlobStreamMode mode) override;
    int Translate(const char* source, char* dest, bool toOem) override;
    std::string AnsiFromText(const std::string& text) override;
    std::string TextFromAnsi(const std::string& ansi) override;

    // Maintenance of a file table. Each needs exclusive access, writes the
    // new table and memo file beside the old ones and replaces them only when
    // they are complete; the table is then reopened at its first record.
    void EmptyTable();
    void Zap() { EmptyTable(); }
    // Drops the deleted records; the memo file keeps only the memos still referenced.
    void PackTable();
    // Rebuilds the table with the fields of newDefs; a field takes the values
    // of the old field of the same name. pack drops the deleted records.
    void RestructureTable(TFieldDescriptors& newDefs, bool pack);

    // Whole-table lock and temporary exclusive access.
    bool LockTable(bool wait);
    void UnlockTable();
    void TryExclusive();
    void EndExclusive();

    // Indexes (table_indexes.cpp). IndexDefs lists the indexes opened with
    // the table; the tags of the production index join it as temporary
    // definitions while the table is open. The operations need an open table.
    TTableIndexDefs& IndexDefs() { return FIndexDefs; }
    TTableIndexDefs& Indexes() { return FIndexDefs; }
    void AddIndex(const std::string& indexName, const std::string& fields, TIndexOptions options);
    void DeleteIndex(const std::string& indexName);
    void OpenIndexFile(const std::string& indexFile);
    void CloseIndexFile(const std::string& indexFile);
    void RegenerateIndexes();
    std::vector<std::string> GetIndexNames();
    std::vector<std::string> GetAllIndexFiles();
    // 1: the table file, 2: the memo file, 4: the index files; closed: the table's path.
    std::vector<std::string> GetFileNames(unsigned flags);

    TBeforeAutoCreateEvent BeforeAutoCreate;
    TLanguageWarningEvent OnLanguageWarning;
    TTranslateEvent OnTranslate;
    TIndexMissingEvent OnIndexMissing;
    TFilterRecordEvent OnFilterRecord;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() const override { return FCursor != nullptr; }
    ds::TRecordBufferPtr AllocRecordBuffer() override;
    ds::TGetResult GetRecord(ds::TRecordBuffer buffer, ds::TGetMode mode, bool doCheck) override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalSetToRecord(ds::TRecordBuffer buffer) override;
    void GetBookmarkData(ds::TRecordBuffer buffer, char* data) override;
    void SetBookmarkData(ds::TRecordBuffer buffer, const char* data) override;
    ds::TBookmarkFlag GetBookmarkFlag(ds::TRecordBuffer buffer) override;
    void SetBookmarkFlag(ds::TRecordBuffer buffer, ds::TBookmarkFlag flag) override;
    void InternalGotoBookmark(const char* bookmark) override;
    void InternalInitRecord(ds::TRecordBuffer buffer) override;
    void InternalEdit() override;
    void InternalPost() override;
    void InternalCancel() override;
    void InternalAddRecord(ds::TRecordBuffer buffer, bool append) override;
    void InternalDelete() override;
    bool GetCanModify() override { return !FReadOnly; }
    void ClearCalcFields(ds::TRecordBuffer buffer) override;

private:
    friend class TTableBlobStream;
    friend class TTableExpression;

    // The dialect a table of that level is created in.
    static TXBaseVersion VersionOfLevel(int level);

    // Opening, in steps (table.cpp).
    bool CreateBeforeOpen();
    TPagedFileMode OpenFileMode() const;
    std::unique_ptr<TTableFile> NewTableFile(TPagedFileMode mode);
    void OpenTableFile();
    void BuildFieldDefs(TTableFile& file);
    void DetermineTranslationMode();
    void OpenListedIndexes();
    void AddProductionTagDefs(TTableFile& file);
    void DropTemporaryIndexDefs();
    int AnsiCodePage() const;
    TTranslationMode TranslationModeOf(int codePage) const;

    // Creating (table_create.cpp).
    void FillDefsFromFields();
    void BuildEngineDefs(TFieldDescriptors& defs);
    TStream* MemoryStreamForCreate();
    void WriteNewTable(TFieldDescriptors& defs);

    // Record buffers and walking (table_navigation.cpp).
    uint8_t* RecordImage(ds::TRecordBuffer buffer) const;
    // The buffer whose record the field objects see now, or null.
    ds::TRecordBuffer GetCurrentBuffer() const;
    bool ReadCurrentRecord(ds::TRecordBuffer buffer, ds::TGetResult& result);
    // The filter (table_filter.cpp).
    bool DoFilterRecord(ds::TRecordBuffer buffer);
    std::unique_ptr<TTableParser> CompileFilter(const std::string& text, TFilterOptions options) const;
    void CompileFilterAtOpen();
    void RefreshFiltered();
    // The field objects read the given buffer while action runs.
    void InFilterState(ds::TRecordBuffer buffer, const std::function<void()>& action);
    void MoveCursorTo(bool physical, int value);
    std::vector<ds::TField*> FieldList(const std::string& names) const;
    bool FindKey(const std::vector<ds::TField*>& keyFields, const std::vector<ds::TVariant>& keyValues,
                 TLocateOptions options);
    bool KeyMatches(const std::vector<ds::TField*>& keyFields, const std::vector<ds::TVariant>& keyValues,
                    TLocateOptions options);

    // Memo streams (table_fields.cpp).
    TTableBlobStream& BlobStreamOf(ds::TField* field);
    void CommitBlobStreams();
    void CancelBlobStreams();
    void FreeBlobStreams();
    bool NotifiesFieldChanges() const;
    void NotifyFieldChange(ds::TField* field);

    // Maintenance (table_maintenance.cpp).
    void CopyDefsOfTable(TFieldDescriptors& defs) const;
    void RebuildTable(TFieldDescriptors& newDefs, const std::vector<int>& fieldSource, bool copyRecords,
                      bool keepDeleted);
    std::string SiblingPath(const std::string& tag) const;
    void ReplaceTableFiles(const std::string& workPath);

    std::unique_ptr<TTableFile> FTableFile;
    std::unique_ptr<TVirtualCursor> FCursor;
    // The compiled filter; only while open and the filter text is not empty.
    std::unique_ptr<TTableParser> FParser;
    TTableOpenMode FOpenMode = omNormal;
    TTableStorage FStorage = stoFile;
    std::vector<std::shared_ptr<TTableBlobStream>> FBlobStreams;
    TStream* FUserStream = nullptr;
    // The memory tables CreateTable made without a caller's stream.
    std::unique_ptr<TStream> FOwnedStream;
    // The memo file of a memory table, kept across close and reopen.
    std::unique_ptr<TStream> FMemoStream;
    std::string FTableName;
    std::string FRelativePath;
    std::string FAbsolutePath;
    std::string FIndexName;
    std::string FFilter;
    bool FReadOnly = false;
    ds::TRecordBuffer FFilterBuffer = nullptr;
    ds::TRecordBufferPtr FTempBuffer;
    int32_t FEditingRecNo = -1;
    uint8_t FLanguageID = 0;
    bool FStorePlainForms = false;
    int32_t FTableLevel = 4;
    int FCodePage = 0;
    int FDefaultCodePage = 0;
    // The system ANSI code page the translation mode was chosen for at open;
    // 0 while closed. Kept so that no field value has to ask the locale.
    int FAnsiCodePage = 0;
    bool FExclusive = false;
    bool FShowDeleted = false;
    bool FPosting = false;
    bool FDisableResyncOnPost = false;
    bool FStoreDefs = false;
    bool FFiltered = false;
    TFilterOptions FFilterOptions = 0;
    bool FFindRecordFilter = false;
    TDateTimeHandling FDateTimeHandling = dtBDETimeStamp;
    TTableIndexDefs FIndexDefs;
    TTranslationMode FTranslationMode = tmNoneAvailable;
};

}  // namespace dbf
