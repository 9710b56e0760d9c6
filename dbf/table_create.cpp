// TTable: creating a table from the dataset's field definitions or from a list
// of engine field definitions. The object stays closed; a failed creation
// removes the half-written table file.
#include "dbf/table.h"

#include "dbf/messages.h"
#include "dbf/stream.h"

namespace dbf {

namespace {

constexpr int32_t kMemoBlockSize = 512;

}  // namespace

void TTable::CreateTableEx(TFieldDescriptors* fieldDescriptors) {
    CheckInactive();
    if (fieldDescriptors) {
        WriteNewTable(*fieldDescriptors);
        return;
    }
    TFieldDescriptors defs(VersionOfLevel(FTableLevel));
    if (FieldDefs().Count() == 0) FillDefsFromFields();
    BuildEngineDefs(defs);
    WriteNewTable(defs);
}

// Persistent field objects describe the table when no definitions were given.
void TTable::FillDefsFromFields() {
    for (int i = 0; i < Fields().Count(); ++i) {
        const ds::TField& field = Fields()[i];
        if (field.FieldKind() != ds::fkData) continue;
        FieldDefs().Add(field.FieldName(), field.DataType(), field.Size(), field.Required());
    }
}

void TTable::BuildEngineDefs(TFieldDescriptors& defs) {
    const ds::TFieldDefs& source = FieldDefs();
    for (int i = 0; i < source.Count(); ++i) {
        const ds::TFieldDef& def = source[i];
        TFieldDescriptor& engineDef = defs.Add(def.Name, def.DataType, 0, def.Required);
        if (def.Size < 1) continue;  // Add gave it the type's default size
        engineDef.SetSize(def.Size);
        engineDef.SetPrecision(def.Precision);
    }
}

// A memory table without a caller's stream gets one that the object keeps.
TStream* TTable::MemoryStreamForCreate() {
    if (!FUserStream) {
        FOwnedStream = std::make_unique<TMemoryStream>();
        FUserStream = FOwnedStream.get();
    }
    return FUserStream;
}

void TTable::WriteNewTable(TFieldDescriptors& defs) {
    auto file = std::make_unique<TTableFile>();
    const bool inMemory = FStorage == stoMemory;
    if (inMemory) {
        file->SetStream(MemoryStreamForCreate());
        FMemoStream = std::make_unique<TMemoryStream>();
        file->SetMemoStream(FMemoStream.get());
    } else {
        file->SetFileName(TableFileName());
    }
    file->SetMode(inMemory ? pfMemoryCreate : pfExclusiveCreate);
    file->SetAutoCreate(false);
    file->SetTableVersion(VersionOfLevel(FTableLevel));
    file->SetFileLangId(FLanguageID);
    file->SetDateTimeHandling(FDateTimeHandling);
    bool opened = false;
    try {
        file->Open();
        opened = true;
        file->FinishCreate(defs, kMemoBlockSize);
        file->Close();
        if (file->WriteError()) throw ETableWriteError(msg::WriteError);
    } catch (...) {
        // Only a file this creation opened (and so emptied) is ours to remove:
        // a failed open may have met another user's table.
        file->Close();
        if (opened && !inMemory) file->DeleteFile();
        throw;
    }
}

}  // namespace dbf
