// TTableFile: creating a new table from field definitions. The header and the
// descriptors (layouts in table_file_layout.h) are composed in the header
// copy and reach the file with the next header flush; the memo file is
// created beside the table when a field needs it.
//
// A new FoxPro table takes one of two forms, decided by its fields, so that
// every FoxPro reader accepts it:
//   | form          | when                                  | version byte     | memo reference   | after 0x0D      |
//   |---------------|---------------------------------------|------------------|------------------|-----------------|
//   | Visual FoxPro | a field only Visual FoxPro knows:     | 0x30; 0x31 with  | 4 bytes, binary  | 263-byte        |
//   |               | I, B, T, Y, O, +, 0, V, Q, W, or a    | an autoincrement |                  | back-link area  |
//   |               | field that may be null                |                  |                  |                 |
//   | FoxPro 2      | every other table                     | 0x02; 0xF5 with  | 10 characters    | nothing         |
//   |               |                                       | memo fields      |                  |                 |
// Memo and general fields take the reference width of the form, whatever
// width the definition asked for.
#include "dbf/table_file.h"

#include "dbf/table_file_layout.h"
#include "dbf/language.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <cstring>

namespace dbf {

using namespace layout;

namespace {

bool IsDateTimeField(const TFieldDescriptor& def) { return def.FieldType() == TFieldType::ftDateTime; }

bool IsVisualFoxProField(const TFieldDescriptor& def) {
    const char letter = def.NativeFieldType();
    return (letter != 0 && std::strchr("IBTYO+0VQW", letter) != nullptr) || def.NullPosition() >= 0;
}

bool HasVisualFoxProField(const TFieldDescriptors& defs) {
    for (int i = 0; i < defs.Count(); ++i)
        if (IsVisualFoxProField(defs.Items(i))) return true;
    return false;
}

bool HasAutoIncField(const TFieldDescriptors& defs) {
    for (int i = 0; i < defs.Count(); ++i)
        if (defs.Items(i).NativeFieldType() == '+') return true;
    return false;
}

bool IsMemoReference(const TFieldDescriptor& def) { return def.NativeFieldType() == 'M' || def.NativeFieldType() == 'G'; }

// Memo references are 4 binary bytes in Visual FoxPro, 10 characters in FoxPro 2.
constexpr int32_t kVisualFoxProMemoWidth = 4;
constexpr int32_t kFoxPro2MemoWidth = 10;

// The name in the system code page, cut to maxBytes bytes.
std::string DescriptorNameBytes(const std::string& name, size_t maxBytes) {
    std::string bytes = platform::Utf8ToCodePage(platform::AnsiCodePage(), name);
    if (bytes.size() > maxBytes) bytes.resize(maxBytes);
    return bytes;
}

}  // namespace

void TTableFile::FinishCreate(TFieldDescriptors& fieldDefs, int32_t memoSize) {
    SetRecordCount(0);
    if (FFileLangId == 0) FFileLangId = EngineGlobals().DefaultCreateLangId();
    FFileCodePage = FUseCodePage = LangIdCodePage(FFileLangId);
    const bool level7 = FTableVersion == xBaseVII;
    const int headerSize = level7 ? kHeaderSizeVII : kHeaderSize;
    const int descSize = level7 ? kDescSizeVII : kDescSize;
    int32_t recordSize = 1;
    try {
        recordSize = WriteNewHeader(fieldDefs, headerSize, descSize);
    } catch (...) {
        SetRecordSize(recordSize);
        WriteHeader();
        throw;
    }
    SetRecordSize(recordSize);
    WriteHeader();
    if (HasBlob() && !FMemoFile) CreateMemoFile(memoSize);
}

// Composes header and descriptors; answers the record size.
int32_t TTableFile::WriteNewHeader(TFieldDescriptors& fieldDefs, int headerSize, int descSize) {
    const int fieldCount = fieldDefs.Count();
    const bool visualFoxPro = FTableVersion == xFoxPro && HasVisualFoxProField(fieldDefs);
    const int fullSize = descSize * fieldCount + headerSize + 1 + (visualFoxPro ? kFoxProHeaderTail : 0);
    SetHeaderSize(fullSize);
    std::fill(Header(), Header() + fullSize, uint8_t{0});
    WriteVersionAndLanguage(visualFoxPro, HasAutoIncField(fieldDefs));

    FFieldDefs.Clear();
    FLockField = nullptr;
    FNullField = nullptr;
    int32_t fieldOffset = 1;
    for (int i = 0; i < fieldCount; ++i) {
        TFieldDescriptor& source = fieldDefs.Items(i);
        if (FCopyDateTimeAsString && IsDateTimeField(source)) {
            source.SetFieldType(TFieldType::ftString);
            source.SetSize(22);
        }
        if (FTableVersion == xFoxPro && IsMemoReference(source))
            source.SetSize(visualFoxPro ? kVisualFoxProMemoWidth : kFoxPro2MemoWidth);
        source.SetFieldName(platform::UpperCase(source.FieldName()));
        source.SetOffset(fieldOffset);
        WriteDescriptor(source, fieldOffset, Header() + headerSize + descSize * i);
        TFieldDescriptor& copy = FFieldDefs.AddFieldDef();
        copy.Assign(source);
        copy.SetOffset(fieldOffset);
        copy.SetAutoInc(0);
        NoteSpecialField(copy);
        fieldOffset += source.Size();
    }
    Header()[headerSize + descSize * fieldCount] = kDescriptorTerminator;
    if (HasBlob()) SetMemoVersionBits();
    PutU16(Header() + kFullHdrSizeOffset, static_cast<uint16_t>(fullSize));
    PutU16(Header() + kRecordSizeOffset, static_cast<uint16_t>(fieldOffset));
    MarkHeaderModified();
    return fieldOffset;
}

void TTableFile::WriteVersionAndLanguage(bool visualFoxPro, bool autoInc) {
    if (FTableVersion == xBaseVII) {
        Header()[kVersionOffset] = 0x04;
        const std::string name = ConstructLangName(static_cast<int>(FFileCodePage), platform::UserDefaultLCID(), false);
        std::memcpy(Header() + kLangNameOffset, name.data(), std::min<size_t>(name.size(), kLangNameSize - 1));
        return;
    }
    if (FTableVersion == xFoxPro)
        Header()[kVersionOffset] = visualFoxPro ? (autoInc ? 0x31 : 0x30) : 0x02;
    else
        Header()[kVersionOffset] = 0x03;
    Header()[kLanguageOffset] = FTableVersion == xBaseIII ? 0 : FFileLangId;
}

void TTableFile::WriteDescriptor(const TFieldDescriptor& def, int32_t fieldOffset, uint8_t* desc) {
    const bool level7 = FTableVersion == xBaseVII;
    const std::string name = DescriptorNameBytes(def.FieldName(), level7 ? kDescNameSizeVII - 1 : kDescNameSize - 1);
    std::memcpy(desc, name.data(), name.size());
    int32_t size = def.Size();
    int32_t precision = def.Precision();
    if (FTableVersion == xFoxPro && def.NativeFieldType() == 'C') {
        precision = size >> 8;
        size &= 0xFF;
    }
    if (level7) {
        desc[kDescTypeOffsetVII] = static_cast<uint8_t>(def.NativeFieldType());
        desc[kDescSizeOffsetVII] = static_cast<uint8_t>(size);
        desc[kDescPrecisionOffsetVII] = static_cast<uint8_t>(precision);
        PutU32(desc + kDescNextAutoIncOffsetVII, def.AutoInc());
        return;
    }
    desc[kDescTypeOffset] = static_cast<uint8_t>(def.NativeFieldType());
    desc[kDescSizeOffset] = static_cast<uint8_t>(size);
    desc[kDescPrecisionOffset] = static_cast<uint8_t>(precision);
    if (FTableVersion == xFoxPro) PutU32(desc + kDescFieldOffsetOffset, static_cast<uint32_t>(fieldOffset));
}

void TTableFile::SetMemoVersionBits() {
    uint8_t& version = Header()[kVersionOffset];
    switch (FTableVersion) {
        case xBaseIII: version |= 0x80; break;
        case xFoxPro:
            if (version == 0x02) version = 0xF5;  // Visual FoxPro's 0x30 and 0x31 say nothing of memos
            break;
        default: version |= 0x88; break;
    }
}

void TTableFile::CreateMemoFile(int32_t memoSize) {
    FMemoFile = NewMemoFile();
    FMemoFile->SetFileName(MemoFileName());
    if (IsMemoryMode(Mode())) FMemoFile->SetStream(FMemoStream);
    FMemoFile->SetMode(Mode());
    FMemoFile->SetAutoCreate(AutoCreate());
    FMemoFile->SetMemoRecordSize(memoSize);
    FMemoFile->Open();
}

}  // namespace dbf
