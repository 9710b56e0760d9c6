// TFieldDef / TFieldDefs: the description of a dataset's fields, independent
// of any field objects. Before a table is created the list says what to
// create; while a dataset is open (or after Update) it says what the dataset
// holds, and the default field objects are made from it.
//
// Contract:
// - Definitions keep their order; FieldNo is the 1-based position.
// - Names are looked up without regard to ASCII case; Find raises
//   "Field '%s' not found" (prefixed with the dataset's name) for a missing one.
// - Updated tells whether the list reflects the dataset; Update asks the
//   dataset to rebuild it when it does not (TDataSet::InitFieldDefs).
#pragma once

#include "dataset/DataSetTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace ds {

class TDataSet;

class TFieldDef {
public:
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    int Precision = 0;
    bool Required = false;
    bool ReadOnly = false;
    bool Hidden = false;  // an internal field: its field object is not visible

    int FieldNo() const { return FFieldNo; }

private:
    friend class TFieldDefs;
    int FFieldNo = 0;
};

class TFieldDefs {
public:
    explicit TFieldDefs(TDataSet* dataSet = nullptr) : FDataSet(dataSet) {}

    TFieldDef& Add(const std::string& name, TFieldType dataType, int size = 0, bool required = false);
    TFieldDef& AddFieldDef();
    void Clear();

    int Count() const { return static_cast<int>(FItems.size()); }
    TFieldDef& operator[](int index) { return *FItems.at(static_cast<size_t>(index)); }
    const TFieldDef& operator[](int index) const { return *FItems.at(static_cast<size_t>(index)); }

    int IndexOf(const std::string& name) const;  // -1 when absent
    TFieldDef* FindDef(const std::string& name);  // nullptr when absent
    TFieldDef& Find(const std::string& name);     // raises when absent

    bool Updated() const { return FUpdated; }
    void SetUpdated(bool updated) { FUpdated = updated; }
    void Update();

private:
    TDataSet* FDataSet;
    std::vector<std::unique_ptr<TFieldDef>> FItems;
    bool FUpdated = false;
};

// ASCII case-insensitive equality of two field names.
bool SameFieldName(const std::string& a, const std::string& b);

}  // namespace ds
