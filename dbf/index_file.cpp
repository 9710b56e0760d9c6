// TIndexFile: opening, tag reading and selection, headers, block
// allocation, fresh-file initialisation and key preparation.
#include "dbf/index_file.h"

#include "dbf/index_format.h"
#include "dbf/index_key_parser.h"
#include "dbf/messages.h"
#include "dbf/platform/machine.h"
#include "dbf/table_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace dbf {

using namespace ixlayout;

namespace {

std::string UpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Extension(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    return path.substr(dot);
}

void PutToday(uint8_t* date) {
    const platform::TLocalDateTime now = platform::LocalDateTime();
    date[0] = static_cast<uint8_t>(now.Year - 1900);
    date[1] = static_cast<uint8_t>(now.Month);
    date[2] = static_cast<uint8_t>(now.Day);
}

}  // namespace

TIndexFile::TIndexFile(TTableFile& table)
    : FTable(table), FKeySourceFactory(NewParserKeySource), FKeyBuffer(kMaxKeyLen + 1, 0), FUserBCD(kDecimalKeyLen, 0) {}

TIndexFile::~TIndexFile() { Close(); }

// --- open and close ------------------------------------------------------------

void TIndexFile::Open() {
    if (Active()) return;
    SetPageOffsetByHeader(false);
    OpenFile();
    FCanEdit = false;
    FUserKey = nullptr;
    FUserRecNo = -1;
    FHeaderPageNo = 0;
    FForceClose = false;
    FForceReadOnly = false;
    FSelectedIndex = -1;
    FIndexName.clear();
    try {
        SetPageSize(kBlockSize);
        SetRecordSize(kBlockSize);
        FIsMdx = UpperAscii(Extension(FileName())) == ".MDX";
        if (FIsMdx) {
            OpenProduction();
        } else {
            OpenSingle();
        }
        SetUpdateMode(umAll);
    } catch (...) {
        Close();
        throw;
    }
}

void TIndexFile::OpenSingle() {
    FIndexVersion = xBaseIII;
    FEntryHeader = kNdxEntryHeader;
    FNodeHeader = kNdxNodeHeader;
    FHeaderSize = kNdxHeaderSize;
    FNodeSize = kNdxNodeSize;
    FCollation = BINARY_COLLATION;
    FSlots.resize(1);
    FSlots[0].Header.assign(kNdxHeaderSize, 0);
    if (!FileCreated()) {
        if (ReadBlock(FSlots[0].Header.data(), kNdxHeaderSize, 0) < kNdxHeaderSize) Damaged("header cut short");
        ReadIndexes();
    }
    SelectIndexVars(0);
}

void TIndexFile::OpenProduction() {
    FEntryHeader = kMdxEntryHeader;
    FNodeHeader = kMdxNodeHeader;
    FHeaderSize = kMdxHeaderSize;
    FNodeSize = kMdxNodeSize;
    FFileHeader.assign(kMdxHeaderSize, 0);
    FSlots.clear();
    FSlots.resize(kMaxTags);
    for (TTagSlot& slot : FSlots) slot.Header.assign(kMdxNodeSize, 0);
    if (FileCreated()) {
        FIndexVersion = FTable.TableVersion() == xBaseVII ? xBaseVII : xBaseIV;
        FTag = NewMdxTag(FIndexVersion == xBaseVII);
        Clear();
        return;
    }
    if (ReadBlock(FFileHeader.data(), kMdxHeaderSize, 0) < kMdxHeaderSize) Damaged("header cut short");
    FIndexVersion = FFileHeader[kMdxVersionOffset] == 3 ? xBaseVII : xBaseIV;
    FTag = NewMdxTag(FIndexVersion == xBaseVII);
    DetermineCollation();
    if (!FForceClose) ReadIndexes();
}

