#include "dataset/FieldFactory.h"

#include "dataset/BlobFields.h"
#include "dataset/BooleanField.h"
#include "dataset/BytesField.h"
#include "dataset/DateTimeFields.h"
#include "dataset/FloatFields.h"
#include "dataset/IntegerFields.h"
#include "dataset/StringField.h"

namespace ds {

std::unique_ptr<TField> CreateFieldOfType(TFieldType dataType, int size) {
    switch (dataType) {
        case ftString:
        case ftFixedChar:
        case ftWideString: return std::make_unique<TStringField>(size, dataType);
        case ftSmallint: return std::make_unique<TSmallintField>();
        case ftInteger: return std::make_unique<TIntegerField>();
        case ftWord: return std::make_unique<TWordField>();
        case ftAutoInc: return std::make_unique<TAutoIncField>();
        case ftLargeint: return std::make_unique<TLargeintField>();
        case ftBoolean: return std::make_unique<TBooleanField>();
        case ftFloat: return std::make_unique<TFloatField>();
        case ftCurrency: return std::make_unique<TCurrencyField>();
        case ftBCD: return std::make_unique<TBCDField>();
        case ftDate: return std::make_unique<TDateField>();
        case ftTime: return std::make_unique<TTimeField>();
        case ftDateTime: return std::make_unique<TDateTimeField>();
        case ftBytes: return std::make_unique<TBytesField>(size);
        case ftBlob:
        case ftDBaseOle: return std::make_unique<TBlobField>(dataType);
        case ftMemo: return std::make_unique<TMemoField>();
        // Types of the framework that no table here has a field class for.
        case ftVarBytes:
        case ftGraphic:
        case ftFmtMemo:
        case ftParadoxOle:
        case ftTypedBinary:
        case ftCursor:
        case ftUnknown: break;
    }
    return nullptr;
}

std::unique_ptr<TField> CreateFieldForDef(const TFieldDef& def) {
    auto field = CreateFieldOfType(def.DataType, def.Size);
    if (!field) return nullptr;
    field->SetFieldName(def.Name);
    field->SetRequired(def.Required);
    field->SetReadOnly(def.ReadOnly);
    field->SetVisible(!def.Hidden);
    return field;
}

}  // namespace ds
