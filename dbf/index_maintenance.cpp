// TIndexFile: keeping the tags current on record changes, key violations,
// creating, emptying and deleting tags.
#include "dbf/index_file.h"

#include "dbf/index_format.h"
#include "dbf/messages.h"
#include "dbf/table_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace dbf {

using namespace ixlayout;

namespace {

constexpr uint8_t kDeletedFlag = '*';

std::string UpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Selects a tag for a scope and selects the previous one again afterwards.
class TSelectionKeeper {
public:
    explicit TSelectionKeeper(TIndexFile& file) : FFile(file), FPrevious(file.SelectedIndex()) {}
    ~TSelectionKeeper() { FFile.SelectIndexVars(FPrevious); }
    TSelectionKeeper(const TSelectionKeeper&) = delete;
    TSelectionKeeper& operator=(const TSelectionKeeper&) = delete;

private:
    TIndexFile& FFile;
    int FPrevious;
};

// Sets the modify mode for a scope.
class TModifyModeScope {
public:
    TModifyModeScope(TIndexModifyMode& mode, TIndexModifyMode value) : FMode(mode) { FMode = value; }
    ~TModifyModeScope() { FMode = mmNormal; }
    TModifyModeScope(const TModifyModeScope&) = delete;
    TModifyModeScope& operator=(const TModifyModeScope&) = delete;

private:
    TIndexModifyMode& FMode;
};

}  // namespace

bool TIndexFile::MaintainsAll() const { return FUpdateMode == umAll || FSelectedIndex < 0; }

// --- record changes -------------------------------------------------------------

bool TIndexFile::Insert(int32_t recNo, const uint8_t* record) {
    FUserRecNo = recNo;
    if (!MaintainsAll()) return InsertKey(record);
    TSelectionKeeper keeper(*this);
    for (int i = 0; i < TagCount(); ++i) {
        SelectIndexVars(i);
        if (InsertKey(record)) continue;
        for (int j = 0; j < i; ++j) {
            SelectIndexVars(j);
            DeleteKey(record);
        }
        return false;
    }
    return true;
}

void TIndexFile::Delete(int32_t recNo, const uint8_t* record) {
    FUserRecNo = recNo;
    if (!MaintainsAll()) {
        DeleteKey(record);
        return;
    }
    TSelectionKeeper keeper(*this);
    for (int i = 0; i < TagCount(); ++i) {
        SelectIndexVars(i);
        DeleteKey(record);
    }
}

bool TIndexFile::Update(int32_t recNo, const uint8_t* oldRecord, const uint8_t* newRecord) {
    FUserRecNo = recNo;
    if (!MaintainsAll()) return UpdateCurrent(oldRecord, newRecord);
    TSelectionKeeper keeper(*this);
    for (int i = 0; i < TagCount(); ++i) {
        if (UpdateIndex(i, oldRecord, newRecord)) continue;
        for (int j = i - 1; j >= 0; --j) UpdateIndex(j, newRecord, oldRecord);
        return false;
    }
    return true;
}

bool TIndexFile::UpdateIndex(int slot, const uint8_t* oldRecord, const uint8_t* newRecord) {
    SelectIndexVars(slot);
    return UpdateCurrent(oldRecord, newRecord);
}

// Only distinct tags follow the deletion flag; the undo of a refused recall
// keeps that mode, so the other tags are never touched.
bool TIndexFile::RecordDeleted(int32_t recNo, const uint8_t* record) {
    TModifyModeScope scope(FModifyMode, mmDeleteRecall);
    Delete(recNo, record);
    return true;
}

bool TIndexFile::RecordRecalled(int32_t recNo, const uint8_t* record) {
    TModifyModeScope scope(FModifyMode, mmDeleteRecall);
    return Insert(recNo, record);
}

void TIndexFile::InsertError() {
    const std::string message = FLastError;
    FLastError.clear();
    throw ETableError(message);
}

// --- one tag ------------------------------------------------------------------------

bool TIndexFile::InsertKey(const uint8_t* record) {
    if (FModifyMode == mmNormal && record[0] == kDeletedFlag && FUniqueMode == iuDistinct) return true;
    if (!FCanEdit || KeyLen() == 0) return true;
    FUserKey = ExtractKeyFromBuffer(record);
    return InsertCurrent();
}

