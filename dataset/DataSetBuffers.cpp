// The ring of record buffers and the moves through it: First, Last, MoveBy,
// Resync and the growing or shrinking of the ring.
//
// Invariants: FBuffers holds FBufferCount ring buffers and one spare at the
// end; buffers 0 .. FBufferedCount-1 hold consecutive records in dataset
// order; FActiveRecord < max(1, FBufferedCount); FCurrentRecord is the buffer
// whose record the subclass's cursor stands on, or -1.
#include "dataset/DataSet.h"

#include "dataset/DataSetStr.h"
#include "dataset/DataSource.h"
#include "dataset/DatabaseError.h"

#include <algorithm>

namespace ds {

void TDataSet::AllocateBuffers() {
    FBuffers.clear();
    for (int i = 0; i <= FBufferCount; ++i) FBuffers.push_back(AllocRecordBuffer());
    ClearBuffers();
}

void TDataSet::FreeBuffers() {
    FBuffers.clear();
    ClearBuffers();
}

void TDataSet::ClearBuffers() {
    FBufferedCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
}

void TDataSet::MoveBuffer(int from, int to) {
    const auto begin = FBuffers.begin();
    if (from < to) std::rotate(begin + from, begin + from + 1, begin + to + 1);
    else if (from > to) std::rotate(begin + to, begin + from, begin + from + 1);
}

void TDataSet::SetCurrentRecord(int index) {
    if (FCurrentRecord == index) return;
    TRecordBuffer buffer = Buffer(index);
    switch (GetBookmarkFlag(buffer)) {
        case bfCurrent:
        case bfInserted: InternalSetToRecord(buffer); break;
        case bfBOF: InternalFirst(); break;
        case bfEOF: InternalLast(); break;
    }
    FCurrentRecord = index;
}

void TDataSet::UpdateCursorPos() {
    if (FBufferedCount > 0) SetCurrentRecord(FActiveRecord);
}

// Fetches the record after the last buffered one. With a full ring the oldest
// record leaves it; the caller decides what becomes active.
bool TDataSet::GetNextRecord() {
    if (FBufferedCount > 0) SetCurrentRecord(FBufferedCount - 1);
    const bool full = FBufferedCount == FBufferCount;
    if (GetRecord(Buffer(FBufferedCount), gmNext, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (full) MoveBuffer(0, FBufferCount);
    else ++FBufferedCount;
    FCurrentRecord = FBufferedCount - 1;
    return true;
}

// Fetches the record before the first buffered one into buffer 0; every
// buffered record moves up by one, and with a full ring the last one leaves.
bool TDataSet::GetPriorRecord() {
    if (FBufferedCount > 0) SetCurrentRecord(0);
    const bool full = FBufferedCount == FBufferCount;
    if (GetRecord(Buffer(FBufferedCount), gmPrior, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    MoveBuffer(FBufferedCount, 0);
    if (!full) ++FBufferedCount;
    FCurrentRecord = 0;
    return true;
}

int TDataSet::GetNextRecords() {
    int fetched = 0;
    while (FBufferedCount < FBufferCount && GetNextRecord()) ++fetched;
    return fetched;
}

int TDataSet::GetPriorRecords() {
    int fetched = 0;
    while (FBufferedCount < FBufferCount && GetPriorRecord()) ++fetched;
    return fetched;
}

void TDataSet::FetchFirstRecords() {
    ClearBuffers();
    GetNextRecords();
    FBOF = true;
    FEOF = FBufferedCount == 0;
}

void TDataSet::First() {
    CheckBrowseMode();
    RunEvent(BeforeScroll);
    ClearBuffers();
    InternalFirst();
    FetchFirstRecords();
    DataEvent(deDataSetChange);
    RunEvent(AfterScroll);
}

void TDataSet::Last() {
    CheckBrowseMode();
    RunEvent(BeforeScroll);
    ClearBuffers();
    InternalLast();
    GetPriorRecords();
    FActiveRecord = std::max(0, FBufferedCount - 1);
    FEOF = true;
    FBOF = FBufferedCount == 0;
    DataEvent(deDataSetChange);
    RunEvent(AfterScroll);
}

bool TDataSet::StepForward(int& shift) {
    if (FActiveRecord < FBufferedCount - 1) {
        ++FActiveRecord;
        return true;
    }
    const bool full = FBufferedCount == FBufferCount;
    if (!GetNextRecord()) return false;
    if (full) --shift;
    else ++FActiveRecord;
    return true;
}

bool TDataSet::StepBackward(int& shift) {
    if (FActiveRecord > 0) {
        --FActiveRecord;
        return true;
    }
    if (!GetPriorRecord()) return false;
    ++shift;
    return true;
}

int TDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    if ((distance > 0 && FEOF) || (distance < 0 && FBOF) || distance == 0) return 0;
    FBOF = FEOF = false;
    RunEvent(BeforeScroll);
    const int oldBufferedCount = FBufferedCount;
    int shift = 0;
    int moved = 0;
    try {
        for (; distance > 0; --distance, ++moved) {
            if (!StepForward(shift)) {
                FEOF = true;
                break;
            }
        }
        for (; distance < 0; ++distance, --moved) {
            if (!StepBackward(shift)) {
                FBOF = true;
                break;
            }
        }
    } catch (...) {
        // The ring is intact but the controls must learn how far it got.
        CursorPosChanged();
        DataEvent(deDataSetChange);
        throw;
    }
    if (FBufferedCount != oldBufferedCount) DataEvent(deDataSetChange);
    else DataEvent(deDataSetScroll, {nullptr, shift});
    RunEvent(AfterScroll);
    return moved;
}

void TDataSet::Resync(TResyncMode mode) {
    const TRecordBuffer spare = Buffer(FBufferCount);
    if (mode & rmExact) {
        CursorPosChanged();
        if (GetRecord(spare, gmCurrent, false) != grOK) DatabaseError(msg::RecordNotFound, FName);
    } else if (GetRecord(spare, gmCurrent, false) != grOK && GetRecord(spare, gmNext, false) != grOK &&
               GetRecord(spare, gmPrior, false) != grOK) {
        ClearBuffers();
        FBOF = FEOF = true;
        DataEvent(deDataSetChange);
        return;
    }
    const int recordsBefore = (mode & rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
    MoveBuffer(FBufferCount, 0);
    FBufferedCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FillAroundActive(recordsBefore);
    FBOF = FEOF = false;
    DataEvent(deDataSetChange);
}

// With the active record alone in the ring, fetches up to recordsBefore
// records before it, then fills the ring forward, then backward again when the
// records ran out at the end.
void TDataSet::FillAroundActive(int recordsBefore) {
    for (int i = 0; i < recordsBefore && GetPriorRecord(); ++i) ++FActiveRecord;
    GetNextRecords();
    FActiveRecord += GetPriorRecords();
}

void TDataSet::SetBufferCount(int count) {
    count = std::max(1, count);
    if (count == FBufferCount) return;
    if (!Active()) {
        FBufferCount = count;
        return;
    }
    if (count < FBufferCount) {
        ShrinkRing(count);
    } else {
        // New buffers go before the spare, which stays last.
        for (int i = FBufferCount; i < count; ++i) FBuffers.insert(FBuffers.begin() + i, AllocRecordBuffer());
        FBufferCount = count;
        GetNextRecords();
        FActiveRecord += GetPriorRecords();
    }
    DataEvent(deDataSetChange);
}

// Drops records from the front until the active one fits, then from the end.
void TDataSet::ShrinkRing(int count) {
    const int dropFront = std::max(0, FActiveRecord - (count - 1));
    for (int i = 0; i < dropFront; ++i) MoveBuffer(0, FBufferCount);
    FActiveRecord -= dropFront;
    FBufferedCount = std::min(FBufferedCount - dropFront, count);
    FCurrentRecord -= dropFront;
    if (FCurrentRecord < 0 || FCurrentRecord >= FBufferedCount) FCurrentRecord = -1;
    FBuffers.erase(FBuffers.begin() + count + 1, FBuffers.end());
    FBufferCount = count;
}

void TDataSet::UpdateBufferCount() {
    int needed = 1;
    for (const TDataSource* source : FDataSources) needed = std::max(needed, source->LinkBufferCount());
    SetBufferCount(needed);
}

}  // namespace ds