void TIndexFile::DetermineCollation() {
    const uint8_t lang = FTable.FileLangId();
    const uint8_t stored = FFileHeader[kMdxLanguageOffset];
    if (lang == 0) {
        FCollation = GetCollationTable(stored);
        return;
    }
    FCollation = GetCollationTable(lang);
    if (stored == 0 || stored == lang) return;
    TLocaleSolution solution = lsNotOpen;
    if (FOnLocaleError) FOnLocaleError(leTableIndexMismatch, solution);
    if (solution == lsNotOpen) FForceClose = true;
    if (solution == lsNoEdit) FForceReadOnly = true;
    if (solution == lsBinary) FCollation = BINARY_COLLATION;
}

void TIndexFile::Close() {
    if (!Active()) return;
    Flush();
    FPath.clear();
    FSlots.clear();
    FTag.reset();
    FSelectedIndex = -1;
    CloseFile();
}

// Nodes and headers are written as they change, so nothing waits here.
void TIndexFile::Flush() {}

void TIndexFile::TryExclusive() {
    TPagedFile::TryExclusive();
    FPath.clear();
}

void TIndexFile::EndExclusive() {
    TPagedFile::EndExclusive();
    FPath.clear();
}

// --- tags ------------------------------------------------------------------------

void TIndexFile::ReadIndexes() {
    FPath.clear();
    if (!FIsMdx) {
        ReadTag(0);
        return;
    }
    FTagSize = FFileHeader[kMdxTagSizeOffset];
    if (FTagSize < kTagFlagsOffset4 + 6) Damaged("tag entries too small");
    FTagOffset = kMdxTagTableBase + FTagSize;
    if (TagCount() > (kMdxHeaderSize - FTagOffset) / FTagSize) Damaged("more tags than the header holds");
    for (int i = 0; i < TagCount(); ++i) {
        TagAt(i);
        const int32_t headerPage = FTag->GetHeaderPageNo();
        if (headerPage < kMdxHeaderSize / kBlockSize || headerPage + kMdxBlocksPerNode > FileBlocks())
            Damaged("tag header outside the file");
        ReadBlock(FSlots[static_cast<size_t>(i)].Header.data(), kMdxNodeSize, int64_t{headerPage} * kBlockSize);
        ReadTag(i);
    }
}

// A key expression the key source cannot compile leaves the tag readable;
// changing it raises the compile error then.
void TIndexFile::ReadTag(int slot) {
    TTagSlot& tag = FSlots[static_cast<size_t>(slot)];
    CheckHeaderIntegrity(tag.Header.data());
    const char* desc = reinterpret_cast<const char*>(tag.Header.data() + kHdrKeyDesc);
    tag.Parser = NewKeySource();
    try {
        tag.Parser->ParseExpression(std::string(desc, strnlen(desc, kHdrKeyDescSize - 1)));
    } catch (const std::exception&) {
        tag.Parser.reset();
    }
}

// NumKeys and KeyRecLen that do not fit the node are recomputed from a key
// length capped at 100, so a damaged header can never make an entry reach
// outside a node.
void TIndexFile::CheckHeaderIntegrity(uint8_t* header) {
    // Some writers leave a single index's KeyType zero and say it in sKeyType only.
    if (!FIsMdx && header[kHdrKeyType] == 0) header[kHdrKeyType] = Get16(header + kHdrSKeyType) == 0 ? 'C' : 'N';
    const int keyRecLen = Get16(header + kHdrKeyRecLen);
    const int numKeys = Get16(header + kHdrNumKeys);
    const int keyLen = Get16(header + kHdrKeyLen);
    const bool fits = keyRecLen >= keyLen + FEntryHeader && keyLen > 0 && numKeys >= 2 &&
                      numKeys * keyRecLen <= FNodeSize - FNodeHeader;
    if (fits) return;
    const int capped = std::clamp(keyLen, 1, kMaxKeyLen);
    const int recLen = (capped + FEntryHeader + 3) / 4 * 4;
    Put16(header + kHdrKeyLen, static_cast<uint16_t>(capped));
    Put16(header + kHdrKeyRecLen, static_cast<uint16_t>(recLen));
    Put16(header + kHdrNumKeys, static_cast<uint16_t>((FNodeSize - FNodeHeader) / recLen));
}

int TIndexFile::TagCount() const {
    if (!FIsMdx) return FSlots.empty() ? 0 : 1;
    return FFileHeader.empty() ? 0 : Get16(FFileHeader.data() + kMdxTagsUsedOffset);
}