bool TIndexFile::InsertCurrent() {
    if (FModifyMode == mmDeleteRecall && FUniqueMode != iuDistinct) return true;
    const bool afterEqual = FUniqueMode == iuNormal;
    LoadRoot();
    if (FPath[0]->IsFull()) AddNewLevel();
    size_t level = 0;
    while (FPath[level]->IsInner()) {
        TIndexPage& page = *FPath[level];
        page.SetEntryNo(FindPos(page, FUserKey, afterEqual));
        LoadNode(level + 1, page.GetLowerPageNo(page.EntryNo()));
        if (FPath[level + 1]->IsFull()) {
            Split(level, FUserKey, afterEqual);
            continue;
        }
        ++level;
    }
    FPath.resize(level + 1);
    TIndexPage& leaf = *FPath[level];
    const int pos = FindPos(leaf, FUserKey, afterEqual);
    if (!afterEqual && pos < leaf.GetNumEntries() && CompareKeys(FUserKey, leaf.GetKeyDataFromEntry(pos)) == 0) {
        leaf.SetEntryNo(pos);
        if (FUniqueMode == iuUnique) return true;
        ConstructInsertErrorMsg(leaf.GetRecNo(pos));
        return false;
    }
    LocalInsert(level, pos, FUserRecNo, FUserKey);
    return true;
}

void TIndexFile::DeleteKey(const uint8_t* record) {
    if (!FCanEdit || KeyLen() == 0) return;
    FUserKey = ExtractKeyFromBuffer(record);
    DeleteCurrent();
}

// Removes only an entry with the key and the record number: a record that a
// unique or distinct tag never took leaves the holder of its key in place.
void TIndexFile::DeleteCurrent() {
    if (FModifyMode == mmDeleteRecall && FUniqueMode != iuDistinct) return;
    size_t leafLevel = 0;
    if (FindRecordEntry(leafLevel)) LocalDelete(leafLevel);
}

bool TIndexFile::FindRecordEntry(size_t& leafLevel) {
    leafLevel = DescendToLeaf(FUserKey, false);
    for (;;) {
        TIndexPage& leaf = *FPath[leafLevel];
        for (int pos = leaf.EntryNo(); pos < leaf.GetNumEntries(); ++pos) {
            if (CompareKeys(FUserKey, leaf.GetKeyDataFromEntry(pos)) != 0) return false;
            if (leaf.GetRecNo(pos) != FUserRecNo) continue;
            leaf.SetEntryNo(pos);
            return true;
        }
        if (!StepNextLeaf(leafLevel)) return false;
    }
}

// A deleted record is in no distinct tag, whatever its keys.
bool TIndexFile::UpdateCurrent(const uint8_t* oldRecord, const uint8_t* newRecord) {
    if (!FCanEdit || KeyLen() == 0) return true;
    if (FUniqueMode == iuDistinct && oldRecord[0] == kDeletedFlag && newRecord[0] == kDeletedFlag) return true;
    const size_t keyLen = static_cast<size_t>(KeyLen());
    const uint8_t* oldPrepared = ExtractKeyFromBuffer(oldRecord);
    const std::vector<uint8_t> oldKey(oldPrepared, oldPrepared + keyLen);
    const uint8_t* newPrepared = ExtractKeyFromBuffer(newRecord);
    const std::vector<uint8_t> newKey(newPrepared, newPrepared + keyLen);
    if (CompareKeys(oldKey.data(), newKey.data()) == 0) return true;
    FUserKey = oldKey.data();
    DeleteCurrent();
    FUserKey = newKey.data();
    if (InsertCurrent()) return true;
    FUserKey = oldKey.data();
    InsertCurrent();
    return false;
}

void TIndexFile::ConstructInsertErrorMsg(int32_t foundRecNo) {
    if (!FLastError.empty()) return;
    const std::string key = KeyAsText(FCompareKind, FUserKey, KeyLen());
    FLastError = Format(msg::KeyViolation, FIndexName.c_str(), static_cast<int>(foundRecNo), key.c_str());
}

// --- creating and deleting tags ----------------------------------------------------

