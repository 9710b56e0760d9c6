// TDbf: operations on the table as a whole: emptying, packing and
// restructuring (each builds new files beside the old ones and swaps them in
// only when they are complete), the whole-table lock, and the switch to
// exclusive access and back.
#include "dbf/dbf.h"

#include "dbf/dbf_dbf_rebuild.h"
#include "dbf/dbf_str.h"
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

void TDbf::EmptyTable() {
    CheckActive();
    TDbfFieldDefs defs(FDbfFile->DbfVersion());
    CopyDefsOfTable(defs);
    RebuildTable(defs, SameFields(defs.Count()), false, false);
}

void TDbf::PackTable() {
    CheckActive();
    TDbfFieldDefs defs(FDbfFile->DbfVersion());
    CopyDefsOfTable(defs);
    RebuildTable(defs, SameFields(defs.Count()), true, false);
}

void TDbf::RestructureTable(TDbfFieldDefs& newDefs, bool pack) {
    CheckActive();
    std::vector<int> source;
    for (int i = 0; i < newDefs.Count(); ++i) {
        const TDbfFieldDef* old = FDbfFile->GetFieldInfo(newDefs.Items(i).FieldName());
        source.push_back(old ? old->Index() : -1);
    }
    RebuildTable(newDefs, source, true, !pack);
}

void TDbf::CopyDefsOfTable(TDbfFieldDefs& defs) const {
    const TDbfFieldDefs& current = FDbfFile->FieldDefs();
    for (int i = 0; i < current.Count(); ++i) defs.AddFieldDef().Assign(current.Items(i));
}

// "<folder>/<table name without extension><tag><extension>", always with an
// extension, so that the memo file derived from it never is the table's own.
std::string TDbf::SiblingPath(const std::string& tag) const {
    const std::string path = TableFileName();
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > path.find_last_of('/');
    if (!hasExtension) return path + tag + ".dbf";
    return path.substr(0, dot) + tag + path.substr(dot);
}

void TDbf::RebuildTable(TDbfFieldDefs& newDefs, const std::vector<int>& fieldSource, bool copyRecords,
                        bool keepDeleted) {
    CheckBrowseMode();
    FDbfFile->CheckExclusiveAccess();
    if (FStorage == stoMemory) throw EDbfError(msg::NeedFileStorage);
    const std::string workPath = SiblingPath("~new");
    TTableRebuilder builder(*FDbfFile, workPath);
    try {
        builder.Build(newDefs, fieldSource, copyRecords, keepDeleted);
    } catch (...) {
        builder.DeleteTargetFiles();
        throw;
    }
    // A temporary exclusive phase outlives the reopening.
    const bool temporarilyExclusive = FDbfFile->TempMode() != pfNone;
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
void TDbf::ReplaceTableFiles(const std::string& workPath) {
    const std::string memoExt = TableLevel() == 25 ? ".fpt" : ".dbt";
    const std::string tablePath = TableFileName();
    const std::string memoPath = MemoPathOf(tablePath, memoExt);
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
    if (!moved) throw EDbfError(Format(msg::CannotReplaceTable, tablePath.c_str()));
    journal.Complete();
    platform::DeleteFile(oldPath);
    platform::DeleteFile(oldMemoPath);
}

bool TDbf::LockTable(bool wait) {
    CheckActive();
    return FDbfFile->LockTable(wait);
}

void TDbf::UnlockTable() {
    CheckActive();
    FDbfFile->UnlockTable();
}

// Afterwards Exclusive and ReadOnly tell the mode the file really has.
void TDbf::TryExclusive() {
    CheckActive();
    FDbfFile->TryExclusive();
    FExclusive = !FDbfFile->IsSharedAccess();
    FReadOnly = FDbfFile->Mode() == pfReadOnly;
}

void TDbf::EndExclusive() {
    CheckActive();
    FDbfFile->EndExclusive();
    FExclusive = !FDbfFile->IsSharedAccess();
    FReadOnly = FDbfFile->Mode() == pfReadOnly;
}

}  // namespace dbf
