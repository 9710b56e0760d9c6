// TTableFile: the table file of the dBASE engine. A paged file whose header
// block is the DBF header with its field descriptors and whose records are
// the table's rows (the deletion flag byte, then the fields). It recognises
// the dialect, builds the field definitions, creates new tables, keeps the
// header's record count and date current, appends records, takes record and
// header locks, and owns the memo file and the index files.
//
// Contract:
// - Set FileName (or Stream), Mode, AutoCreate and, for a new table,
//   TableVersion; then Open. An existing file is recognised and its header,
//   descriptors and memo file are read; a file the mode has just created
//   stays empty until FinishCreate writes header and descriptors.
// - The dialect comes from the version byte, with one correction: a level-7
//   version byte on a header whose descriptor terminator lies on a 32-byte
//   boundary and on no 48-byte one opens as the dBASE IV table it is.
// - The file size is the authority for the number of records, as far as the
//   slots behind the header's count begin with a deletion flag (a blank or
//   "*", records other processes appended): a slot beginning with anything
//   else, 0x1A or NUL among them, ends the table, and the bytes from there on
//   are not records. A header count that disagrees is corrected on open. Every open of a non-FoxPro table and
//   every append rewrites the header with today's date and places the
//   end-of-file byte 0x1A behind the last record.
// - In shared modes the header lock (waited for) is held while the header is
//   read and rewritten on open, while a new record number is chosen, and
//   while an append counts and writes its record, so processes that open and
//   append at once never undo each other's counts or overwrite each other's
//   records. An append counts up to its own record number (one more, when it
//   is alone), so a slot another process is still writing is counted once.
//   In an append batch one hold of the header lock covers a bounded run of
//   appends; records are written before the header count that covers them.
// - Damaged input raises ETableError ("Invalid DBF file.", "Invalid field
//   count: ...") or leaves ForceClose set (header or record size 0); no field
//   lies outside the record, no descriptor is read outside the header.
// - ForceClose after Open tells the caller to close again: the file is
//   unusable as it stands.
// - Write failures raise ETableWriteError after undoing what the failed
//   operation had changed; the sticky write-error flag is cleared again.
// - Field values are exchanged in the codec's value buffers (field_codec.h);
//   text bytes pass unchanged, code page conversion is the dataset layer's.
// - A header that names a production index opens its .mdx file with the
//   table (a file that refuses to open for its locale is dropped); when the
//   file is missing, OnIndexMissing decides whether the link is cleared or the
//   file is force-closed. Close drops the production index; other index files
//   stay listed and are opened again with the table.
// - Every append, post, deletion and recall passes through every open index
//   file in list order; when one refuses (key violation) or fails to write,
//   the files before it are undone and nothing of the change reaches the table.
#pragma once

#include "dbf/common.h"
#include "dbf/index_file.h"
#include "dbf/index_key_parser.h"
#include "dbf/table_file_index.h"
#include "dbf/field_defs.h"
#include "dbf/field_codec.h"
#include "dbf/memo_file.h"
#include "dbf/paged_file.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dbf {

// How long one hold of the header lock in an append batch may last: at most
// MaxRecords appends, and no new append once MaxHold has passed.
struct TAppendBatchLimits {
    int32_t MaxRecords = 1000;
    std::chrono::milliseconds MaxHold{50};
};

class TTableFile : public TPagedFile {
public:
    // Asked when the header names a production index that cannot be opened;
    // deleteLink comes in true: leave it to clear the link, set it false to
    // have the file force-closed instead.
    using TIndexMissingEvent = std::function<void(bool& deleteLink)>;

    TTableFile();
    ~TTableFile() override;

    void Open();
    void Close();
    // After Open in a creating mode: header and descriptors for fieldDefs (whose
    // names are upper-cased and offsets set in place), and the memo file with
    // blocks of memoSize bytes when a field needs one.
    void FinishCreate(TFieldDescriptors& fieldDefs, int32_t memoSize);

    void SetRecordSize(int32_t value) override;
    void TryExclusive() override;
    void EndExclusive() override;
    void WriteHeader() override;

    void ConstructFieldDefs();
    bool HasBlob() const;
    std::string GetMemoExt() const;
    uint8_t GetLanguageId() const;
    std::string GetLanguageStr() const;

    // A copy of the blank record, RecordSize bytes.
    void InitRecord(uint8_t* destBuf);
    void InitDefaultBuffer();
    // Appends the record image and answers its record number.
    int32_t Insert(uint8_t* buffer);
    // Between these two, shared appends go in batches (table_file_batch.cpp):
    // a run of appends under one hold of the header lock, bounded by limits,
    // with one header write per run. EndAppendBatch raises ETableWriteError
    // when the last header write fails; Close ends a batch too.
    void BeginAppendBatch(TAppendBatchLimits limits = {});
    void EndAppendBatch();
    bool InAppendBatch() const { return FBatch.Open; }
    void ApplyAutoIncToBuffer(uint8_t* destBuf);

