// TMemoryDataSet: a dataset over records held in memory, built the way a table
// plugs into the framework, so that tests drive the framework through the same
// overrides. Records are numbered from 1 in insertion order (the number is the
// bookmark); deleted records stay in place and are skipped by every fetch.
//
// Record buffer layout:
//   | offset         | size            | meaning                                   |
//   |----------------|-----------------|-------------------------------------------|
//   | 0              | 4               | record number (int32), 0 for a new record |
//   | 4              | 1               | bookmark flag                             |
//   | 5 + slot start | 1               | per field: 1 when a value is present      |
//   | +1             | value size      | the value buffer (blob fields: int32 id of the content in the blob pool) |
//   | image end      | CalcFieldsSize  | calculated fields                         |
//
// Test hooks: ReadOnlyData refuses changes, FailPost makes the next posts
// raise, LockedRecords refuses Edit of those record numbers, StorageUpperCase
// stores text upper-cased (a stand-in for a code page), Latin1Ansi treats
// ANSI as ISO-8859-1 instead of passing UTF-8 through.
#pragma once

#include "dataset/DataSet.h"

#include <set>
#include <string>
#include <vector>

namespace dstest {

struct TColumn {
    std::string Name;
    ds::TFieldType Type;
    int Size = 0;
    bool Required = false;
};

class TMemoryDataSet : public ds::TDataSet {
public:
    explicit TMemoryDataSet(std::vector<TColumn> columns);
    ~TMemoryDataSet() override;

    // Stores a record directly, without going through the editing cycle.
    void AddRow(const std::vector<ds::TVariant>& values);
    void MarkDeleted(int recordNumber) { FRecords.at(static_cast<size_t>(recordNumber - 1)).Deleted = true; }
    int StoredCount() const { return static_cast<int>(FRecords.size()); }
    bool IsStoredDeleted(int recordNumber) const { return FRecords.at(static_cast<size_t>(recordNumber - 1)).Deleted; }
    // The stored bytes of a string field of a record, as the storage holds them.
    std::string StoredText(int recordNumber, int column) const;
    int PostCount() const { return FPostCount; }
    int BlobPoolSize() const { return static_cast<int>(FBlobPool.size()); }

    bool ReadOnlyData = false;
    bool FailPost = false;
    bool StorageUpperCase = false;
    bool Latin1Ansi = false;
    std::set<int> LockedRecords;

    int GetRecNo() override;
    void SetRecNo(int value) override;
    int GetRecordCount() override;
    int CompareBookmarks(const ds::TBookmark& bookmark1, const ds::TBookmark& bookmark2) override;

    bool GetFieldData(ds::TField* field, void* buffer, bool nativeFormat) override;
    void SetFieldData(ds::TField* field, const void* buffer, bool nativeFormat) override;
    std::unique_ptr<ds::TStream> CreateBlobStream(ds::TField* field, ds::TBlobStreamMode mode) override;
    int Translate(const char* source, char* dest, bool toOem) override;
    std::string AnsiFromText(const std::string& text) override;
    std::string TextFromAnsi(const std::string& ansi) override;

    // Lets a blob stream store its content when it is released.
    void StoreBlob(ds::TField* field, std::string content);

    using ds::TDataSet::ActiveBuffer;
    using ds::TDataSet::BufferCount;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() const override { return FOpen; }
    ds::TRecordBufferPtr AllocRecordBuffer() override;
    ds::TGetResult GetRecord(ds::TRecordBuffer buffer, ds::TGetMode mode, bool doCheck) override;
    void InternalFirst() override { FCursor = 0; }
    void InternalLast() override { FCursor = StoredCount() + 1; }
    void InternalSetToRecord(ds::TRecordBuffer buffer) override;
    void GetBookmarkData(ds::TRecordBuffer buffer, char* data) override;
    void SetBookmarkData(ds::TRecordBuffer buffer, const char* data) override;
    ds::TBookmarkFlag GetBookmarkFlag(ds::TRecordBuffer buffer) override;
    void SetBookmarkFlag(ds::TRecordBuffer buffer, ds::TBookmarkFlag flag) override;
    void InternalGotoBookmark(const char* bookmark) override;
    void InternalInitRecord(ds::TRecordBuffer buffer) override;
    void InternalEdit() override;
    void InternalPost() override;
    void InternalAddRecord(ds::TRecordBuffer buffer, bool append) override;
    void InternalDelete() override;
    bool GetCanModify() override { return !ReadOnlyData; }
    void ClearCalcFields(ds::TRecordBuffer buffer) override;

private:
    struct TStoredRecord {
        std::vector<char> Image;
        bool Deleted = false;
    };

    static constexpr int HeaderSize = 5;
    int ValueSize(const TColumn& column) const;
    int SlotOffset(int column) const { return FSlotOffsets.at(static_cast<size_t>(column)); }
    ds::TRecordBuffer CurrentBuffer() const;
    int BufferRecordNumber(ds::TRecordBuffer buffer) const;
    void ReadStored(int recordNumber, ds::TRecordBuffer buffer) const;
    void AppendStored(ds::TRecordBuffer buffer);
    std::vector<char> EncodeValue(const TColumn& column, const ds::TVariant& value);

    std::vector<TColumn> FColumns;
    std::vector<int> FSlotOffsets;
    int FImageSize = 0;
    std::vector<TStoredRecord> FRecords;
    std::vector<std::string> FBlobPool;
    int FCursor = 0;
    bool FOpen = false;
    int FPostCount = 0;
};

}  // namespace dstest
