// TTableFile: its index files. Opening and creating indexes by name, filling
// a tag from every record, deleting and closing indexes, and telling every
// open index file that a record's deletion flag changed.
#include "dbf/table_file.h"

#include "dbf/platform/companion_files.h"

#include "dbf/messages.h"
#include "dbf/platform/files.h"

#include <algorithm>
#include <cctype>

namespace dbf {

namespace {

std::string UpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool HasExtension(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

TPagedFileMode CreatingMode(TPagedFileMode mode) {
    switch (mode) {
        case pfMemoryOpen: return pfMemoryCreate;
        case pfExclusiveOpen: return pfExclusiveCreate;
        case pfReadWriteOpen: return pfReadWriteCreate;
        default: return mode;
    }
}

}  // namespace

// The production index beside the table, found whatever the case of its name
// (TEST.MDX beside test.dbf); a new one takes the case of the table's extension.
std::string TTableFile::MdxFileName() const {
    return platform::FindCompanionFile(platform::CompanionPath(FileName(), ".mdx"));
}

std::string TTableFile::IndexPath(const std::string& name) const {
    if (!name.empty() && name[0] == '/') return name;
    const size_t slash = FileName().find_last_of('/');
    return slash == std::string::npos ? name : FileName().substr(0, slash + 1) + name;
}

std::unique_ptr<TIndexFile> TTableFile::NewIndexFile(const std::string& fileName, bool create) {
    auto file = std::make_unique<TIndexFile>(*this);
    file->SetFileName(fileName);
    file->SetMode(create ? CreatingMode(Mode()) : Mode());
    file->SetAutoCreate(create);
    file->SetCodePage(static_cast<int>(FUseCodePage));
    file->SetKeySourceFactory(FKeySourceFactory);
    file->SetOnLocaleError(FOnLocaleError);
    return file;
}

void TTableFile::AddIndexNames(TIndexFile& file, const std::string& singleName) {
    if (!file.IsProduction()) {
        FIndexNames.emplace_back(UpperAscii(singleName), &file);
        return;
    }
    for (const std::string& tag : file.GetIndexNames()) FIndexNames.emplace_back(UpperAscii(tag), &file);
}

TIndexFile* TTableFile::GetIndexByName(const std::string& indexName) const {
    const std::string wanted = UpperAscii(indexName);
    for (const auto& [name, file] : FIndexNames)
        if (name == wanted) return file;
    return nullptr;
}

std::vector<std::string> TTableFile::IndexNames() const {
    std::vector<std::string> names;
    for (const auto& entry : FIndexNames) names.push_back(entry.first);
    return names;
}

std::vector<std::string> TTableFile::IndexFileNames() const {
    std::vector<std::string> names;
    for (const auto& file : FIndexFiles) names.push_back(file->FileName());
    return names;
}

void TTableFile::OpenIndex(const std::string& indexName, const std::string& indexField, TIndexOptions options,
                           bool createIndex) {
    TIndexFile* file = GetIndexByName(indexName);
    if (file != nullptr && file->IsProduction() && createIndex) {
        DeleteIndex(indexName);
        file = GetIndexByName(indexName);
    }
    if (file == nullptr && !indexName.empty()) {
        const bool single = HasExtension(indexName);
        if (!single && FMdxFile != nullptr) {
            file = FMdxFile;
        } else {
            const std::string path = single ? IndexPath(indexName) : MdxFileName();
            const bool create = createIndex || (!indexField.empty() && !platform::FileExists(path));
            if (!create && !platform::FileExists(path)) throw ETableError(Format(msg::FileNotFound, path.c_str()));
            auto opened = NewIndexFile(path, create);
            opened->Open();
            if (opened->ForceClose()) return;
            file = opened.get();
            if (!single) FMdxFile = file;
            AddIndexNames(*file, indexName);
            FIndexFiles.push_back(std::move(opened));
        }
    }
    if (file == nullptr) return;
    if (file->IsProduction() && !createIndex) createIndex = file->IndexOf(indexName) < 0;
    if (!file->IsProduction() && !createIndex) createIndex = file->KeyLen() == 0;
    if (!createIndex) return;
    if (indexField.empty()) {
        if (file->TagCount() == 0) DropIndexFile(file);
        return;
    }
    CreateIndexIn(*file, indexName, indexField, options);
}

// In shared mode the table switches to exclusive access for the creation.
void TTableFile::CreateIndexIn(TIndexFile& file, const std::string& indexName, const std::string& indexField,
                               TIndexOptions options) {
    TryExclusive();
    try {
        file.CreateIndex(UpperAscii(indexField), indexName, options);
        // The new tag is empty already: filling it needs no second clearing.
        FillIndex(file, file.IsProduction() ? indexName : std::string());
        if (file.IsProduction()) {
            if (!GetIndexByName(indexName)) FIndexNames.emplace_back(UpperAscii(indexName), &file);
            Header()[28] = 1;
            WriteHeader();
        }
    } catch (const ETableError&) {
        EndExclusive();
        if (file.IsProduction() && file.TagCount() > 0) {
            if (file.IndexOf(indexName) >= 0) file.DeleteIndex(indexName);
        } else {
            DropIndexFile(&file);
        }
        throw;
    }
    EndExclusive();
}

void TTableFile::PackIndex(TIndexFile& indexFile, const std::string& indexName) {
    if (indexName.empty()) {
        indexFile.Clear();
    } else {
        const std::string selected = indexFile.IndexName();
        indexFile.SetIndexName(indexName);
        indexFile.ClearIndex();
        indexFile.SetIndexName(selected);
    }
    FillIndex(indexFile, indexName);
}

// Every record enters, deleted ones too (a distinct tag leaves them out).
void TTableFile::FillIndex(TIndexFile& indexFile, const std::string& indexName) {
    const TIndexUpdateMode mode = indexFile.UpdateMode();
    const std::string selected = indexFile.IndexName();
    if (indexName.empty()) {
        indexFile.SetUpdateMode(umAll);
    } else {
        indexFile.SetIndexName(indexName);
        indexFile.SetUpdateMode(umCurrent);
    }
    try {
        const int32_t count = GetRecordCount();
        for (int32_t recNo = 1; recNo <= count; ++recNo) {
            ReadRecord(recNo, FPrevBuffer.data());
            if (!indexFile.Insert(recNo, FPrevBuffer.data()) && indexFile.HasPendingError()) indexFile.InsertError();
        }
    } catch (const ETableError&) {
        indexFile.SetUpdateMode(mode);
        throw;
    }
    indexFile.Flush();
    indexFile.SetUpdateMode(mode);
    indexFile.SetIndexName(selected);
}

// A shared table switches to exclusive access for the deletion.
bool TTableFile::DeleteIndex(const std::string& indexName) {
    TIndexFile* file = GetIndexByName(indexName);
    if (file == nullptr) return false;
    TryExclusive();
    try {
        DeleteIndexExclusive(*file, indexName);
    } catch (...) {
        EndExclusive();
        throw;
    }
    EndExclusive();
    return true;
}

void TTableFile::DeleteIndexExclusive(TIndexFile& indexFile, const std::string& indexName) {
    TIndexFile* file = &indexFile;
    if (!file->IsProduction()) {
        CloseIndex(indexName);
        platform::DeleteFile(IndexPath(indexName));
        return;
    }
    file->DeleteIndex(indexName);
    const std::string wanted = UpperAscii(indexName);
    FIndexNames.erase(std::remove_if(FIndexNames.begin(), FIndexNames.end(),
                                     [&](const auto& entry) { return entry.first == wanted; }),
                      FIndexNames.end());
    if (file->TagCount() == 0) {
        const std::string path = file->FileName();
        DropIndexFile(file);
        platform::DeleteFile(path);
        Header()[28] = 0;
        WriteHeader();
    }
}

// The production index is closed only with the table.
void TTableFile::CloseIndex(const std::string& indexName) {
    TIndexFile* file = GetIndexByName(indexName);
    if (file == nullptr || file == FMdxFile) return;
    DropIndexFile(file);
}

void TTableFile::DropIndexFile(TIndexFile* file) {
    FIndexNames.erase(std::remove_if(FIndexNames.begin(), FIndexNames.end(),
                                     [&](const auto& entry) { return entry.second == file; }),
                      FIndexNames.end());
    if (file == FMdxFile) FMdxFile = nullptr;
    auto owned = std::find_if(FIndexFiles.begin(), FIndexFiles.end(), [&](const auto& f) { return f.get() == file; });
    if (owned == FIndexFiles.end()) return;
    (*owned)->Close();
    FIndexFiles.erase(owned);
}

void TTableFile::DropProductionIndex() {
    if (FMdxFile == nullptr) return;
    TIndexFile* file = FMdxFile;
    FIndexNames.erase(std::remove_if(FIndexNames.begin(), FIndexNames.end(),
                                     [&](const auto& entry) { return entry.second == file; }),
                      FIndexNames.end());
    FIndexFiles.erase(std::remove_if(FIndexFiles.begin(), FIndexFiles.end(),
                                     [&](const auto& f) { return f.get() == file; }),
                      FIndexFiles.end());
    FMdxFile = nullptr;
}

// --- deletion flag ---------------------------------------------------------------

void TTableFile::RecordDeleted(int32_t recNo, const uint8_t* buffer) {
    for (auto& index : FIndexFiles) index->RecordDeleted(recNo, buffer);
}

void TTableFile::RecordRecalled(int32_t recNo, const uint8_t* buffer) {
    for (size_t i = 0; i < FIndexFiles.size(); ++i) {
        if (FIndexFiles[i]->RecordRecalled(recNo, buffer)) continue;
        for (size_t done = 0; done < i; ++done) FIndexFiles[done]->RecordDeleted(recNo, buffer);
        FIndexFiles[i]->InsertError();
    }
}

}  // namespace dbf
