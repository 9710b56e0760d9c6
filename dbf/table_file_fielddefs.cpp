// TTableFile: building the field definitions from the descriptors in the
// header (layouts in table_file_layout.h). Descriptors are read from the
// in-memory header copy, which holds exactly FullHdrSize bytes, so a damaged
// header can never make a read leave it.
#include "dbf/table_file.h"

#include "dbf/table_file_layout.h"
#include "dbf/language.h"
#include "dbf/messages.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace dbf {

using namespace layout;

namespace {

std::string DescriptorName(const uint8_t* desc, int maxLength) {
    const char* name = reinterpret_cast<const char*>(desc);
    const std::string_view bytes(name, strnlen(name, static_cast<size_t>(maxLength)));
    return platform::UpperCase(platform::CodePageToUtf8(platform::AnsiCodePage(), bytes));
}

// Whether a descriptor width is one that the letter's stored form has: the
// machine forms have one width each (memo references two), the text forms
// take any width.
bool FitsStoredForm(const TFieldDescriptor& def, int32_t size) {
    switch (def.NativeFieldType()) {
        case 'I': case '+': return size == 4;
        case 'O': case '@': case 'T': case 'Y': return size == 8;
        case 'B': return def.TableVersion() != xFoxPro || size == 8;
        case 'M': case 'G': return size == 4 || size == 10;
        default: return true;
    }
}

// Letters that the dialect of the file does not define are read as the
// dialect that defines them reads them: FoxPro's T date-time keeps its eight
// bytes in a dBASE III header (Perl's XBase writes such tables), a memo
// reference of four bytes is FoxPro's binary one, the autoincrement + is an
// integer in every dialect. A width the stored form cannot have, and a
// letter no dialect defines, keep the bytes the descriptor gives them:
// reading them in another width would read other fields' bytes, or beyond
// the record.
void AdoptStoredForm(TFieldDescriptor& def, char letter, int32_t size) {
    if (def.FieldType() == TFieldType::ftUnknown && def.NativeFieldType() == '+')
        def.SetStoredForm('+', TFieldType::ftAutoInc, 4);
    if (def.FieldType() == TFieldType::ftUnknown || !FitsStoredForm(def, size)) {
        def.SetStoredForm(letter, TFieldType::ftBytes, size);
        return;
    }
    const bool machineForm = std::string_view("I+O@TYMG").find(def.NativeFieldType()) != std::string_view::npos ||
                             (def.NativeFieldType() == 'B' && def.TableVersion() == xFoxPro);
    if (machineForm && def.Size() != size) def.SetStoredForm(def.NativeFieldType(), def.FieldType(), size);
}

}  // namespace

void TTableFile::ConstructFieldDefs() {
    FFieldDefs.Clear();
    FLockField = nullptr;
    FNullField = nullptr;
    FAutoIncPresent = false;
    if (FTableVersion == xBaseVII)
        ReadDescriptors(kHeaderSizeVII, kDescSizeVII);
    else
        ReadDescriptors(kHeaderSize, kDescSize);
}

// The descriptors end at the terminator 0x0D or where the header ends,
// whichever comes first; bytes after the terminator are not descriptors.
void TTableFile::ReadDescriptors(int headerSize, int descSize) {
    const int columnLimit = (HeaderSize() - headerSize) / descSize;
    if (columnLimit < 1) throw ETableError(Format(msg::InvalidFieldCount, 0));
    int32_t fieldOffset = 1;
    int nullCounter = 0;
    int position = headerSize;
    for (int i = 1;; ++i) {
        AddFieldFromDescriptor(Header() + position, fieldOffset, nullCounter);
        position += descSize;
        if (i == columnLimit) break;
        if (Header()[position] == kDescriptorTerminator) {
            ++position;
            break;
        }
    }
    CheckFieldsFitRecord();
    if (FTableVersion == xBaseVII) ReadFieldProperties(position);
}

