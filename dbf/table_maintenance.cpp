// TTable: operations on the table as a whole: emptying, packing and
// restructuring (each builds new files beside the old ones and swaps them in
// only when they are complete), the whole-table lock, and the switch to
// exclusive access and back.
#include "dbf/table.h"

#include "dbf/table_rebuild.h"
#include "dbf/messages.h"
#include "dbf/platform/companion_files.h"
#include "dbf/platform/files.h"
#include "dbf/platform/text.h"

#include <numeric>

namespace dbf {

namespace {

// Renames done so far, undone in reverse order unless the swap completes.
class TRenameJournal {
public:
    ~TRenameJournal() {
        for (auto it = FDone.rbegin(); it != FDone.rend(); ++it) platform::RenameNoReplace(it->second, it->first);
    }
    bool Rename(const std::string& from, const std::string& to) {
        if (!platform::RenameNoReplace(from, to)) return false;
        FDone.emplace_back(from, to);
        return true;
    }
    void Complete() { FDone.clear(); }

private:
    std::vector<std::pair<std::string, std::string>> FDone;
};

std::vector<int> SameFields(int count) {
    std::vector<int> source(static_cast<size_t>(count));
    std::iota(source.begin(), source.end(), 0);
    return source;
}

}  // namespace

void TTable::EmptyTable() {
    CheckActive();
    TFieldDescriptors defs(FTableFile->TableVersion());
    CopyDefsOfTable(defs);
    RebuildTable(defs, SameFields(defs.Count()), false, false);
}

void TTable::PackTable() {
    CheckActive();
    TFieldDescriptors defs(FTableFile->TableVersion());
    CopyDefsOfTable(defs);
    RebuildTable(defs, SameFields(defs.Count()), true, false);
}

void TTable::RestructureTable(TFieldDescriptors& newDefs, bool pack) {
    CheckActive();
    std::vector<int> source;
    for (int i = 0; i < newDefs.Count(); ++i) {
        const TFieldDescriptor* old = FTableFile->GetFieldInfo(newDefs.Items(i).FieldName());
        source.push_back(old ? old->Index() : -1);
    }
    RebuildTable(newDefs, source, true, !pack);
}

void TTable::CopyDefsOfTable(TFieldDescriptors& defs) const {
    const TFieldDescriptors& current = FTableFile->FieldDefs();
    for (int i = 0; i < current.Count(); ++i) defs.AddFieldDef().Assign(current.Items(i));
}

// "<folder>/<table name without extension><tag><extension>", always with an
// extension, so that the memo file derived from it never is the table's own.
std::string TTable::SiblingPath(const std::string& tag) const {
    const std::string path = TableFileName();
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > path.find_last_of('/');
    if (!hasExtension) return path + tag + ".dbf";
    return path.substr(0, dot) + tag + path.substr(dot);
}

void TTable::RebuildTable(TFieldDescriptors& newDefs, const std::vector<int>& fieldSource, bool copyRecords,
                        bool keepDeleted) {
    CheckBrowseMode();
    FTableFile->CheckExclusiveAccess();
    if (FStorage == stoMemory) throw ETableError(msg::NeedFileStorage);
    const std::string workPath = SiblingPath("~new");
    TTableRebuilder builder(*FTableFile, workPath);
    try {
        builder.Build(newDefs, fieldSource, copyRecords, keepDeleted);
    } catch (...) {
        builder.DeleteTargetFiles();
        throw;
    }
    // A temporary exclusive phase outlives the reopening.
    const bool temporarilyExclusive = FTableFile->TempMode() != pfNone;
    Close();
    if (temporarilyExclusive) FExclusive = false;
    try {
        ReplaceTableFiles(workPath);
    } catch (...) {
        builder.DeleteTargetFiles();
        Open();
        if (temporarilyExclusive) TryExclusive();
        throw;
    }
    Open();
    if (temporarilyExclusive) TryExclusive();
}

// Moves the old files aside, the new ones into their place, and drops the
// old ones; any failure puts every file back where it was.
void TTable::ReplaceTableFiles(const std::string& workPath) {
    const std::string memoExt = TableLevel() == 25 ? ".fpt" : ".dbt";
    const std::string tablePath = TableFileName();
    // The memo file the table has, whatever the case of its name.
    const std::string memoPath = platform::FindCompanionFile(MemoPathOf(tablePath, memoExt));
    const std::string oldPath = SiblingPath("~old");
    const std::string oldMemoPath = MemoPathOf(oldPath, memoExt);
    const std::string workMemoPath = MemoPathOf(workPath, memoExt);
    platform::DeleteFile(oldPath);
    platform::DeleteFile(oldMemoPath);
    TRenameJournal journal;
    const bool moved = journal.Rename(tablePath, oldPath) &&
                       (!platform::FileExists(memoPath) || journal.Rename(memoPath, oldMemoPath)) &&
                       journal.Rename(workPath, tablePath) &&
                       (!platform::FileExists(workMemoPath) || journal.Rename(workMemoPath, memoPath));
    if (!moved) throw ETableError(Format(msg::CannotReplaceTable, tablePath.c_str()));
    journal.Complete();
    platform::DeleteFile(oldPath);
    platform::DeleteFile(oldMemoPath);
}

bool TTable::LockTable(bool wait) {
    CheckActive();
    return FTableFile->LockTable(wait);
}

void TTable::UnlockTable() {
    CheckActive();
    FTableFile->UnlockTable();
}

// Afterwards Exclusive and ReadOnly tell the mode the file really has.
void TTable::TryExclusive() {
    CheckActive();
    FTableFile->TryExclusive();
    FExclusive = !FTableFile->IsSharedAccess();
    FReadOnly = FTableFile->Mode() == pfReadOnly;
}

void TTable::EndExclusive() {
    CheckActive();
    FTableFile->EndExclusive();
    FExclusive = !FTableFile->IsSharedAccess();
    FReadOnly = FTableFile->Mode() == pfReadOnly;
}

}  // namespace dbf