TMdxTag& TIndexFile::TagAt(int slot) const {
    FTag->SetTag(const_cast<uint8_t*>(FFileHeader.data()) + FTagOffset + FTagSize * slot);
    return *FTag;
}

int TIndexFile::IndexOf(const std::string& name) const {
    if (!FIsMdx) return -1;
    const std::string wanted = UpperAscii(name);
    for (int i = 0; i < TagCount(); ++i)
        if (UpperAscii(TagAt(i).GetTagName()) == wanted) return i;
    return -1;
}

void TIndexFile::SetIndexName(const std::string& name) {
    const int index = FIsMdx ? IndexOf(name) : 0;
    if (index >= 0) SelectIndexVars(index);
}

void TIndexFile::SelectIndexVars(int index) {
    FPath.clear();
    if (index < 0 || index >= static_cast<int>(FSlots.size())) {
        FIndexName.clear();
        FSelectedIndex = -1;
        return;
    }
    FSelectedIndex = index;
    if (FIsMdx) {
        TagAt(index);
        FIndexName = FTag->GetTagName();
        FHeaderPageNo = FTag->GetHeaderPageNo();
    } else {
        FIndexName = FileName();
        FHeaderPageNo = 0;
    }
    UpdateIndexProperties();
    FCanEdit = !FForceReadOnly;
}

void TIndexFile::UpdateIndexProperties() {
    const uint8_t* header = TagHeader();
    const uint8_t format = header[kHdrKeyFormat];
    FIsDescending = (format & kFormatDescending) != 0;
    FUniqueMode = (format & kFormatDistinct) ? iuDistinct : ((format & kFormatUnique) ? iuUnique : iuNormal);
    if (header[kHdrKeyType] == 'C') {
        FCompareKind = TKeyCompare::Character;
    } else {
        FCompareKind = FIsMdx ? TKeyCompare::Decimal : TKeyCompare::Double;
    }
}

std::vector<std::string> TIndexFile::GetIndexNames() const {
    std::vector<std::string> names;
    for (int i = 0; FIsMdx && i < TagCount(); ++i) names.push_back(TagAt(i).GetTagName());
    return names;
}

bool TIndexFile::GetIndexInfo(const std::string& name, TTableIndexDef& def) {
    const int index = FIsMdx ? IndexOf(name) : 0;
    if (index < 0 || index >= TagCount()) return false;
    const int previous = FSelectedIndex;
    SelectIndexVars(index);
    def.SetIndexFile(FIndexName);
    const char* desc = reinterpret_cast<const char*>(TagHeader() + kHdrKeyDesc);
    def.SetExpression(std::string(desc, strnlen(desc, kHdrKeyDescSize - 1)));
    TIndexOptions options = ixExpression;
    if (FIsDescending) options |= ixDescending;
    if (FUniqueMode == iuUnique) options |= ixUnique;
    if (FUniqueMode == iuDistinct) options |= ixPrimary;
    def.SetOptions(options);
    def.SetTemporary(true);
    SelectIndexVars(previous);
    return true;
}

// --- the selected tag ---------------------------------------------------------------

uint8_t* TIndexFile::TagHeader() const {
    const int slot = std::max(FSelectedIndex, 0);
    return const_cast<uint8_t*>(FSlots[static_cast<size_t>(slot)].Header.data());
}

const uint8_t* TIndexFile::IndexHeader() const { return FSlots.empty() ? nullptr : TagHeader(); }

std::string TIndexFile::Expression() const {
    if (FSelectedIndex < 0) return std::string();
    const TTagSlot& slot = FSlots[static_cast<size_t>(FSelectedIndex)];
    return slot.Parser ? slot.Parser->Expression() : std::string();
}

int TIndexFile::KeyLen() const { return FSelectedIndex < 0 ? 0 : Get16(TagHeader() + kHdrKeyLen); }
char TIndexFile::KeyType() const { return FSelectedIndex < 0 ? '\0' : static_cast<char>(TagHeader()[kHdrKeyType]); }
int TIndexFile::NumKeys() const { return Get16(TagHeader() + kHdrNumKeys); }
int32_t TIndexFile::RootPage() const { return static_cast<int32_t>(Get32(TagHeader() + kHdrRootPage)); }

