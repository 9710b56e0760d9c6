// TTableFile: record locks for editing and the lock information that tells
// other users who holds a record.
//
// Lock-information field (_DBASELOCK, width 8 + n), relative to its offset:
//   | off | size | meaning                                                    |
//   |-----|------|------------------------------------------------------------|
//   |   0 |    2 | lock counter, uint16 LE, +1 on every lock and every append  |
//   |   2 |    1 | hour of the lock (0-23)                                    |
//   |   3 |    1 | minute                                                     |
//   |   4 |    1 | second                                                     |
//   |   5 |    1 | year - 1900 (low 8 bits)                                   |
//   |   6 |    1 | month                                                      |
//   |   7 |    1 | day                                                        |
//   |   8 |    n | user name: LockUserLen characters, the rest spaces         |
#include "dbf/table_file.h"

#include "dbf/table_file_layout.h"
#include "dbf/language.h"
#include "dbf/messages.h"
#include "dbf/platform/machine.h"

#include <algorithm>
#include <cstring>

namespace dbf {

using namespace layout;

namespace {

// A write that moved only part of a record leaves a mix of old and new bytes;
// the record gets back what it held since it was locked (the image read then,
// with the lock information written then), when the file takes it.
void PutBackLockedImage(TTableFile& file, int32_t recNo, const uint8_t* posted) {
    std::vector<uint8_t> image(file.PrevBuffer(), file.PrevBuffer() + file.RecordSize());
    if (const TFieldDescriptor* lock = file.LockField())
        std::memcpy(image.data() + lock->Offset(), posted + lock->Offset(), static_cast<size_t>(lock->Size()));
    file.WriteRecord(recNo, image.data());
}

}  // namespace

void TTableFile::LockRecord(int32_t recNo, uint8_t* buffer) {
    if (!LockPage(recNo, false)) throw ETableError(msg::RecordLocked);
    // The edit starts from what is on disk now, not from an older copy.
    ReadRecord(recNo, buffer);
    std::memcpy(FPrevBuffer.data(), buffer, FPrevBuffer.size());
    if (!FLockField) return;
    WriteLockInfo(buffer);
    WriteRecord(recNo, buffer);
}

void TTableFile::UnlockRecord(int32_t recNo, const uint8_t* buffer) {
    for (size_t i = 0; i < FIndexFiles.size(); ++i) {
        if (FIndexFiles[i]->Update(recNo, FPrevBuffer.data(), buffer)) continue;
        for (size_t done = 0; done < i; ++done) FIndexFiles[done]->Update(recNo, buffer, FPrevBuffer.data());
        FIndexFiles[i]->RaiseKeyViolation();
    }
    WriteRecord(recNo, buffer);
    // A post that did not reach the file must not pass for a success. The
    // edit stays pending, so the lock stays held until it is cancelled.
    if (WriteError()) {
        ResetError();
        for (auto& index : FIndexFiles) index->Update(recNo, buffer, FPrevBuffer.data());
        PutBackLockedImage(*this, recNo, buffer);
        ResetError();
        throw ETableWriteError(msg::WriteError);
    }
    UnlockPage(recNo);
}

void TTableFile::WriteLockInfo(uint8_t* buffer) const {
    uint8_t* info = buffer + FLockField->Offset();
    PutU16(info, static_cast<uint16_t>(GetU16(info) + 1));
    const platform::TLocalDateTime now = platform::LocalDateTime();
    info[2] = static_cast<uint8_t>(now.Hour);
    info[3] = static_cast<uint8_t>(now.Minute);
    info[4] = static_cast<uint8_t>(now.Second);
    info[5] = static_cast<uint8_t>(now.Year - 1900);
    info[6] = static_cast<uint8_t>(now.Month);
    info[7] = static_cast<uint8_t>(now.Day);
    uint8_t* name = info + kLockInfoSize;
    std::memset(name, ' ', static_cast<size_t>(FLockField->Size() - kLockInfoSize));
    const std::string& user = EngineGlobals().UserName();
    std::memcpy(name, user.data(), std::min<size_t>(FLockUserLen, user.size()));
}

}  // namespace dbf
