// TIndexFile: an index file of a table, a paged file of 512-byte blocks that
// knows both layouts of index_format.h: the single index (.ndx, one key,
// binary collation, numeric keys as doubles) and the production index (.mdx,
// up to 47 tags, keys collated by the table's language driver, numeric keys
// in decimal form). It reads and selects tags, initialises fresh files,
// creates and fills tags, keeps every tag's B-tree current on each record
// change (top-down splitting on insertion, unlinking of emptied nodes on
// removal), enforces unique and distinct tags, and rewrites whole files.
//
// Contract:
// - The owner sets FileName, Mode, AutoCreate and the key source factory,
//   then Open. ForceClose after Open: the file must not be used (locale
//   mismatch refused). Close flushes.
// - Insert/Update/RecordRecalled answer false on a key violation of a
//   distinct tag; the tags already changed are undone before the answer, and
//   the message stays pending until InsertError (RaiseKeyViolation) raises it.
// - The tree is kept on disk: every node changed is written at once, so the
//   file is complete after each call; in shared modes headers and nodes are
//   re-read before each use and block allocation holds the lock on block 0.
// - Damaged trees (a block outside the file, a node with more entries than
//   fit, a path deeper than any real tree, leaves at different depths) raise
//   ETableError "Index file "%s" is damaged: ..."; nothing loops or reads
//   outside a node.
#pragma once

#include "dbf/collation.h"
#include "dbf/common.h"
#include "dbf/index_def.h"
#include "dbf/index_key.h"
#include "dbf/index_page.h"
#include "dbf/index_tag.h"
#include "dbf/paged_file.h"
#include "dbf/table_file_index.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dbf {

class TTableFile;

enum TIndexUpdateMode { umAll, umCurrent };
enum TIndexModifyMode { mmNormal, mmDeleteRecall };
enum TIndexUniqueMode { iuNormal, iuUnique, iuDistinct };
enum TLocaleError { leNone, leUnknown, leTableIndexMismatch, leNotAvailable };
enum TLocaleSolution { lsNotOpen, lsNoEdit, lsBinary };

class TIndexFile : public TPagedFile, public TTableIndexHook {
public:
    using TLocaleErrorEvent = std::function<void(TLocaleError error, TLocaleSolution& solution)>;

    explicit TIndexFile(TTableFile& table);
    ~TIndexFile() override;

    void SetKeySourceFactory(TIndexKeySourceFactory factory) { FKeySourceFactory = std::move(factory); }
    void SetOnLocaleError(TLocaleErrorEvent handler) { FOnLocaleError = std::move(handler); }
    void SetCodePage(int value) { FCodePage = value; }

    // TTableIndexHook.
    void Open() override;
    void Close() override;
    void TryExclusive() override;
    void EndExclusive() override;
    bool Insert(int32_t recNo, const uint8_t* record) override;
    bool Update(int32_t recNo, const uint8_t* oldRecord, const uint8_t* newRecord) override;
    void Delete(int32_t recNo, const uint8_t* record) override;
    [[noreturn]] void RaiseKeyViolation() override { InsertError(); }
    bool WriteError() const override { return TPagedFile::WriteError(); }
    void ResetError() override { TPagedFile::ResetError(); }

    void Flush() override;
    bool RecordDeleted(int32_t recNo, const uint8_t* record);
    bool RecordRecalled(int32_t recNo, const uint8_t* record);
    [[noreturn]] void InsertError();
    bool HasPendingError() const { return !FLastError.empty(); }

    // Tags.
    bool IsProduction() const { return FIsMdx; }
    int TagCount() const;
    int IndexOf(const std::string& name) const;
    void SetIndexName(const std::string& name);
    const std::string& IndexName() const { return FIndexName; }
    void SelectIndexVars(int index);
    int SelectedIndex() const { return FSelectedIndex; }
    std::vector<std::string> GetIndexNames() const;
    bool GetIndexInfo(const std::string& name, TTableIndexDef& def);

    // The selected tag.
    std::string Expression() const;
    int KeyLen() const;
    char KeyType() const;
    int NumKeys() const;
    int32_t RootPage() const;
    int32_t HeaderPageNo() const { return FHeaderPageNo; }
    const uint8_t* IndexHeader() const;
    TIndexUniqueMode UniqueMode() const { return FUniqueMode; }
    bool IsDescending() const { return FIsDescending; }
    TKeyCompare KeyCompareKind() const { return FCompareKind; }
    const TCollationTable* Collation() const { return FCollation; }
    TXBaseVersion IndexVersion() const { return FIndexVersion; }
    int EntryHeaderSize() const { return FEntryHeader; }
    TIndexUpdateMode UpdateMode() const { return FUpdateMode; }
    void SetUpdateMode(TIndexUpdateMode value);
    bool ForceClose() const { return FForceClose; }
    bool ForceReadOnly() const { return FForceReadOnly; }

