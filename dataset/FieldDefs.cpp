#include "dataset/FieldDefs.h"

#include "dataset/DataSet.h"
#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"

#include <algorithm>
#include <cctype>

namespace ds {

bool SameFieldName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

TFieldDef& TFieldDefs::Add(const std::string& name, TFieldType dataType, int size, bool required) {
    TFieldDef& def = AddFieldDef();
    def.Name = name;
    def.DataType = dataType;
    def.Size = size;
    def.Required = required;
    return def;
}

TFieldDef& TFieldDefs::AddFieldDef() {
    FItems.push_back(std::make_unique<TFieldDef>());
    FItems.back()->FFieldNo = Count();
    FUpdated = false;
    return *FItems.back();
}

void TFieldDefs::Clear() {
    FItems.clear();
    FUpdated = false;
}

int TFieldDefs::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        if (SameFieldName(FItems[static_cast<size_t>(i)]->Name, name)) return i;
    }
    return -1;
}

TFieldDef* TFieldDefs::FindDef(const std::string& name) {
    const int index = IndexOf(name);
    return index < 0 ? nullptr : FItems[static_cast<size_t>(index)].get();
}

TFieldDef& TFieldDefs::Find(const std::string& name) {
    TFieldDef* def = FindDef(name);
    if (!def) DatabaseError(Format(msg::FieldNotFound, name.c_str()), FDataSet ? FDataSet->Name() : "");
    return *def;
}

void TFieldDefs::Update() {
    if (!FUpdated && FDataSet) FDataSet->InitFieldDefs();
}

}  // namespace ds
