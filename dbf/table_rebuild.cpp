#include "dbf/table_rebuild.h"

#include "dbf/messages.h"
#include "dbf/stream.h"
#include "dbf/platform/companion_files.h"
#include "dbf/platform/files.h"

#include <algorithm>
#include <cstring>

namespace dbf {

namespace {

constexpr int32_t kDefaultMemoBlockSize = 512;
constexpr char kDeletedFlag = '*';

// Room for the value buffer of any data type of a field of that width.
size_t ValueBufferSize(const TFieldDescriptor& a, const TFieldDescriptor& b) {
    return static_cast<size_t>(std::max({a.Size(), b.Size(), 16})) + 1;
}

void CheckWritten(TPagedFile& file) {
    if (!file.WriteError()) return;
    file.ResetError();
    throw ETableWriteError(msg::WriteError);
}

}  // namespace

std::string MemoPathOf(const std::string& tablePath, const std::string& memoExt) {
    return platform::CompanionPath(tablePath, memoExt);
}

TTableRebuilder::TTableRebuilder(TTableFile& source, std::string targetPath)
    : FSource(source), FTargetPath(std::move(targetPath)), FMemoExt(source.GetMemoExt()) {}

std::string TTableRebuilder::TargetMemoPath() const { return MemoPathOf(FTargetPath, FMemoExt); }

void TTableRebuilder::DeleteTargetFiles() const {
    platform::DeleteFile(FTargetPath);
    platform::DeleteFile(TargetMemoPath());
}

void TTableRebuilder::Build(TFieldDescriptors& newDefs, const std::vector<int>& fieldSource, bool copyRecords,
                            bool keepDeleted) {
    FFieldSource = fieldSource;
    TTableFile target;
    CreateTarget(target, newDefs);
    if (copyRecords) CopyRecords(target, keepDeleted);
    target.Close();
    CheckWritten(target);
}

void TTableRebuilder::CreateTarget(TTableFile& target, TFieldDescriptors& newDefs) {
    target.SetFileName(FTargetPath);
    target.SetMode(pfExclusiveCreate);
    target.SetAutoCreate(false);
    target.SetTableVersion(FSource.TableVersion());
    target.SetFileLangId(FSource.FileLangId());
    target.SetDateTimeHandling(FSource.DateTimeHandling());
    target.Open();
    const TMemoFile* memo = FSource.MemoFile();
    const int32_t blockSize = memo && memo->GetBlockLen() > 0 ? memo->GetBlockLen() : kDefaultMemoBlockSize;
    target.FinishCreate(newDefs, blockSize);
    CheckWritten(target);
    // New numbers continue behind the old ones, never among them.
    for (size_t i = 0; i < FFieldSource.size(); ++i) {
        TFieldDescriptor& def = target.FieldDefs().Items(static_cast<int>(i));
        if (def.NativeFieldType() == '+' && FFieldSource[i] >= 0)
            def.SetAutoInc(std::max(def.AutoInc(), FSource.FieldDefs().Items(FFieldSource[i]).AutoInc()));
    }
}

void TTableRebuilder::CopyRecords(TTableFile& target, bool keepDeleted) {
    std::vector<uint8_t> oldImage(static_cast<size_t>(FSource.RecordSize()));
    std::vector<uint8_t> newImage(static_cast<size_t>(target.RecordSize()));
    const int32_t count = FSource.GetRecordCount();
    for (int32_t recNo = 1; recNo <= count; ++recNo) {
        if (FSource.ReadRecord(recNo, oldImage.data()) < FSource.RecordSize()) throw ETableError(msg::InvalidDbfFile);
        const bool deleted = oldImage[0] == kDeletedFlag;
        if (deleted && !keepDeleted) continue;
        target.InitRecord(newImage.data());
        if (deleted) newImage[0] = kDeletedFlag;
        for (size_t i = 0; i < FFieldSource.size(); ++i)
            if (FFieldSource[i] >= 0) CopyField(target, static_cast<int>(i), FFieldSource[i], oldImage.data(), newImage.data());
        const int32_t newRecNo = target.Insert(newImage.data());
        if (target.AutoIncPresent()) {
            RestoreAutoIncValues(target, oldImage.data(), newImage.data());
            target.WriteRecord(newRecNo, newImage.data());
            CheckWritten(target);
        }
    }
}

void TTableRebuilder::CopyField(TTableFile& target, int newColumn, int oldColumn, const uint8_t* oldImage,
                                uint8_t* newImage) {
    const TFieldDescriptor& oldDef = FSource.FieldDefs().Items(oldColumn);
    const TFieldDescriptor& newDef = target.FieldDefs().Items(newColumn);
    if (oldDef.IsBlob() && newDef.IsBlob()) {
        CopyMemo(target, newColumn, oldColumn, oldImage, newImage);
    } else if (oldDef.NativeFieldType() == newDef.NativeFieldType() && oldDef.Size() == newDef.Size() &&
               oldDef.Precision() == newDef.Precision()) {
        std::memcpy(newImage + newDef.Offset(), oldImage + oldDef.Offset(), static_cast<size_t>(newDef.Size()));
    } else if (oldDef.FieldType() == newDef.FieldType()) {
        std::vector<uint8_t> value(ValueBufferSize(oldDef, newDef), 0);
        const bool present = FSource.GetFieldData(oldColumn, oldDef.FieldType(), oldImage, value.data(), true);
        target.SetFieldData(newColumn, newDef.FieldType(), present ? value.data() : nullptr, newImage, true);
    }
}

// The memo is appended to the new memo file, so the new file holds only the
// memos that records still refer to, one after the other.
void TTableRebuilder::CopyMemo(TTableFile& target, int newColumn, int oldColumn, const uint8_t* oldImage,
                               uint8_t* newImage) {
    int32_t oldBlock = 0;
    if (!FSource.GetFieldData(oldColumn, TFieldType::ftInteger, oldImage, &oldBlock, true)) return;
    TMemoryStream text;
    if (FSource.MemoFile() && oldBlock > 0) FSource.MemoFile()->ReadMemo(oldBlock, text);
    int32_t newBlock = 0;
    TMemoFile* memo = target.MemoFile();
    if (!memo) throw ETableError(msg::MemoNotWritable);
    memo->WriteMemo(newBlock, 0, text);
    CheckWritten(*memo);
    target.SetFieldData(newColumn, TFieldType::ftInteger, &newBlock, newImage, true);
}

void TTableRebuilder::RestoreAutoIncValues(TTableFile& target, const uint8_t* oldImage, uint8_t* newImage) const {
    for (size_t i = 0; i < FFieldSource.size(); ++i) {
        const TFieldDescriptor& newDef = target.FieldDefs().Items(static_cast<int>(i));
        if (newDef.NativeFieldType() != '+' || FFieldSource[i] < 0) continue;
        const TFieldDescriptor& oldDef = FSource.FieldDefs().Items(FFieldSource[i]);
        if (oldDef.NativeFieldType() == '+' && oldDef.Size() == newDef.Size())
            std::memcpy(newImage + newDef.Offset(), oldImage + oldDef.Offset(), static_cast<size_t>(newDef.Size()));
    }
}

}  // namespace dbf