    bool GetFieldData(int column, TFieldType dataType, const uint8_t* src, void* dst, bool nativeFormat) const;
    bool GetFieldDataFromDef(const TFieldDescriptor& fieldDef, TFieldType dataType, const uint8_t* src, void* dst,
                             bool nativeFormat) const;
    void SetFieldData(int column, TFieldType dataType, const void* src, uint8_t* dst, bool nativeFormat) const;
    // The definition named fieldName (compared upper-cased), or null.
    const TFieldDescriptor* GetFieldInfo(const std::string& fieldName) const;

    // Record locks: taken without waiting ("Record locked." when another
    // handle holds it); buffer receives the record as it is on disk now.
    void LockRecord(int32_t recNo, uint8_t* buffer);
    // The deletion flag of the record image changed (table_file_indexes.cpp);
    // a refused recall is undone and raised as the index's key violation.
    void RecordDeleted(int32_t recNo, const uint8_t* buffer);
    void RecordRecalled(int32_t recNo, const uint8_t* buffer);

    // Index files (table_file_indexes.cpp). A name with an extension is a
    // single index file (relative names lie beside the table), one without
    // is a tag of the production index.
    void OpenIndex(const std::string& indexName, const std::string& indexField, TIndexOptions options,
                   bool createIndex);
    void PackIndex(TIndexFile& indexFile, const std::string& indexName);
    bool DeleteIndex(const std::string& indexName);
    void CloseIndex(const std::string& indexName);
    TIndexFile* GetIndexByName(const std::string& indexName) const;
    std::vector<std::string> IndexNames() const;
    std::vector<std::string> IndexFileNames() const;
    TIndexFile* MdxFile() const { return FMdxFile; }
    std::string MdxFileName() const;
    void SetKeySourceFactory(TIndexKeySourceFactory factory) { FKeySourceFactory = std::move(factory); }
    void SetOnLocaleError(TIndexFile::TLocaleErrorEvent handler) { FOnLocaleError = std::move(handler); }
    // Posts buffer at recNo and releases the lock. When the write fails the
    // record gets back what it held while locked, the lock stays held (the
    // edit is still pending) and ETableWriteError is raised.
    void UnlockRecord(int32_t recNo, const uint8_t* buffer);
    void WriteLockInfo(uint8_t* buffer) const;
    bool LockTable(bool wait) { return LockAllPages(wait); }
    void UnlockTable() { UnlockAllPages(); }

    TXBaseVersion TableVersion() const { return FTableVersion; }
    void SetTableVersion(TXBaseVersion value);
    TFieldDescriptors& FieldDefs() { return FFieldDefs; }
    const TFieldDescriptors& FieldDefs() const { return FFieldDefs; }
    TMemoFile* MemoFile() const { return FMemoFile.get(); }
    const uint8_t* PrevBuffer() const { return FPrevBuffer.data(); }
    uint32_t LockUserLen() const { return FLockUserLen; }
    const TFieldDescriptor* LockField() const { return FLockField; }
    const TFieldDescriptor* NullField() const { return FNullField; }
    bool AutoIncPresent() const { return FAutoIncPresent; }

    uint8_t FileLangId() const { return FFileLangId; }
    void SetFileLangId(uint8_t value) { FFileLangId = value; }
    uint32_t FileCodePage() const { return FFileCodePage; }
    uint32_t UseCodePage() const { return FUseCodePage; }
    // The code page of text when the header names none; 0 takes the engine's
    // default open code page. Set before Open.
    void SetDefaultCodePage(uint32_t value) { FDefaultCodePage = value; }
    bool ForceClose() const { return FForceClose; }
    bool CopyDateTimeAsString() const { return FCopyDateTimeAsString; }
    void SetCopyDateTimeAsString(bool value) { FCopyDateTimeAsString = value; }
    TDateTimeHandling DateTimeHandling() const { return FDateTimeHandling; }
    void SetDateTimeHandling(TDateTimeHandling value) { FDateTimeHandling = value; }
    void SetOnIndexMissing(TIndexMissingEvent handler) { FOnIndexMissing = std::move(handler); }
    // The stream that holds the memo file of a memory table (not owned), so
    // its memos outlive this object; null gives the memo file a stream of its own.
    void SetMemoStream(TStream* value) { FMemoStream = value; }

protected:
    int32_t PagesHoldingRecords(int32_t wholePages) override;

private:
    // Open, in steps.
    void ReadExistingHeaderLocked();
    void ReadExistingHeader();
    TXBaseVersion DetectDialect() const;
    void ConfirmLevel7Layout();
    bool CorrectRecordCount();
    void ReadLanguage();
    void OpenMemoForRead();
    bool UpdateMemoBit();
    bool HandleProductionIndex();
    void OpenIndexFiles();
    std::unique_ptr<TIndexFile> NewIndexFile(const std::string& fileName, bool create);
    void AddIndexNames(TIndexFile& file, const std::string& singleName);
    void DropIndexFile(TIndexFile* file);
    void DropProductionIndex();
    void CreateIndexIn(TIndexFile& file, const std::string& indexName, const std::string& indexField,
                       TIndexOptions options);
    std::string IndexPath(const std::string& name) const;
    void FillIndex(TIndexFile& indexFile, const std::string& indexName);
    void DeleteIndexExclusive(TIndexFile& indexFile, const std::string& indexName);