void TIndexFile::CreateIndex(const std::string& fieldDesc, const std::string& tagName, TIndexOptions options) {
    FTable.CheckExclusiveAccess();
    auto parser = NewKeySource();
    parser->ParseExpression(fieldDesc);
    char keyType;
    switch (parser->ResultType()) {
        case TKeyResultType::String: keyType = 'C'; break;
        case TKeyResultType::Integer: case TKeyResultType::LargeInt: case TKeyResultType::Float: keyType = 'N'; break;
        default: throw ETableError(msg::InvalidIndexType);
    }
    const int keyLen = keyType == 'C' ? parser->ResultLen() : (FIsMdx ? kDecimalKeyLen : 8);
    if (keyLen > kMaxKeyLen || keyLen < 1) throw ETableError(Format(msg::IndexResultTooLong, fieldDesc.c_str(), keyLen));
    int slot = 0;
    if (FIsMdx) {
        slot = TagCount();
        if (slot >= kMaxTags || FTagOffset + FTagSize * (slot + 1) > kMdxHeaderSize) throw ETableError(msg::TooManyIndexes);
        TMdxTag& tag = TagAt(slot);
        std::memset(FFileHeader.data() + FTagOffset + FTagSize * slot, 0, static_cast<size_t>(FTagSize));
        tag.SetTagName(UpperAscii(tagName));
        tag.SetKeyFormat((options & ixExpression) ? 0x00 : kFormatCharacter);
        tag.SetReserved(2);
        tag.SetKeyType(static_cast<uint8_t>(keyType));
        std::fill(FSlots[static_cast<size_t>(slot)].Header.begin(), FSlots[static_cast<size_t>(slot)].Header.end(),
                  uint8_t{0});
        FSelectedIndex = slot;
        FHeaderPageNo = -1;  // no header node yet: the allocation below writes none
        FillIndexHeader(fieldDesc, keyType, options, keyLen);
        FHeaderPageNo = GetNewPageNo();
        TagAt(slot).SetHeaderPageNo(FHeaderPageNo);
        Put16(FFileHeader.data() + kMdxTagsUsedOffset, static_cast<uint16_t>(slot + 1));
        WriteFileHeader();
    } else {
        std::fill(FSlots[0].Header.begin(), FSlots[0].Header.end(), uint8_t{0});
        FSelectedIndex = 0;
        FHeaderPageNo = 0;
        FillIndexHeader(fieldDesc, keyType, options, keyLen);
    }
    FSlots[static_cast<size_t>(slot)].Parser = std::move(parser);
    SelectIndexVars(slot);
    ClearIndex();
    SetUpdateMode(umAll);
}

void TIndexFile::FillIndexHeader(const std::string& fieldDesc, char keyType, TIndexOptions options, int keyLen) {
    uint8_t* header = TagHeader();
    uint8_t format = (options & ixDescending) ? kFormatDescending : 0;
    if (keyType == 'C') format |= kFormatCharacter;
    header[kHdrUnique] = 0;
    if (options & ixPrimary) {
        format |= kFormatDistinct | kFormatUnique;
        header[kHdrUnique] = kDistinctFlag;
    } else if (options & ixUnique) {
        format |= kFormatUnique;
        header[kHdrUnique] = kUniqueFlag;
    }
    header[kHdrKeyFormat] = format;
    header[kHdrKeyType] = static_cast<uint8_t>(keyType);
    Put16(header + kHdrDummy, FIsMdx ? 0 : 0x5800);
    const int keyRecLen = (keyLen + FEntryHeader + 3) / 4 * 4;
    Put16(header + kHdrKeyLen, static_cast<uint16_t>(keyLen));
    Put16(header + kHdrKeyRecLen, static_cast<uint16_t>(keyRecLen));
    Put16(header + kHdrNumKeys, static_cast<uint16_t>((FNodeSize - FNodeHeader) / keyRecLen));
    Put16(header + kHdrSKeyType, (!FIsMdx && keyType != 'C') ? 1 : 0);
    Put16(header + kHdrVersion, 2);
    std::memset(header + kHdrKeyDesc, 0, kHdrKeyDescSize);
    std::memcpy(header + kHdrKeyDesc, fieldDesc.data(), std::min<size_t>(fieldDesc.size(), kHdrKeyDescSize - 1));
    header[kHdrKeyExist] = 1;
}

// The tag's tree starts over with one empty root; a single index also drops
// every block behind it.
void TIndexFile::ClearIndex() {
    FLastError.clear();
    Put32(TagHeader() + kHdrNumPages, static_cast<uint32_t>(FHeaderSize / kBlockSize));
    if (!FIsMdx) SetRecordCount(FHeaderSize / kBlockSize);
    InitEmptyRoot();
}

void TIndexFile::DeleteIndex(const std::string& name) {
    FTable.CheckExclusiveAccess();
    if (!FIsMdx) {
        Close();
        DeleteFile();
        return;
    }
    const int index = IndexOf(name);
    if (index < 0) return;
    RemoveTagSlot(index);
}

// The following tag entries and slots move down by one; the freed slot goes
// to the end. The tag's nodes stay in the file unused.
void TIndexFile::RemoveTagSlot(int slot) {
    const int tags = TagCount();
    uint8_t* table = FFileHeader.data() + FTagOffset;
    std::memmove(table + FTagSize * slot, table + FTagSize * (slot + 1), static_cast<size_t>(FTagSize) * (tags - slot - 1));
    std::memset(table + FTagSize * (tags - 1), 0, static_cast<size_t>(FTagSize));
    std::rotate(FSlots.begin() + slot, FSlots.begin() + slot + 1, FSlots.end());
    Put16(FFileHeader.data() + kMdxTagsUsedOffset, static_cast<uint16_t>(tags - 1));
    WriteFileHeader();
    const int selected = FSelectedIndex;
    SelectIndexVars(selected == slot ? -1 : (selected > slot ? selected - 1 : selected));
    SetUpdateMode(umAll);
}

}  // namespace dbf
