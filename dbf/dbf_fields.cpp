#include "dbf/dbf_fields.h"

#include "dbf/dbf_lang.h"
#include "dbf/dbf_str.h"

#include <algorithm>

namespace dbf {

using enum TFieldType;

TDbfFieldDef::TDbfFieldDef(TDbfFieldDefs* collection) : FCollection(collection) {}

TXBaseVersion TDbfFieldDef::DbfVersion() const {
    return FCollection ? FCollection->DbfVersion() : xUnknown;
}

int TDbfFieldDef::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TDbfFieldDef::Assign(const TDbfFieldDef& source) {
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

void TDbfFieldDef::Assign(const TPlatformFieldDef& source) {
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

void TDbfFieldDef::AssignTo(TPlatformFieldDef& dest) const {
    dest.DataType = FFieldType;
    dest.Required = FRequired;
    dest.Size = FSize;
    dest.Name = FFieldName;
}

void TDbfFieldDef::SetFieldType(TFieldType type) {
    const char letter = LetterForType(type);
    if (letter == 0)
        throw EDbfError(Format(msg::InvalidFieldType, FFieldName.c_str(), static_cast<int>(type)));
    FFieldType = type;
    FNativeFieldType = letter;
    Normalise();
}

void TDbfFieldDef::SetNativeFieldType(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    FNativeFieldType = letter;
    MapLetterToType();
    Normalise();
}

void TDbfFieldDef::SetSize(int32_t size) {
    FSize = size;
    Normalise();
}

void TDbfFieldDef::SetPrecision(int32_t precision) {
    FPrecision = precision;
    Normalise();
}

void TDbfFieldDef::SetDefaultSize() {
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

bool TDbfFieldDef::IsBlob() const {
    return FNativeFieldType == 'B' || FNativeFieldType == 'G' || FNativeFieldType == 'M';
}

void TDbfFieldDef::AllocBuffers() {
    if (FAllocSize == FSize && !FBuffers.empty()) return;
    FBuffers.assign(3 * static_cast<size_t>(std::max(FSize, 0)), 0);
    FAllocSize = FSize;
}

void TDbfFieldDef::FreeBuffers() {
    FBuffers.clear();
    FAllocSize = 0;
}

uint8_t* TDbfFieldDef::BufferAt(int which) {
    if (FBuffers.empty()) return nullptr;
    return FBuffers.data() + static_cast<size_t>(which) * static_cast<size_t>(FAllocSize);
}

void TDbfFieldDef::MapLetterToType() {
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
        case 'Y': FFieldType = DbfGlobals().CurrencyAsBCD() ? ftBCD : ftCurrency; break;
        case '0': FFieldType = ftBytes; break;
        case '+':
            // Outside level 7 the type stays as it was, so such a file is rejected.
            if (IsLevel7()) FFieldType = ftAutoInc;
            break;
        default:
            FNativeFieldType = 0;
            FFieldType = ftUnknown;
            break;
    }
}

char TDbfFieldDef::LetterForType(TFieldType type) const {
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

void TDbfFieldDef::Normalise() {
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
            if (!IsFoxPro()) fixed(10, 0);
            break;
        case 'I': case '+': fixed(4, 0); break;
        case '@': case 'O': fixed(8, 0); break;
        case 'T': fixed(IsFoxPro() ? 8 : 14, 0); break;
        case 'Y': fixed(8, 4); break;
        default: break;
    }
}

TDbfFieldDef& TDbfFieldDefs::Add(const std::string& name, TFieldType type, int32_t size, bool required) {
    auto def = std::make_unique<TDbfFieldDef>(this);
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

TDbfFieldDef& TDbfFieldDefs::AddFieldDef() {
    FItems.push_back(std::make_unique<TDbfFieldDef>(this));
    return *FItems.back();
}

int TDbfFieldDefs::IndexOf(const TDbfFieldDef* def) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == def) return static_cast<int>(i);
    return -1;
}

}  // namespace dbf
