// TTable: its indexes. The definitions listed in IndexDefs are opened with
// the table; the production index's tags join the list as temporary
// definitions while the table is open; the operations below change the index
// files through the table file.
#include "dbf/table.h"

#include "dbf/index_file.h"

namespace dbf {

namespace {

bool HasExtension(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

void TTable::OpenListedIndexes() {
    for (int i = 0; i < FIndexDefs.Count(); ++i) {
        const TTableIndexDef& def = FIndexDefs.Items(i);
        if (def.Temporary()) continue;
        FTableFile->OpenIndex(def.IndexFile(), def.Expression(), def.Options(), false);
    }
}

void TTable::AddProductionTagDefs(TTableFile& file) {
    TIndexFile* mdx = file.MdxFile();
    if (mdx == nullptr) return;
    for (const std::string& tag : mdx->GetIndexNames()) {
        if (FIndexDefs.GetIndexByName(tag) != nullptr) continue;
        TTableIndexDef def;
        if (mdx->GetIndexInfo(tag, def)) FIndexDefs.Add() = def;
    }
}

void TTable::DropTemporaryIndexDefs() {
    for (int i = FIndexDefs.Count() - 1; i >= 0; --i) {
        const TTableIndexDef& def = FIndexDefs.Items(i);
        if (def.Temporary() && !HasExtension(def.IndexFile())) FIndexDefs.Remove(&def);
    }
}

void TTable::AddIndex(const std::string& indexName, const std::string& fields, TIndexOptions options) {
    CheckActive();
    FTableFile->OpenIndex(indexName, fields, options, true);
    TTableIndexDef* def = FIndexDefs.GetIndexByName(indexName);
    if (def == nullptr) def = &FIndexDefs.Add();
    def->SetIndexFile(indexName);
    def->SetExpression(fields);
    def->SetOptions(options);
    def->SetTemporary(!HasExtension(indexName));
}

void TTable::DeleteIndex(const std::string& indexName) {
    CheckActive();
    FTableFile->DeleteIndex(indexName);
    if (const TTableIndexDef* def = FIndexDefs.GetIndexByName(indexName)) FIndexDefs.Remove(def);
}

void TTable::OpenIndexFile(const std::string& indexFile) {
    CheckActive();
    FTableFile->OpenIndex(indexFile, "", 0, false);
    TIndexFile* file = FTableFile->GetIndexByName(indexFile);
    if (file == nullptr || FIndexDefs.GetIndexByName(indexFile) != nullptr) return;
    TTableIndexDef def;
    if (!file->GetIndexInfo(indexFile, def)) return;
    def.SetIndexFile(indexFile);
    def.SetTemporary(false);
    FIndexDefs.Add() = def;
}

void TTable::CloseIndexFile(const std::string& indexFile) {
    CheckActive();
    FTableFile->CloseIndex(indexFile);
    if (const TTableIndexDef* def = FIndexDefs.GetIndexByName(indexFile)) FIndexDefs.Remove(def);
}

// Every index file is refilled from all records, under exclusive access.
void TTable::RegenerateIndexes() {
    CheckActive();
    FTableFile->TryExclusive();
    try {
        FTableFile->CheckExclusiveAccess();
        for (const std::string& name : FTableFile->IndexFileNames()) {
            for (const std::string& index : FTableFile->IndexNames()) {
                TIndexFile* file = FTableFile->GetIndexByName(index);
                if (file != nullptr && file->FileName() == name) {
                    FTableFile->PackIndex(*file, std::string());
                    break;
                }
            }
        }
    } catch (...) {
        FTableFile->EndExclusive();
        throw;
    }
    FTableFile->EndExclusive();
}

std::vector<std::string> TTable::GetIndexNames() {
    CheckActive();
    return FTableFile->IndexNames();
}

std::vector<std::string> TTable::GetAllIndexFiles() {
    CheckActive();
    return FTableFile->IndexFileNames();
}

std::vector<std::string> TTable::GetFileNames(unsigned flags) {
    if (!FTableFile) return {TableFileName()};
    std::vector<std::string> names;
    if (flags & 1) names.push_back(FTableFile->FileName());
    if ((flags & 2) && FTableFile->MemoFile() != nullptr) names.push_back(FTableFile->MemoFile()->FileName());
    if (flags & 4) {
        for (const std::string& name : FTableFile->IndexFileNames()) names.push_back(name);
    }
    return names;
}

}  // namespace dbf