    // Keys of the selected tag.
    const uint8_t* ExtractKeyFromBuffer(const uint8_t* record);
    const uint8_t* PrepareKey(const uint8_t* result, TKeyResultType type);
    int CompareKeys(const uint8_t* key1, const uint8_t* key2) const;

    // Maintenance.
    void CreateIndex(const std::string& fieldDesc, const std::string& tagName, TIndexOptions options);
    void DeleteIndex(const std::string& name);
    void Clear();
    void ClearIndex();
    void PrepareRename(const std::string& newFileName);

    // Walks the selected tag in key order: (key, record number) per leaf entry.
    void ForEachEntry(const std::function<void(const uint8_t* key, int32_t recNo)>& visit);

private:
    struct TTagSlot {
        std::vector<uint8_t> Header;
        std::unique_ptr<TIndexKeySource> Parser;
    };

    // Opening (index_file.cpp).
    void OpenSingle();
    void OpenProduction();
    void DetermineCollation();
    void ReadIndexes();
    void ReadTag(int slot);
    void CheckHeaderIntegrity(uint8_t* header);
    void UpdateIndexProperties();
    void InitMdxHeader();
    std::unique_ptr<TIndexKeySource> NewKeySource();
    TMdxTag& TagAt(int slot) const;
    uint8_t* TagHeader() const;
    void WriteTagHeader();
    void WriteFileHeader();
    void ReadFileHeader();
    void ResyncHeaders();
    int32_t GetNewPageNo();
    int32_t FileBlocks();
    [[noreturn]] void Damaged(const std::string& what) const;

    // Tree (index_tree.cpp).
    std::unique_ptr<TIndexPage> NewPage() const;
    TIndexPage& PathPage(size_t level);
    void LoadNode(size_t level, int32_t pageNo);
    void LoadRoot();
    void WriteNode(const TIndexPage& page);
    int FindPos(const TIndexPage& page, const uint8_t* key, bool afterEqual) const;
    size_t DescendToLeaf(const uint8_t* key, bool afterEqual);
    void DescendLeftmost(size_t level);
    bool StepNextLeaf(size_t leafLevel);
    void AddNewLevel();
    void Split(size_t parentLevel, const uint8_t* key, bool afterEqual);
    void LocalInsert(size_t level, int pos, int32_t recNo, const uint8_t* key);
    void LocalDelete(size_t leafLevel);
    void RemoveInnerEntry(size_t level);
    void PropagateLastKey(size_t level);
    void SetEntryKey(TIndexPage& page, int i, const uint8_t* key);
    void InitEmptyRoot();

    // Maintenance (index_maintenance.cpp).
    bool InsertKey(const uint8_t* record);
    bool InsertCurrent();
    void DeleteKey(const uint8_t* record);
    void DeleteCurrent();
    bool UpdateCurrent(const uint8_t* oldRecord, const uint8_t* newRecord);
    bool UpdateIndex(int slot, const uint8_t* oldRecord, const uint8_t* newRecord);
    bool FindRecordEntry(size_t& leafLevel);
    void ConstructInsertErrorMsg(int32_t foundRecNo);
    bool MaintainsAll() const;
    void FillIndexHeader(const std::string& fieldDesc, char keyType, TIndexOptions options, int keyLen);
    void RemoveTagSlot(int slot);

    TTableFile& FTable;
    TIndexKeySourceFactory FKeySourceFactory;
    TLocaleErrorEvent FOnLocaleError;
    std::vector<uint8_t> FFileHeader;  // production index: blocks 0-3
    std::vector<TTagSlot> FSlots;
    std::unique_ptr<TMdxTag> FTag;
    std::vector<std::unique_ptr<TIndexPage>> FPath;  // root first, leaf last
    bool FIsMdx = false;
    TXBaseVersion FIndexVersion = xUnknown;
    int FNodeSize = 0;
    int FNodeHeader = 0;
    int FEntryHeader = 0;
    int FHeaderSize = 0;
    int FTagSize = 0;
    int FTagOffset = 0;
    int FSelectedIndex = -1;
    std::string FIndexName;
    int32_t FHeaderPageNo = 0;
    TIndexUniqueMode FUniqueMode = iuNormal;
    bool FIsDescending = false;
    TKeyCompare FCompareKind = TKeyCompare::Character;
    const TCollationTable* FCollation = BINARY_COLLATION;
    TIndexUpdateMode FUpdateMode = umCurrent;
    TIndexModifyMode FModifyMode = mmNormal;
    bool FCanEdit = false;
    bool FForceClose = false;
    bool FForceReadOnly = false;
    int FCodePage = 0;
    bool FHeaderLocked = false;
    std::vector<uint8_t> FKeyBuffer;
    std::vector<uint8_t> FUserBCD;
    double FUserNumeric = 0;
    const uint8_t* FUserKey = nullptr;
    int32_t FUserRecNo = -1;
    std::string FLastError;
};

}  // namespace dbf
