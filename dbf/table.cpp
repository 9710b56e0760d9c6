// TTable: construction, the properties that locate and shape the table,
// opening and closing, the field definitions and the translation mode.
#include "dbf/table.h"

#include "dataset/Abort.h"
#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"
#include "dbf/blob_stream.h"
#include "dbf/table_buffer.h"
#include "dbf/table_parser.h"
#include "dbf/language.h"
#include "dbf/messages.h"
#include "dbf/stream.h"
#include "dbf/platform/files.h"
#include "dbf/platform/shell.h"
#include "dbf/platform/text.h"

#include <filesystem>

namespace dbf {

namespace {

std::string WithTrailingSlash(const std::string& path) {
    if (path.empty() || path.back() == '/') return path;
    return path + "/";
}

bool IsFullPath(const std::string& path) { return !path.empty() && path.front() == '/'; }

// The absolute, normalised form of a folder, with a trailing slash.
std::string ExpandFolder(const std::string& folder) {
    std::string expanded = std::filesystem::path(folder).lexically_normal().string();
    return WithTrailingSlash(expanded);
}

bool IsAcceptedLevel(int level) { return level == 3 || level == 4 || level == 7 || level == 25; }

// The level a file's dialect stands for; 0 for dialects that keep the level as it is.
int LevelOfVersion(TXBaseVersion version) {
    switch (version) {
        case xBaseIII: return 3;
        case xBaseIV: return 4;
        case xBaseVII: return 7;
        case xFoxPro: return 25;
        default: return 0;
    }
}

bool CarriesSize(ds::TFieldType type) { return type == ds::ftString || type == ds::ftBCD || type == ds::ftBytes; }

}  // namespace

TTable::TTable() {
    EngineGlobals();
    SetBookmarkSize(4);
    SetFilePath("");
}

TTable::~TTable() {
    // A pending edit is dropped, never posted.
    Close();
}

// --- location ---------------------------------------------------------------------

void TTable::SetFilePath(const std::string& value) {
    CheckInactive();
    FRelativePath = WithTrailingSlash(value);
    if (IsFullPath(value)) FAbsolutePath = ExpandFolder(value);
    else FAbsolutePath = ExpandFolder(WithTrailingSlash(platform::ExecutableFolder()) + FRelativePath);
}

void TTable::SetTableName(const std::string& value) {
    const std::filesystem::path path(value);
    FTableName = path.filename().string();
    if (path.has_parent_path()) SetFilePath(path.parent_path().string());
    FieldDefs().SetUpdated(false);
}

// --- shape ------------------------------------------------------------------------

TXBaseVersion TTable::VersionOfLevel(int level) {
    switch (level) {
        case 3: return xBaseIII;
        case 7: return xBaseVII;
        case 25: return xFoxPro;
        default: return xBaseIV;
    }
}

void TTable::SetTableLevel(int value) {
    if (!IsAcceptedLevel(value) || value == FTableLevel) return;
    CheckInactive();
    FTableLevel = value;
}

void TTable::SetLanguageID(uint8_t value) {
    CheckInactive();
    FLanguageID = value;
}

void TTable::SetShowDeleted(bool value) {
    if (value == FShowDeleted) return;
    FShowDeleted = value;
    if (FCursor) Refresh();
}

std::string TTable::Version() const { return Format("%d.%02d", kMajorVersion, kMinorVersion); }

std::string TTable::LanguageStr() const { return FTableFile ? FTableFile->GetLanguageStr() : std::string(); }

TFieldDescriptors* TTable::FieldDescriptors() const { return FTableFile ? &FTableFile->FieldDefs() : nullptr; }

int TTable::PhysicalRecordCount() { return FTableFile ? FTableFile->GetRecordCount() : 0; }

// --- opening ----------------------------------------------------------------------

void TTable::InternalOpen() {
    FTableFile.reset();
    if (!CreateBeforeOpen()) throw ETableError(Format(msg::FileNotFound, TableFileName().c_str()));
    OpenTableFile();
    if (const int level = LevelOfVersion(FTableFile->TableVersion())) FTableLevel = level;
    FLanguageID = FTableFile->FileLangId();
    InitFieldDefs();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    FBlobStreams.assign(static_cast<size_t>(FieldDefs().Count()), nullptr);
    DetermineTranslationMode();
    FTempBuffer = AllocRecordBuffer();
    OpenListedIndexes();
    AddProductionTagDefs(*FTableFile);
    CompileFilterAtOpen();
    // No index is ever selected yet: the cursor is the physical one.
    FCursor = std::make_unique<TTableCursor>(*FTableFile);
    FCursor->First();
}

// Answers false when the table is missing and BeforeAutoCreate declined creating it.
bool TTable::CreateBeforeOpen() {
    bool create;
    if (FStorage == stoMemory) create = FUserStream == nullptr;
    else create = (FOpenMode == omAutoCreate || FOpenMode == omTemporary) && !platform::FileExists(TableFileName());
    if (!create) return true;
    bool doCreate = true;
    if (BeforeAutoCreate) BeforeAutoCreate(*this, doCreate);
    if (doCreate) CreateTable();
    return doCreate;
}

TPagedFileMode TTable::OpenFileMode() const {
    if (FStorage == stoMemory) return pfMemoryOpen;
    if (FReadOnly) return pfReadOnly;
    return FExclusive ? pfExclusiveOpen : pfReadWriteOpen;
}

std::unique_ptr<TTableFile> TTable::NewTableFile(TPagedFileMode mode) {
    auto file = std::make_unique<TTableFile>();
    if (FStorage == stoMemory) {
        if (!FMemoStream) FMemoStream = std::make_unique<TMemoryStream>();
        file->SetStream(FUserStream);
        file->SetMemoStream(FMemoStream.get());
    } else {
        file->SetFileName(TableFileName());
    }
    file->SetMode(mode);
    file->SetAutoCreate(false);
    file->SetDateTimeHandling(FDateTimeHandling);
    file->SetDefaultCodePage(static_cast<uint32_t>(FDefaultCodePage));
    file->SetOnIndexMissing([this](bool& deleteLink) {
        if (OnIndexMissing) OnIndexMissing(*this, deleteLink);
    });
    return file;
}

void TTable::OpenTableFile() {
    FTableFile = NewTableFile(OpenFileMode());
    FTableFile->Open();
    // The file cannot be used as it stands; the open ends without a message.
    if (FTableFile->ForceClose()) ds::Abort();
}

// --- field definitions ------------------------------------------------------------

void TTable::InternalInitFieldDefs() {
    if (FTableFile) {
        BuildFieldDefs(*FTableFile);
        return;
    }
    // A closed table is looked at read-only, just for its definitions.
    std::unique_ptr<TTableFile> file = NewTableFile(FStorage == stoMemory ? pfMemoryOpen : pfReadOnly);
    file->Open();
    BuildFieldDefs(*file);
}

void TTable::BuildFieldDefs(TTableFile& file) {
    ds::TFieldDefs& defs = FieldDefs();
    defs.Clear();
    TFieldDescriptors& engineDefs = file.FieldDefs();
    for (int i = 0; i < engineDefs.Count(); ++i) {
        TFieldDescriptor& engineDef = engineDefs.Items(i);
        std::string name = engineDef.FieldName();
        for (int suffix = 2; defs.IndexOf(name) >= 0; ++suffix) name = engineDef.FieldName() + std::to_string(suffix);
        engineDef.SetFieldName(name);
        const ds::TFieldType type = engineDef.FieldType();
        ds::TFieldDef& def = defs.Add(name, type, CarriesSize(type) ? engineDef.Size() : 0);
        if (type == ds::ftFloat) def.Precision = engineDef.Precision();
        def.ReadOnly = type == ds::ftAutoInc;
        def.Hidden = engineDef.IsLockField();
    }
}

// --- translation mode -------------------------------------------------------------

TTranslationMode TTable::TranslationModeOf(int codePage) const {
    if (codePage == platform::AnsiCodePage()) return tmNoneNeeded;
    if (codePage == platform::OemCodePage()) return tmSimple;
    if (EngineGlobals().CodePageInstalled(codePage)) return tmAdvanced;
    return tmNoneAvailable;
}

int TTable::AnsiCodePage() const { return FAnsiCodePage != 0 ? FAnsiCodePage : platform::AnsiCodePage(); }

void TTable::DetermineTranslationMode() {
    FAnsiCodePage = platform::AnsiCodePage();
    FCodePage = static_cast<int>(FTableFile->UseCodePage());
    FTranslationMode = TranslationModeOf(FCodePage);
    if (FTranslationMode != tmNoneAvailable) return;
    TLanguageAction action = laReadOnly;
    if (OnLanguageWarning) OnLanguageWarning(*this, action);
    switch (action) {
        case laReadOnly: break;
        case laForceOEM:
            FCodePage = platform::OemCodePage();
            FTranslationMode = tmSimple;
            break;
        case laForceANSI:
            FCodePage = platform::AnsiCodePage();
            FTranslationMode = tmNoneNeeded;
            break;
        case laDefault:
            FCodePage = EngineGlobals().DefaultOpenCodePage();
            FTranslationMode = TranslationModeOf(FCodePage);
            break;
    }
}

// --- closing ----------------------------------------------------------------------

void TTable::InternalClose() {
    DropTemporaryIndexDefs();
    FreeBlobStreams();
    FTempBuffer.reset();
    FFilterBuffer = nullptr;
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    FCursor.reset();
    FParser.reset();
    FEditingRecNo = -1;
    FCodePage = 0;
    FAnsiCodePage = 0;
    FTranslationMode = tmNoneAvailable;
    // Closing the table file flushes and closes it and its memo file.
    FTableFile.reset();
}

}  // namespace dbf
