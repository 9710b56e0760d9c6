#include "MemoryDataSet.h"

#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"
#include "dataset/FieldFactory.h"
#include "dataset/MemoryStream.h"

#include <cctype>
#include <cstring>

namespace dstest {

namespace {

// A write-mode blob stream: its content reaches the record when it is released.
class TWriteBackStream : public ds::TMemoryStream {
public:
    TWriteBackStream(TMemoryDataSet& dataSet, ds::TField* field) : FDataSet(dataSet), FField(field) {}
    ~TWriteBackStream() override { FDataSet.StoreBlob(FField, std::string(Memory(), static_cast<size_t>(Size()))); }

private:
    TMemoryDataSet& FDataSet;
    ds::TField* FField;
};

bool IsBlobType(ds::TFieldType type) {
    return type == ds::ftMemo || type == ds::ftBlob || type == ds::ftDBaseOle;
}

int32_t ReadInt32(const char* bytes) {
    int32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void WriteInt32(char* bytes, int32_t value) {
    std::memcpy(bytes, &value, sizeof value);
}

}  // namespace

TMemoryDataSet::TMemoryDataSet(std::vector<TColumn> columns) : FColumns(std::move(columns)) {
    SetBookmarkSize(4);
    int offset = HeaderSize;
    for (const TColumn& column : FColumns) {
        FSlotOffsets.push_back(offset);
        offset += 1 + ValueSize(column);
    }
    FImageSize = offset - HeaderSize;
}

TMemoryDataSet::~TMemoryDataSet() {
    Close();
}

int TMemoryDataSet::ValueSize(const TColumn& column) const {
    if (IsBlobType(column.Type)) return 4;
    return ds::CreateFieldOfType(column.Type, column.Size)->DataSize();
}

std::vector<char> TMemoryDataSet::EncodeValue(const TColumn& column, const ds::TVariant& value) {
    std::vector<char> bytes(static_cast<size_t>(ValueSize(column)), '\0');
    switch (column.Type) {
        case ds::ftString: {
            const std::string& text = value.Get<std::string>();
            std::memcpy(bytes.data(), text.data(), std::min(text.size(), bytes.size() - 1));
            break;
        }
        case ds::ftInteger: WriteInt32(bytes.data(), static_cast<int32_t>(value.Get<int64_t>())); break;
        case ds::ftBoolean: {
            const int16_t flag = value.Get<bool>() ? 1 : 0;
            std::memcpy(bytes.data(), &flag, sizeof flag);
            break;
        }
        case ds::ftFloat: {
            const double number = value.Get<double>();
            std::memcpy(bytes.data(), &number, sizeof number);
            break;
        }
        case ds::ftMemo:
            FBlobPool.push_back(value.Get<std::string>());
            WriteInt32(bytes.data(), static_cast<int32_t>(FBlobPool.size() - 1));
            break;
        default: throw std::logic_error("AddRow does not store this type");
    }
    return bytes;
}

void TMemoryDataSet::AddRow(const std::vector<ds::TVariant>& values) {
    TStoredRecord record;
    record.Image.assign(static_cast<size_t>(FImageSize), '\0');
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].IsNull()) continue;
        const std::vector<char> bytes = EncodeValue(FColumns[i], values[i]);
        char* slot = record.Image.data() + SlotOffset(static_cast<int>(i)) - HeaderSize;
        slot[0] = 1;
        std::memcpy(slot + 1, bytes.data(), bytes.size());
    }
    FRecords.push_back(std::move(record));
}

std::string TMemoryDataSet::StoredText(int recordNumber, int column) const {
    const char* slot = FRecords.at(static_cast<size_t>(recordNumber - 1)).Image.data() + SlotOffset(column) - HeaderSize;
    return slot[0] ? std::string(slot + 1) : std::string();
}

void TMemoryDataSet::InternalInitFieldDefs() {
    FieldDefs().Clear();
    for (const TColumn& column : FColumns) FieldDefs().Add(column.Name, column.Type, column.Size, column.Required);
}

void TMemoryDataSet::InternalOpen() {
    InitFieldDefs();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    FCursor = 0;
    FOpen = true;
}

void TMemoryDataSet::InternalClose() {
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    FOpen = false;
}

ds::TRecordBufferPtr TMemoryDataSet::AllocRecordBuffer() {
    return std::make_unique<char[]>(static_cast<size_t>(HeaderSize + FImageSize + CalcFieldsSize()));
}

