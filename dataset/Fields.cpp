#include "dataset/Fields.h"

#include "dataset/DataSet.h"
#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"
#include "dataset/FieldDefs.h"

namespace ds {

TField& TFields::Add(std::unique_ptr<TField> field) {
    if (FindField(field->FieldName()))
        DatabaseError(Format(msg::DuplicateFieldName, field->FieldName().c_str()), FDataSet->Name());
    field->FDataSet = FDataSet;
    FItems.push_back(std::move(field));
    return *FItems.back();
}

void TFields::Clear() {
    FItems.clear();
}

TField& TFields::operator[](int index) const {
    if (index < 0 || index >= Count()) DatabaseError(Format(msg::FieldIndexOutOfRange, index), FDataSet->Name());
    return *FItems[static_cast<size_t>(index)];
}

int TFields::IndexOf(const TField* field) const {
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].get() == field) return static_cast<int>(i);
    }
    return -1;
}

TField* TFields::FindField(const std::string& name) const {
    for (const auto& field : FItems) {
        if (SameFieldName(field->FieldName(), name)) return field.get();
    }
    return nullptr;
}

TField& TFields::FieldByName(const std::string& name) const {
    TField* field = FindField(name);
    if (!field) DatabaseError(Format(msg::FieldNotFound, name.c_str()), FDataSet->Name());
    return *field;
}

}  // namespace ds
