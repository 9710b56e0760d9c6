// TTable: record buffers, fetching records through the cursor with the skipping
// of deleted (and rejected) records, bookmarks, record numbers, counting and
// the linear searches Locate, Lookup and FindRecord.
#include "dbf/table.h"

#include "dataset/DataSetStr.h"
#include "dbf/table_buffer.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace dbf {

using namespace recbuf;

namespace {

bool IsTextField(const ds::TField& field) {
    const ds::TFieldType type = field.DataType();
    return type == ds::ftString || type == ds::ftFixedChar || type == ds::ftWideString || type == ds::ftMemo;
}

// Numbers compare by value whatever their kind (an integer key finds a float field).
bool SameValue(const ds::TVariant& a, const ds::TVariant& b) {
    auto number = [](const ds::TVariant& v, double& out) {
        if (v.Is<int64_t>()) out = static_cast<double>(v.Get<int64_t>());
        else if (v.Is<double>()) out = v.Get<double>();
        else return false;
        return true;
    };
    double x = 0, y = 0;
    if (number(a, x) && number(b, y)) return x == y;
    return a == b;
}

std::string SearchText(const ds::TVariant& value) {
    if (value.Is<std::string>()) return value.Get<std::string>();
    if (value.Is<int64_t>()) return std::to_string(value.Get<int64_t>());
    return {};
}

bool TextMatches(std::string fieldText, std::string searchText, bool lastKey, TLocateOptions options) {
    if (options & loCaseInsensitive) {
        fieldText = platform::UpperCase(fieldText);
        searchText = platform::UpperCase(searchText);
    }
    if (fieldText == searchText) return true;
    return lastKey && (options & loPartialKey) && fieldText.compare(0, searchText.size(), searchText) == 0;
}

}  // namespace

// --- record buffers ---------------------------------------------------------------

ds::TRecordBufferPtr TTable::AllocRecordBuffer() {
    const size_t size = static_cast<size_t>(kImageOffset + FTableFile->RecordSize() + CalcFieldsSize());
    return std::make_unique<char[]>(size);
}

uint8_t* TTable::RecordImage(ds::TRecordBuffer buffer) const {
    return reinterpret_cast<uint8_t*>(buffer + kImageOffset);
}

ds::TRecordBuffer TTable::GetCurrentBuffer() const {
    switch (State()) {
        case ds::dsCalcFields: return CalcBuffer();
        case ds::dsFilter: return FFilterBuffer;
        default: return ActiveRecord() < BufferedRecordCount() ? ActiveBuffer() : nullptr;
    }
}

void TTable::ClearCalcFields(ds::TRecordBuffer buffer) {
    std::memset(buffer + kImageOffset + FTableFile->RecordSize(), 0, static_cast<size_t>(CalcFieldsSize()));
}

void TTable::GetBookmarkData(ds::TRecordBuffer buffer, char* data) { std::memcpy(data, buffer + kRecNoOffset, 4); }

void TTable::SetBookmarkData(ds::TRecordBuffer buffer, const char* data) { std::memcpy(buffer + kRecNoOffset, data, 4); }

ds::TBookmarkFlag TTable::GetBookmarkFlag(ds::TRecordBuffer buffer) { return BufferFlag(buffer); }

void TTable::SetBookmarkFlag(ds::TRecordBuffer buffer, ds::TBookmarkFlag flag) { SetBufferFlag(buffer, flag); }

// --- fetching ---------------------------------------------------------------------

ds::TGetResult TTable::GetRecord(ds::TRecordBuffer buffer, ds::TGetMode mode, bool /*doCheck*/) {
    if (!FCursor) return ds::grEOF;
    ds::TGetResult result;
    bool acceptable;
    do {
        result = ds::grOK;
        acceptable = true;
        if (mode == ds::gmNext) {
            acceptable = FCursor->Next();
            if (!acceptable) result = ds::grEOF;
        } else if (mode == ds::gmPrior) {
            acceptable = FCursor->Prev();
            if (!acceptable) result = ds::grBOF;
        }
        if (result == ds::grOK) acceptable = ReadCurrentRecord(buffer, result);
        if (result == ds::grOK && acceptable) {
            SetBufferRecNo(buffer, FCursor->GetPhysicalRecno());
            SetBufferFlag(buffer, ds::bfCurrent);
            SetBufferSeqNo(buffer, FCursor->GetSequentialRecno());
            GetCalcFields(buffer);
            if (FFiltered || FFindRecordFilter) acceptable = DoFilterRecord(buffer);
        }
        if (mode == ds::gmCurrent && !acceptable) result = ds::grError;
    } while (result == ds::grOK && !acceptable);
    if (result != ds::grOK) SetBufferRecNo(buffer, -1);
    return result;
}