void TIndexFile::SetUpdateMode(TIndexUpdateMode value) {
    FUpdateMode = (!FIsMdx || TagCount() < 2) ? umCurrent : value;
}

// --- headers and blocks ------------------------------------------------------------

void TIndexFile::WriteTagHeader() {
    WriteBlock(TagHeader(), FIsMdx ? kMdxNodeSize : kNdxHeaderSize, int64_t{FHeaderPageNo} * kBlockSize);
}

void TIndexFile::WriteFileHeader() {
    if (FIsMdx) WriteBlock(FFileHeader.data(), kMdxHeaderSize, 0);
}

void TIndexFile::ReadFileHeader() {
    if (FIsMdx) {
        ReadBlock(FFileHeader.data(), kMdxHeaderSize, 0);
    } else if (!FSlots.empty()) {
        ReadBlock(FSlots[0].Header.data(), kNdxHeaderSize, 0);
    }
}

// Other processes may have split the root or allocated blocks meanwhile.
void TIndexFile::ResyncHeaders() {
    if (!NeedLocks() || FSelectedIndex < 0) return;
    ReadFileHeader();
    if (FIsMdx) ReadBlock(TagHeader(), kMdxNodeSize, int64_t{FHeaderPageNo} * kBlockSize);
    CheckHeaderIntegrity(TagHeader());
}

int32_t TIndexFile::FileBlocks() { return static_cast<int32_t>(std::min<int64_t>(Stream()->Size() / kBlockSize, INT32_MAX)); }

// Blocks are only ever appended; the file header (single index: the tag
// header) holds the next free block.
int32_t TIndexFile::GetNewPageNo() {
    const bool lock = !FHeaderLocked;
    if (lock) LockPage(0, true);
    if (lock && NeedLocks()) ReadFileHeader();
    uint8_t* counter = FIsMdx ? FFileHeader.data() + kMdxNumPagesOffset : TagHeader() + kHdrNumPages;
    const int32_t pageNo = static_cast<int32_t>(Get32(counter));
    const int blocks = FIsMdx ? kMdxBlocksPerNode : 1;
    Put32(counter, static_cast<uint32_t>(pageNo + blocks));
    WriteFileHeader();
    if (FIsMdx) Put32(TagHeader() + kHdrNumPages, Get32(TagHeader() + kHdrNumPages) + blocks);
    if (!FIsMdx || FHeaderPageNo > 0) WriteTagHeader();
    if (lock) UnlockPage(0);
    return pageNo;
}

void TIndexFile::Damaged(const std::string& what) const {
    throw ETableError(Format(msg::IndexDamaged, FileName().c_str(), what.c_str()));
}

// --- fresh files ---------------------------------------------------------------------

void TIndexFile::Clear() {
    if (!FIsMdx) {
        ClearIndex();
        return;
    }
    InitMdxHeader();
    SetRecordCount(kMdxHeaderSize / kBlockSize);
    FTagSize = FFileHeader[kMdxTagSizeOffset];
    FTagOffset = kMdxTagTableBase + FTagSize;
    const int previous = FSelectedIndex;
    for (int i = 0; i < TagCount(); ++i) {
        SelectIndexVars(i);
        FHeaderPageNo = -1;
        FHeaderPageNo = GetNewPageNo();
        FTag->SetHeaderPageNo(FHeaderPageNo);
        ClearIndex();
    }
    WriteFileHeader();
    SelectIndexVars(previous);
}

