#include "dbf/field_defs.h"

#include "dbf/language.h"
#include "dbf/messages.h"

#include <algorithm>

namespace dbf {

using enum ds::TFieldType;

TFieldDescriptor::TFieldDescriptor(TFieldDescriptors* collection) : FCollection(collection) {}

TXBaseVersion TFieldDescriptor::TableVersion() const {
    return FCollection ? FCollection->TableVersion() : xUnknown;
}

int TFieldDescriptor::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TFieldDescriptor::Assign(const TFieldDescriptor& source) {
    FFieldName = source.FFieldName;
    FFieldType = source.FFieldType;
    FNativeFieldType = source.FNativeFieldType;
    FSize = source.FSize;
    FPrecision = source.FPrecision;
    FRequired = source.FRequired;
    FIsLockField = source.FIsLockField;
    FNullPosition = source.FNullPosition;
    FBuffers = source.FBuffers;
    FAllocSize = source.FAllocSize;
    FHasDefault = source.FHasDefault;
    FHasMin = source.FHasMin;
    FHasMax = source.FHasMax;
    FOffset = source.FOffset;
    FAutoInc = source.FAutoInc;
    FCopyFrom = source.Index();
}

void TFieldDescriptor::Assign(const TPlatformFieldDef& source) {
    FFieldName = source.Name;
    SetFieldType(source.DataType);
    FPrecision = source.Precision;
    FRequired = source.Required;
    FCopyFrom = source.Index;
    FIsLockField = false;
    if (source.Size != 0)
        SetSize(source.Size);
    else
        SetDefaultSize();
    AllocBuffers();
    FHasDefault = FHasMin = FHasMax = false;
    FOffset = 0;
    FAutoInc = 0;
}

void TFieldDescriptor::AssignTo(TPlatformFieldDef& dest) const {
    dest.DataType = FFieldType;
    dest.Required = FRequired;
    dest.Size = FSize;
    dest.Name = FFieldName;
}

void TFieldDescriptor::SetFieldType(TFieldType type) {
    const char letter = LetterForType(type);
    if (letter == 0)
        throw ETableError(Format(msg::InvalidFieldType, FFieldName.c_str(), static_cast<int>(type)));
    FFieldType = type;
    FNativeFieldType = letter;
    Normalise();
}

void TFieldDescriptor::SetNativeFieldType(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    FNativeFieldType = letter;
    MapLetterToType();
    Normalise();
}

void TFieldDescriptor::SetSize(int32_t size) {
    FSize = size;
    Normalise();
}

void TFieldDescriptor::SetPrecision(int32_t precision) {
    FPrecision = precision;
    Normalise();
}

void TFieldDescriptor::SetDefaultSize() {
    FPrecision = 0;
    switch (FFieldType) {
        case ftString: case ftFixedChar: case ftWideString: FSize = 30; break;
        case ftSmallint: case ftWord: FSize = 4; break;
        case ftInteger: case ftAutoInc: FSize = IsLevel7() ? 4 : 9; break;
        case ftLargeint: FSize = 18; break;
        case ftFloat: FSize = 18; FPrecision = 8; break;
        case ftCurrency: case ftBCD: FSize = 8; FPrecision = 4; break;
        default: break;
    }
    Normalise();
}

void TFieldDescriptor::SetStoredForm(char letter, TFieldType type, int32_t size) {
    FNativeFieldType = letter;
    FFieldType = type;
    FSize = size;
    if (type == ftBytes || type == ftAutoInc || type == ftDateTime) FPrecision = 0;
}

bool TFieldDescriptor::IsBlob() const {
    return FNativeFieldType == 'B' || FNativeFieldType == 'G' || FNativeFieldType == 'M';
}

void TFieldDescriptor::AllocBuffers() {
    if (FAllocSize == FSize && !FBuffers.empty()) return;
    FBuffers.assign(3 * static_cast<size_t>(std::max(FSize, 0)), 0);
    FAllocSize = FSize;
}

void TFieldDescriptor::FreeBuffers() {
    FBuffers.clear();
    FAllocSize = 0;
}

uint8_t* TFieldDescriptor::BufferAt(int which) {
    if (FBuffers.empty()) return nullptr;
    return FBuffers.data() + static_cast<size_t>(which) * static_cast<size_t>(FAllocSize);
}

void TFieldDescriptor::MapLetterToType() {
    switch (static_cast<unsigned char>(FNativeFieldType)) {
        case 'C': case 0x91: FFieldType = ftString; break;
        case 'N': case 'F':
            if (FPrecision > 0)
                FFieldType = ftFloat;
            else
                FFieldType = FSize <= 4 ? ftSmallint : (FSize <= 9 ? ftInteger : ftLargeint);
            break;
        case 'I': FFieldType = ftInteger; break;
        case 'L': FFieldType = ftBoolean; break;
        case 'D': FFieldType = ftDate; break;
        case 'T': case '@': FFieldType = ftDateTime; break;
        case 'M': FFieldType = ftMemo; break;
        case 'B': FFieldType = IsFoxPro() ? ftFloat : ftBlob; break;
        case 'G': FFieldType = ftDBaseOle; break;
        case 'O': FFieldType = ftFloat; break;
        case 'Y': FFieldType = EngineGlobals().CurrencyAsBCD() ? ftBCD : ftCurrency; break;
        case '0': FFieldType = ftBytes; break;
        case '+':
            // Outside level 7 the type stays as it was; a table file reads such
            // a field as the autoincrement it is (AdoptStoredForm).
            if (IsLevel7()) FFieldType = ftAutoInc;
            break;
        default:
            FNativeFieldType = 0;
            FFieldType = ftUnknown;
            break;
    }
}

char TFieldDescriptor::LetterForType(TFieldType type) const {
    switch (type) {
        case ftString: case ftFixedChar: case ftWideString: return 'C';
        case ftSmallint: case ftWord: case ftFloat: case ftLargeint: return 'N';
        case ftInteger: return IsLevel7() ? 'I' : 'N';
        case ftBoolean: return 'L';
        case ftDate: return 'D';
        case ftDateTime: return IsLevel7() ? '@' : (IsFoxPro() ? 'T' : 'D');
        case ftCurrency: case ftBCD: return IsFoxPro() ? 'Y' : 0;
        case ftAutoInc: return '+';
        case ftBlob: return 'B';
        case ftMemo: return 'M';
        case ftDBaseOle: return 'G';
        default: return 0;
    }
}

void TFieldDescriptor::Normalise() {
    auto fixed = [this](int32_t size, int32_t precision) {
        FSize = size;
        FPrecision = precision;
    };
    switch (FNativeFieldType) {
        case 'C': fixed(std::clamp(FSize, 0, IsFoxPro() ? 65535 : 255), 0); break;
        case 'L': fixed(1, 0); break;
        case 'N': case 'F':
            FSize = std::clamp(FSize, 1, 20);
            FPrecision = std::max(std::min(FPrecision, FSize - 2), 0);
            break;
        case 'D': fixed(8, 0); break;
        case 'M': case 'G':
            if (!IsFoxPro())
                fixed(10, 0);
            else
                fixed(FSize == 4 || FSize == 10 ? FSize : 4, 0);
            break;
        case 'B':
            // FoxPro's B is a double: eight bytes, its decimals only for display.
            if (IsFoxPro())
                FSize = 8;
            else
                fixed(10, 0);
            break;
        case 'I': case '+': fixed(4, 0); break;
        case '@': case 'O': fixed(8, 0); break;
        case 'T': fixed(IsFoxPro() ? 8 : 14, 0); break;
        case 'Y': fixed(8, 4); break;
        default: break;
    }
}

TFieldDescriptor& TFieldDescriptors::Add(const std::string& name, TFieldType type, int32_t size, bool required) {
    auto def = std::make_unique<TFieldDescriptor>(this);
    def->SetFieldName(name);
    def->SetFieldType(type);
    if (size != 0)
        def->SetSize(size);
    else
        def->SetDefaultSize();
    def->SetRequired(required);
    FItems.push_back(std::move(def));
    return *FItems.back();
}

TFieldDescriptor& TFieldDescriptors::AddFieldDef() {
    FItems.push_back(std::make_unique<TFieldDescriptor>(this));
    return *FItems.back();
}

int TFieldDescriptors::IndexOf(const TFieldDescriptor* def) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == def) return static_cast<int>(i);
    return -1;
}

}  // namespace dbf