void TMemoryDataSet::ReadStored(int recordNumber, ds::TRecordBuffer buffer) const {
    WriteInt32(buffer, recordNumber);
    buffer[4] = ds::bfCurrent;
    const auto& image = FRecords[static_cast<size_t>(recordNumber - 1)].Image;
    std::memcpy(buffer + HeaderSize, image.data(), image.size());
}

ds::TGetResult TMemoryDataSet::GetRecord(ds::TRecordBuffer buffer, ds::TGetMode mode, bool /*doCheck*/) {
    for (;;) {
        if (mode == ds::gmNext) {
            if (FCursor <= StoredCount()) ++FCursor;
            if (FCursor > StoredCount()) return ds::grEOF;
        } else if (mode == ds::gmPrior) {
            if (FCursor > 0) --FCursor;
            if (FCursor == 0) return ds::grBOF;
        } else if (FCursor < 1 || FCursor > StoredCount()) {
            return ds::grError;
        }
        if (!FRecords[static_cast<size_t>(FCursor - 1)].Deleted) break;
        if (mode == ds::gmCurrent) return ds::grError;
    }
    ReadStored(FCursor, buffer);
    GetCalcFields(buffer);
    return ds::grOK;
}

int TMemoryDataSet::BufferRecordNumber(ds::TRecordBuffer buffer) const {
    return ReadInt32(buffer);
}

void TMemoryDataSet::InternalSetToRecord(ds::TRecordBuffer buffer) {
    if (GetBookmarkFlag(buffer) != ds::bfInserted) FCursor = BufferRecordNumber(buffer);
}

void TMemoryDataSet::GetBookmarkData(ds::TRecordBuffer buffer, char* data) {
    std::memcpy(data, buffer, 4);
}

void TMemoryDataSet::SetBookmarkData(ds::TRecordBuffer buffer, const char* data) {
    std::memcpy(buffer, data, 4);
}

ds::TBookmarkFlag TMemoryDataSet::GetBookmarkFlag(ds::TRecordBuffer buffer) {
    return static_cast<ds::TBookmarkFlag>(buffer[4]);
}

void TMemoryDataSet::SetBookmarkFlag(ds::TRecordBuffer buffer, ds::TBookmarkFlag flag) {
    buffer[4] = static_cast<char>(flag);
}

void TMemoryDataSet::InternalGotoBookmark(const char* bookmark) {
    FCursor = ReadInt32(bookmark);
}

int TMemoryDataSet::CompareBookmarks(const ds::TBookmark& bookmark1, const ds::TBookmark& bookmark2) {
    if (bookmark1.empty() || bookmark2.empty()) return ds::TDataSet::CompareBookmarks(bookmark1, bookmark2);
    const int32_t a = ReadInt32(bookmark1.data());
    const int32_t b = ReadInt32(bookmark2.data());
    return (a > b) - (a < b);
}

void TMemoryDataSet::InternalInitRecord(ds::TRecordBuffer buffer) {
    std::memset(buffer, 0, static_cast<size_t>(HeaderSize + FImageSize));
}

void TMemoryDataSet::InternalEdit() {
    if (LockedRecords.count(FCursor)) throw ds::EDatabaseError("Record locked.");
    ReadStored(FCursor, ActiveBuffer());
}

void TMemoryDataSet::AppendStored(ds::TRecordBuffer buffer) {
    FRecords.push_back({std::vector<char>(buffer + HeaderSize, buffer + HeaderSize + FImageSize), false});
    FCursor = StoredCount();
}

void TMemoryDataSet::InternalPost() {
    if (FailPost) throw ds::EDatabaseError("Error while writing occurred. (Disk full?)");
    ++FPostCount;
    if (State() == ds::dsInsert) {
        AppendStored(ActiveBuffer());
        return;
    }
    auto& image = FRecords[static_cast<size_t>(BufferRecordNumber(ActiveBuffer()) - 1)].Image;
    std::memcpy(image.data(), ActiveBuffer() + HeaderSize, image.size());
}

void TMemoryDataSet::InternalAddRecord(ds::TRecordBuffer buffer, bool /*append*/) {
    if (FailPost) throw ds::EDatabaseError("Error while writing occurred. (Disk full?)");
    ++FPostCount;
    AppendStored(buffer);
}

void TMemoryDataSet::InternalDelete() {
    FRecords[static_cast<size_t>(FCursor - 1)].Deleted = true;
}