    // Descriptors (table_file_fielddefs.cpp).
    void ReadDescriptors(int headerSize, int descSize);
    void AddFieldFromDescriptor(const uint8_t* desc, int32_t& fieldOffset, int& nullCounter);
    void NoteSpecialField(TFieldDescriptor& def);
    void CheckFieldsFitRecord() const;
    void ReadFieldProperties(int position);
    void ApplyFieldProperty(const uint8_t* entry, int position);

    // Create (table_file_create.cpp).
    int32_t WriteNewHeader(TFieldDescriptors& fieldDefs, int headerSize, int descSize);
    void WriteVersionAndLanguage(bool visualFoxPro, bool autoInc);
    void WriteDescriptor(const TFieldDescriptor& def, int32_t fieldOffset, uint8_t* desc);
    void SetMemoVersionBits();
    void CreateMemoFile(int32_t memoSize);
    std::unique_ptr<TMemoFile> NewMemoFile() const;
    std::string MemoFileName() const;

    // Appends.
    int32_t LockNewRecordNumber();
    void InsertIntoIndexes(int32_t recNo, const uint8_t* buffer);
    void DeleteFromIndexes(size_t count, int32_t recNo, const uint8_t* buffer);
    void CountAndWriteRecord(int32_t recNo, uint8_t* buffer);
    void CountNewRecord(int32_t recNo);
    void UndoRecordCount(int32_t recNo);
    void RefreshSharedHeader();
    [[noreturn]] void FailAppend(int32_t recNo, const uint8_t* buffer);

    // Append batches (table_file_batch.cpp).
    struct TAppendBatchState {
        TAppendBatchLimits Limits;
        bool Open = false;
        bool Holding = false;  // the header lock is held for a run of appends
        std::chrono::steady_clock::time_point HoldStart;
        int32_t HeldRecords = 0;
        int32_t LastRecNo = 0;  // the last record written in this hold; 0: none
        int32_t NextSlot = 0;   // the next reserved record number
        int32_t SlotEnd = 0;    // behind the last reserved number of the current range
        std::vector<std::pair<int32_t, int32_t>> Reserved;  // locked ranges: first page, count
    };
    int32_t InsertInBatch(uint8_t* buffer);
    bool HoldIsOver() const;
    void BeginHold();
    void EndHold();
    void ReserveSlots(int32_t first, int32_t count);
    int32_t TakeBatchSlot();
    void ReleaseReservedSlots();
    [[noreturn]] void FailBatchAppend(int32_t recNo, const uint8_t* buffer);
    void EndAppendBatchOnClose() noexcept;

    void PutRecordCount(uint32_t count);
    uint32_t HeaderRecordCount() const;
    uint32_t CountedRecords();
    bool BeginsWithDeletionFlag(int32_t recNo);
    void ReleaseBuffers();
    TFieldCodecContext CodecContext() const;

    std::vector<std::unique_ptr<TIndexFile>> FIndexFiles;
    // Every open index name (tags of the production index included) with its file.
    std::vector<std::pair<std::string, TIndexFile*>> FIndexNames;
    TIndexFile* FMdxFile = nullptr;
    TIndexKeySourceFactory FKeySourceFactory = NewParserKeySource;
    TIndexFile::TLocaleErrorEvent FOnLocaleError;
    std::unique_ptr<TMemoFile> FMemoFile;
    TFieldDescriptors FFieldDefs;
    TXBaseVersion FTableVersion = xUnknown;
    std::vector<uint8_t> FPrevBuffer;
    std::vector<uint8_t> FDefaultBuffer;
    uint32_t FLockUserLen = 0;
    uint32_t FFileCodePage = 0;
    uint32_t FUseCodePage = 0;
    uint32_t FDefaultCodePage = 0;
    uint8_t FFileLangId = 0;
    bool FForceClose = false;
    TFieldDescriptor* FLockField = nullptr;
    TFieldDescriptor* FNullField = nullptr;
    bool FAutoIncPresent = false;
    bool FCopyDateTimeAsString = false;
    TDateTimeHandling FDateTimeHandling = dtBDETimeStamp;
    TIndexMissingEvent FOnIndexMissing;
    TStream* FMemoStream = nullptr;
    TAppendBatchState FBatch;
};

}  // namespace dbf