// Reads the record at the cursor; answers whether it may be shown.
bool TTable::ReadCurrentRecord(ds::TRecordBuffer buffer, ds::TGetResult& result) {
    const int32_t recNo = FCursor->GetPhysicalRecno();
    // A record that cannot be read whole is an error, never a record of stale bytes.
    if (recNo == 0 || !FTableFile->IsRecordPresent(recNo) ||
        FTableFile->ReadRecord(recNo, RecordImage(buffer)) < FTableFile->RecordSize()) {
        result = ds::grError;
        return false;
    }
    return FShowDeleted || buffer[kImageOffset] != kDeletedFlag;
}

void TTable::InFilterState(ds::TRecordBuffer buffer, const std::function<void()>& action) {
    ds::TRecordBuffer savedBuffer = std::exchange(FFilterBuffer, buffer);
    const ds::TDataSetState savedState = SetTempState(ds::dsFilter);
    try {
        action();
    } catch (...) {
        RestoreState(savedState);
        FFilterBuffer = savedBuffer;
        throw;
    }
    RestoreState(savedState);
    FFilterBuffer = savedBuffer;
}

// --- positions ----------------------------------------------------------------------

void TTable::InternalFirst() { FCursor->First(); }

void TTable::InternalLast() { FCursor->Last(); }

void TTable::InternalSetToRecord(ds::TRecordBuffer buffer) {
    if (BufferFlag(buffer) != ds::bfInserted) FCursor->SetSequentialRecno(BufferSeqNo(buffer));
}

void TTable::InternalGotoBookmark(const char* bookmark) {
    const int32_t recNo = ReadInt(bookmark);
    if (recNo == 0) First();
    else if (recNo == std::numeric_limits<int32_t>::max()) Last();
    else if (recNo != FCursor->GetPhysicalRecno()) FCursor->SetPhysicalRecno(recNo);
}

int TTable::CompareBookmarks(const ds::TBookmark& bookmark1, const ds::TBookmark& bookmark2) {
    if (bookmark1.empty() || bookmark2.empty()) return ds::TDataSet::CompareBookmarks(bookmark1, bookmark2);
    const int32_t a = ReadInt(bookmark1.data());
    const int32_t b = ReadInt(bookmark2.data());
    return (a > b) - (a < b);
}

int TTable::GetRecNo() {
    if (!FCursor) return 0;
    if (State() == ds::dsCalcFields) return BufferSeqNo(CalcBuffer());
    return BufferedRecordCount() > 0 ? BufferSeqNo(ActiveBuffer()) : 0;
}

void TTable::SetRecNo(int value) {
    CheckBrowseMode();
    if (value == GetRecNo()) return;
    MoveCursorTo(false, value);
}

int TTable::PhysicalRecNo() {
    if (!FCursor || State() == ds::dsInsert) return -1;
    if (State() == ds::dsCalcFields) return BufferRecNo(CalcBuffer());
    return BufferedRecordCount() > 0 ? BufferRecNo(ActiveBuffer()) : -1;
}

void TTable::SetPhysicalRecNo(int value) {
    CheckBrowseMode();
    MoveCursorTo(true, value);
}

// A move of the table object's own: the framework re-reads around the cursor.
void TTable::MoveCursorTo(bool physical, int value) {
    DoBeforeScroll();
    if (physical) FCursor->SetPhysicalRecno(value);
    else FCursor->SetSequentialRecno(value);
    CursorPosChanged();
    Resync();
    DoAfterScroll();
}

void TTable::Resync(ds::TResyncMode mode) {
    if (!(FDisableResyncOnPost && FPosting)) ds::TDataSet::Resync(mode);
    FPosting = false;
}

bool TTable::IsDeleted() {
    const ds::TRecordBuffer buffer = GetCurrentBuffer();
    return !buffer || buffer[kImageOffset] == kDeletedFlag;
}

// --- counting -------------------------------------------------------------------------

int TTable::GetRecordCount() { return FCursor ? FCursor->GetSequentialRecordCount() : 0; }