void TMemoryDataSet::ClearCalcFields(ds::TRecordBuffer buffer) {
    std::memset(buffer + HeaderSize + FImageSize, 0, static_cast<size_t>(CalcFieldsSize()));
}

int TMemoryDataSet::GetRecNo() {
    if (IsEmpty()) return 0;
    return BufferRecordNumber(ActiveBuffer());
}

void TMemoryDataSet::SetRecNo(int value) {
    CheckBrowseMode();
    if (value == RecNo()) return;
    DoBeforeScroll();
    FCursor = value;
    CursorPosChanged();
    Resync();
    DoAfterScroll();
}

int TMemoryDataSet::GetRecordCount() {
    CheckActive();
    return StoredCount();
}

ds::TRecordBuffer TMemoryDataSet::CurrentBuffer() const {
    if (State() == ds::dsCalcFields) return CalcBuffer();
    if (ActiveRecord() >= BufferedRecordCount()) return nullptr;
    return ActiveBuffer();
}

bool TMemoryDataSet::GetFieldData(ds::TField* field, void* buffer, bool /*nativeFormat*/) {
    ds::TRecordBuffer record = CurrentBuffer();
    if (!record) return false;
    const char* slot = field->FieldNo() > 0 ? record + SlotOffset(field->FieldNo() - 1)
                                            : record + HeaderSize + FImageSize + field->Offset();
    if (!slot[0]) return false;
    if (buffer) std::memcpy(buffer, slot + 1, static_cast<size_t>(field->DataSize()));
    return true;
}

void TMemoryDataSet::SetFieldData(ds::TField* field, const void* buffer, bool /*nativeFormat*/) {
    ds::TRecordBuffer record = State() == ds::dsCalcFields ? CalcBuffer() : ActiveBuffer();
    char* slot = field->FieldNo() > 0 ? record + SlotOffset(field->FieldNo() - 1)
                                      : record + HeaderSize + FImageSize + field->Offset();
    slot[0] = buffer ? 1 : 0;
    const size_t size = static_cast<size_t>(field->DataSize());
    if (buffer) std::memcpy(slot + 1, buffer, size);
    else std::memset(slot + 1, 0, size);
    if (State() != ds::dsCalcFields && State() != ds::dsFilter && State() != ds::dsNewValue)
        DataEvent(ds::deFieldChange, {field});
}

std::unique_ptr<ds::TStream> TMemoryDataSet::CreateBlobStream(ds::TField* field, ds::TBlobStreamMode mode) {
    if (mode != ds::bmRead) {
        if (State() != ds::dsEdit && State() != ds::dsInsert) ds::DatabaseError(ds::msg::NotEditing);
        return std::make_unique<TWriteBackStream>(*this, field);
    }
    auto stream = std::make_unique<ds::TMemoryStream>();
    ds::TRecordBuffer record = CurrentBuffer();
    const char* slot = record ? record + SlotOffset(field->FieldNo() - 1) : nullptr;
    if (slot && slot[0]) {
        stream->WriteAll(FBlobPool.at(static_cast<size_t>(ReadInt32(slot + 1))));
        stream->SetPosition(0);
    }
    return stream;
}

void TMemoryDataSet::StoreBlob(ds::TField* field, std::string content) {
    FBlobPool.push_back(std::move(content));
    char* slot = ActiveBuffer() + SlotOffset(field->FieldNo() - 1);
    slot[0] = 1;
    WriteInt32(slot + 1, static_cast<int32_t>(FBlobPool.size() - 1));
    DataEvent(ds::deFieldChange, {field});
}

int TMemoryDataSet::Translate(const char* source, char* dest, bool toOem) {
    const int length = ds::TDataSet::Translate(source, dest, toOem);
    if (!StorageUpperCase) return length;
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(dest[i]);
        dest[i] = static_cast<char>(toOem ? std::toupper(c) : std::tolower(c));
    }
    return length;
}

std::string TMemoryDataSet::AnsiFromText(const std::string& text) {
    if (!Latin1Ansi) return text;
    std::string ansi;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) ansi += static_cast<char>(c);
        else if ((c & 0xE0) == 0xC0 && i + 1 < text.size())
            ansi += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        else ansi += '?';
    }
    return ansi;
}

std::string TMemoryDataSet::TextFromAnsi(const std::string& ansi) {
    if (!Latin1Ansi) return ansi;
    std::string text;
    for (const char ch : ansi) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            text += ch;
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

}  // namespace dstest