void TTableFile::AddFieldFromDescriptor(const uint8_t* desc, int32_t& fieldOffset, int& nullCounter) {
    const bool level7 = FTableVersion == xBaseVII;
    const bool foxPro = FTableVersion == xFoxPro;
    const std::string name = DescriptorName(desc, level7 ? kDescNameSizeVII : kDescNameSize);
    const char letter = static_cast<char>(desc[level7 ? kDescTypeOffsetVII : kDescTypeOffset]);
    int32_t size = desc[level7 ? kDescSizeOffsetVII : kDescSizeOffset];
    int32_t precision = desc[level7 ? kDescPrecisionOffsetVII : kDescPrecisionOffset];
    if (foxPro && letter == 'C') {
        size += 256 * precision;
        precision = 0;
    }
    const bool nullable = foxPro && (desc[kDescFoxProFlagsOffset] & kFoxProNullableFlag) != 0 && name != "_NULLFLAGS";

    TFieldDescriptor& def = FFieldDefs.AddFieldDef();
    def.SetFieldName(name);
    // The letter comes last: it derives the data type from width and decimals.
    def.SetSize(size);
    def.SetPrecision(precision);
    def.SetNativeFieldType(letter);
    AdoptStoredForm(def, letter, size);
    def.SetOffset(fieldOffset);
    def.SetAutoInc(level7 ? GetU32(desc + kDescNextAutoIncOffsetVII) : 0);
    def.SetNullPosition(nullable ? nullCounter++ : -1);
    if (name.empty()) throw ETableError(msg::InvalidDbfFile);
    if (level7 && def.NativeFieldType() == '+') FAutoIncPresent = true;
    NoteSpecialField(def);
    fieldOffset += size;
}

// A lock field narrower than its fixed part could not hold the lock information.
void TTableFile::NoteSpecialField(TFieldDescriptor& def) {
    if (def.FieldName() == "_DBASELOCK" && def.Size() >= kLockInfoSize) {
        FLockField = &def;
        def.SetIsLockField(true);
        FLockUserLen = std::min(static_cast<uint32_t>(def.Size() - kLockInfoSize), EngineGlobals().UserNameLen());
    }
    if (def.FieldName() == "_NULLFLAGS") FNullField = &def;
}

// Every field is read and written inside the record image; a descriptor list
// wider than the record is a damaged file.
void TTableFile::CheckFieldsFitRecord() const {
    for (int i = 0; i < FFieldDefs.Count(); ++i) {
        const TFieldDescriptor& def = FFieldDefs.Items(i);
        if (int64_t{def.Offset()} + def.Size() > RecordSize()) throw ETableError(msg::InvalidDbfFile);
    }
}

// Level-7 standard properties (required, minimum, maximum, default) follow
// the terminator; custom and referential-integrity properties are skipped.
void TTableFile::ReadFieldProperties(int position) {
    if (position + kPropsHeaderSize >= HeaderSize()) return;
    const uint8_t* props = Header() + position;
    const int count = GetU16(props + kPropsNumStdOffset);
    const int start = position + GetU16(props + kPropsStartStdOffset);
    for (int k = 0; k < count; ++k) {
        const int entry = start + kStdPropSize * k;
        if (entry + kStdPropSize > HeaderSize()) break;
        ApplyFieldProperty(Header() + entry, position);
    }
}

void TTableFile::ApplyFieldProperty(const uint8_t* entry, int position) {
    const int fieldNo = GetU16(entry + kStdPropFieldOffset);
    if (fieldNo < 1 || fieldNo > FFieldDefs.Count()) return;
    TFieldDescriptor& def = FFieldDefs.Items(fieldNo - 1);
    def.AllocBuffers();
    const uint8_t type = entry[kStdPropTypeOffset];
    if (type == kPropRequired) {
        def.SetRequired(true);
        return;
    }
    if (type != kPropMinimum && type != kPropMaximum && type != kPropDefault) return;
    const int dataOffset = position + GetU16(entry + kStdPropDataOffsetOffset);
    const int available = std::max(HeaderSize() - dataOffset, 0);
    const int length = std::min({int{GetU16(entry + kStdPropDataSizeOffset)}, def.Size(), available});
    uint8_t* target = type == kPropMinimum ? def.MinBuf() : type == kPropMaximum ? def.MaxBuf() : def.DefaultBuf();
    if (length > 0) std::memcpy(target, Header() + dataOffset, static_cast<size_t>(length));
    if (type == kPropMinimum) def.SetHasMin(true);
    if (type == kPropMaximum) def.SetHasMax(true);
    if (type == kPropDefault) def.SetHasDefault(true);
}

}  // namespace dbf