int TTable::ExactRecordCount() {
    if (!FCursor) return 0;
    const int32_t saved = FCursor->GetSequentialRecno();
    FCursor->First();
    int count = 0;
    while (GetRecord(FTempBuffer.get(), ds::gmNext, false) == ds::grOK) ++count;
    FCursor->SetSequentialRecno(saved);
    return count;
}

// --- searching ------------------------------------------------------------------------

std::vector<ds::TField*> TTable::FieldList(const std::string& names) const {
    std::vector<ds::TField*> fields;
    size_t start = 0;
    while (start <= names.size()) {
        const size_t end = std::min(names.find(';', start), names.size());
        const std::string name = names.substr(start, end - start);
        if (!name.empty()) fields.push_back(&FieldByName(name));
        start = end + 1;
    }
    return fields;
}

// Walks from the first record and leaves the cursor on the first match.
bool TTable::FindKey(const std::vector<ds::TField*>& keyFields, const std::vector<ds::TVariant>& keyValues,
                   TLocateOptions options) {
    if (keyFields.empty() || keyFields.size() != keyValues.size()) return false;
    FCursor->First();
    while (GetRecord(FTempBuffer.get(), ds::gmNext, false) == ds::grOK) {
        bool matches = false;
        InFilterState(FTempBuffer.get(), [&] { matches = KeyMatches(keyFields, keyValues, options); });
        if (matches) return true;
    }
    return false;
}

bool TTable::KeyMatches(const std::vector<ds::TField*>& keyFields, const std::vector<ds::TVariant>& keyValues,
                      TLocateOptions options) {
    for (size_t i = 0; i < keyFields.size(); ++i) {
        const ds::TField& field = *keyFields[i];
        const bool lastKey = i + 1 == keyFields.size();
        const bool matches = IsTextField(field)
                                 ? TextMatches(field.AsString(), SearchText(keyValues[i]), lastKey, options)
                                 : SameValue(field.Value(), keyValues[i]);
        if (!matches) return false;
    }
    return true;
}

bool TTable::Locate(const std::string& keyFields, const std::vector<ds::TVariant>& keyValues,
                  TLocateOptions options) {
    if (!FCursor) return false;
    CheckBrowseMode();
    DoBeforeScroll();
    const std::vector<ds::TField*> fields = FieldList(keyFields);
    UpdateCursorPos();
    const int32_t saved = FCursor->GetSequentialRecno();
    if (!FindKey(fields, keyValues, options)) {
        FCursor->SetSequentialRecno(saved);
        return false;
    }
    CursorPosChanged();
    Resync(ds::rmExact | ds::rmCenter);
    DoAfterScroll();
    return true;
}

std::vector<ds::TVariant> TTable::Lookup(const std::string& keyFields, const std::vector<ds::TVariant>& keyValues,
                                       const std::string& resultFields) {
    std::vector<ds::TVariant> values;
    if (!FCursor) return values;
    CheckBrowseMode();
    const std::vector<ds::TField*> keys = FieldList(keyFields);
    const std::vector<ds::TField*> results = FieldList(resultFields);
    UpdateCursorPos();
    const int32_t saved = FCursor->GetSequentialRecno();
    try {
        if (FindKey(keys, keyValues, 0)) {
            InFilterState(FTempBuffer.get(), [&] {
                for (const ds::TField* field : results) values.push_back(field->Value());
            });
        }
    } catch (...) {
        FCursor->SetSequentialRecno(saved);
        throw;
    }
    FCursor->SetSequentialRecno(saved);
    return values;
}

bool TTable::FindRecord(bool restart, bool goForward) {
    CheckBrowseMode();
    DoBeforeScroll();
    UpdateCursorPos();
    const int32_t saved = FCursor->GetSequentialRecno();
    if (restart) goForward ? FCursor->First() : FCursor->Last();
    FFindRecordFilter = true;
    ds::TGetResult result;
    try {
        result = GetRecord(FTempBuffer.get(), goForward ? ds::gmNext : ds::gmPrior, false);
    } catch (...) {
        FFindRecordFilter = false;
        FCursor->SetSequentialRecno(saved);
        throw;
    }
    FFindRecordFilter = false;
    if (result != ds::grOK) {
        FCursor->SetSequentialRecno(saved);
        return false;
    }
    CursorPosChanged();
    Resync();
    DoAfterScroll();
    return true;
}

}  // namespace dbf