// Level-7 tag entries span 43 bytes, so their table is spaced at 48 bytes.
void TIndexFile::InitMdxHeader() {
    const int tags = TagCount();
    std::vector<uint8_t> table(FFileHeader.begin() + kMdxTagTableBase, FFileHeader.end());
    std::fill(FFileHeader.begin(), FFileHeader.end(), uint8_t{0});
    std::copy(table.begin(), table.end(), FFileHeader.begin() + kMdxTagTableBase);
    const bool level7 = FIndexVersion == xBaseVII;
    FFileHeader[kMdxVersionOffset] = level7 ? 3 : 2;
    PutToday(FFileHeader.data() + kMdxDateOffset);
    const std::string name = BaseName(FileName()).substr(0, kMdxFileNameSize - 1);
    std::memcpy(FFileHeader.data() + kMdxFileNameOffset, name.data(), name.size());
    Put16(FFileHeader.data() + kMdxBlockSizeOffset, kMdxBlocksPerNode);
    Put16(FFileHeader.data() + kMdxBlockAdderOffset, kMdxNodeSize);
    FFileHeader[kMdxProdFlagOffset] = 1;
    FFileHeader[kMdxNumTagsOffset] = 48;
    FFileHeader[kMdxTagSizeOffset] = level7 ? 48 : kMdxDefaultTagSize;
    Put16(FFileHeader.data() + kMdxTagsUsedOffset, static_cast<uint16_t>(tags));
    FFileHeader[kMdxLanguageOffset] = FTable.FileLangId();
    Put32(FFileHeader.data() + kMdxNumPagesOffset, kMdxHeaderSize / kBlockSize);
    PutToday(FFileHeader.data() + kMdxUpdDateOffset);
    FFileHeader[kMdxTagFlagOffset] = 1;
    FCollation = GetCollationTable(FTable.FileLangId());
}

void TIndexFile::PrepareRename(const std::string& newFileName) {
    if (!FIsMdx) return;
    std::memset(FFileHeader.data() + kMdxFileNameOffset, 0, kMdxFileNameSize);
    const std::string name = BaseName(newFileName).substr(0, kMdxFileNameSize - 1);
    std::memcpy(FFileHeader.data() + kMdxFileNameOffset, name.data(), name.size());
    WriteFileHeader();
}

// --- keys ---------------------------------------------------------------------------

std::unique_ptr<TIndexKeySource> TIndexFile::NewKeySource() { return FKeySourceFactory(FTable); }

const uint8_t* TIndexFile::ExtractKeyFromBuffer(const uint8_t* record) {
    TTagSlot& slot = FSlots[static_cast<size_t>(FSelectedIndex)];
    if (!slot.Parser) {
        // The expression could not be compiled at open: say why now.
        auto parser = NewKeySource();
        const char* desc = reinterpret_cast<const char*>(TagHeader() + kHdrKeyDesc);
        parser->ParseExpression(std::string(desc, strnlen(desc, kHdrKeyDescSize - 1)));
        slot.Parser = std::move(parser);
    }
    return PrepareKey(slot.Parser->ExtractFromBuffer(record), slot.Parser->ResultType());
}

const uint8_t* TIndexFile::PrepareKey(const uint8_t* result, TKeyResultType type) {
    const char keyType = KeyType();
    if (keyType != 'N' && keyType != 'F') {
        // A copy: the result's storage is reused by the next evaluation.
        const int keyLen = KeyLen();
        std::memcpy(FKeyBuffer.data(), result, static_cast<size_t>(keyLen));
        return FKeyBuffer.data();
    }
    double value = 0;
    int64_t whole = 0;
    const bool isFloat = type == TKeyResultType::Float;
    if (type == TKeyResultType::Integer) {
        int32_t v;
        std::memcpy(&v, result, sizeof v);
        whole = v;
    } else if (type == TKeyResultType::LargeInt) {
        std::memcpy(&whole, result, sizeof whole);
    } else {
        std::memcpy(&value, result, sizeof value);
    }
    if (!FIsMdx) {
        FUserNumeric = isFloat ? value : static_cast<double>(whole);
        return reinterpret_cast<const uint8_t*>(&FUserNumeric);
    }
    if (isFloat) {
        EncodeDecimalKey(value, FUserBCD.data());
    } else {
        EncodeDecimalKey(whole, FUserBCD.data());
    }
    return FUserBCD.data();
}

int TIndexFile::CompareKeys(const uint8_t* key1, const uint8_t* key2) const {
    const int result = CompareIndexKeys(FCompareKind, FCollation, key1, key2, KeyLen());
    return FIsDescending ? -result : result;
}

}  // namespace dbf
