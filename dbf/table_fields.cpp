// TTable: the routing of field values between the field objects and the record
// image of the current record, the memo streams, and the conversion of text
// between the table's code page, the ANSI code page and the program's UTF-8
// (text the code pages cannot hold is refused or written in its plain form).
#include "dbf/table.h"

#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"
#include "dbf/blob_stream.h"
#include "dbf/table_buffer.h"
#include "dbf/language.h"
#include "dbf/platform/text.h"
#include "dbf/stored_text.h"

#include <cstring>

namespace dbf {

using namespace recbuf;

namespace {

// The calculated-field slot of a field in a record buffer: a presence byte, then the value.
char* CalcSlot(ds::TRecordBuffer buffer, int32_t recordSize, const ds::TField& field) {
    return buffer + kImageOffset + recordSize + field.Offset();
}

}  // namespace

bool TTable::GetFieldData(ds::TField* field, void* buffer, bool nativeFormat) {
    const ds::TRecordBuffer record = GetCurrentBuffer();
    if (!record || !FTableFile) return false;
    if (field->FieldNo() > 0) {
        return FTableFile->GetFieldData(field->FieldNo() - 1, field->DataType(),
                                      RecordImage(record), buffer, nativeFormat);
    }
    const char* slot = CalcSlot(record, FTableFile->RecordSize(), *field);
    if (slot[0] == 0) return false;
    if (buffer) std::memcpy(buffer, slot + 1, static_cast<size_t>(field->DataSize()));
    return true;
}

void TTable::SetFieldData(ds::TField* field, const void* buffer, bool nativeFormat) {
    if (field->FieldNo() < 0) {
        char* slot = CalcSlot(CalcBuffer(), FTableFile->RecordSize(), *field);
        slot[0] = buffer ? 1 : 0;
        if (buffer) std::memcpy(slot + 1, buffer, static_cast<size_t>(field->DataSize()));
    } else {
        const ds::TRecordBuffer record = GetCurrentBuffer();
        if (!record) return;
        FTableFile->SetFieldData(field->FieldNo() - 1, field->DataType(), buffer,
                               RecordImage(record), nativeFormat);
    }
    if (NotifiesFieldChanges()) DataEvent(ds::deFieldChange, {field, 0});
}

bool TTable::NotifiesFieldChanges() const {
    return State() != ds::dsCalcFields && State() != ds::dsFilter && State() != ds::dsNewValue;
}

void TTable::NotifyFieldChange(ds::TField* field) {
    if (!NotifiesFieldChanges()) return;
    // The record is modified whatever the bound controls make of the news.
    SetModified(true);
    try {
        DataEvent(ds::deFieldChange, {field, 0});
    } catch (...) {
        // Called while a memo stream is released, where nothing can be
        // raised; the text itself is kept and reaches the file on post.
    }
}

// --- memo streams -------------------------------------------------------------------

std::unique_ptr<ds::TStream> TTable::CreateBlobStream(ds::TField* field, ds::TBlobStreamMode mode) {
    CheckActive();
    if (mode != ds::bmRead && State() != ds::dsEdit && State() != ds::dsInsert)
        ds::DatabaseError(ds::msg::NotEditing);
    TTableBlobStream& stream = BlobStreamOf(field);
    const ds::TRecordBuffer record = GetCurrentBuffer();
    stream.Prepare(record ? RecordImage(record) : nullptr, mode);
    return std::make_unique<TTableBlobStreamHandle>(FBlobStreams[static_cast<size_t>(field->FieldNo() - 1)], mode);
}

TTableBlobStream& TTable::BlobStreamOf(ds::TField* field) {
    const int slot = field->FieldNo() - 1;
    if (slot < 0 || slot >= static_cast<int>(FBlobStreams.size()))
        ds::DatabaseError(ds::Format(ds::msg::FieldAccessError, field->FieldName().c_str(), "Blob"), Name());
    std::shared_ptr<TTableBlobStream>& stream = FBlobStreams[static_cast<size_t>(slot)];
    if (!stream) stream = std::make_shared<TTableBlobStream>(*this, *field);
    return *stream;
}

void TTable::CommitBlobStreams() {
    for (const auto& stream : FBlobStreams)
        if (stream) stream->Commit();
}

void TTable::CancelBlobStreams() {
    for (const auto& stream : FBlobStreams)
        if (stream) stream->Cancel();
}

void TTable::FreeBlobStreams() {
    for (const auto& stream : FBlobStreams)
        if (stream) stream->Detach();
    FBlobStreams.clear();
}

// --- text -------------------------------------------------------------------------------

int TTable::Translate(const char* source, char* dest, bool toOem) {
    if (!source || !dest) return 0;
    if (OnTranslate) {
        const int length = OnTranslate(*this, source, dest, toOem);
        return length == -1 ? static_cast<int>(std::strlen(dest)) : length;
    }
    const int ansi = AnsiCodePage();
    // Without a converter for the table's code page the bytes pass unchanged:
    // a conversion into nothing would wipe the text.
    if (FTranslationMode == tmNoneNeeded || FTranslationMode == tmNoneAvailable || FCodePage == ansi) {
        const size_t length = std::strlen(source);
        if (dest != source) std::memmove(dest, source, length + 1);
        return static_cast<int>(length);
    }
    return toOem ? TranslateString(ansi, FCodePage, source, dest, -1)
                 : TranslateString(FCodePage, ansi, source, dest, -1);
}

std::string TTable::AnsiFromText(const std::string& text) {
    // The ANSI bytes go on to the table's code page unless they are stored as they are.
    const bool translated = !OnTranslate && FTranslationMode != tmNoneNeeded &&
                            FTranslationMode != tmNoneAvailable && FCodePage != AnsiCodePage();
    return StoredAnsiText(text, {AnsiCodePage(), translated ? FCodePage : 0, FStorePlainForms});
}

std::string TTable::TextFromAnsi(const std::string& ansi) {
    return platform::CodePageToUtf8(AnsiCodePage(), ansi);
}

}  // namespace dbf
