// TFields: the ordered field objects of one dataset, which it owns.
//
// Contract: a field added here belongs to the dataset given at construction
// (its DataSet() answers it) and is destroyed with the list or by Clear.
// Lookup by name ignores ASCII case; FieldByName raises "Field '%s' not found",
// prefixed with the dataset's name, where FindField answers nullptr.
#pragma once

#include "dataset/Field.h"

#include <memory>
#include <string>
#include <vector>

namespace ds {

class TDataSet;

class TFields {
public:
    explicit TFields(TDataSet* dataSet) : FDataSet(dataSet) {}

    TField& Add(std::unique_ptr<TField> field);
    void Clear();

    int Count() const { return static_cast<int>(FItems.size()); }
    TField& operator[](int index) const;
    int IndexOf(const TField* field) const;  // -1 when not in the list
    TField* FindField(const std::string& name) const;
    TField& FieldByName(const std::string& name) const;

private:
    TDataSet* FDataSet;
    std::vector<std::unique_ptr<TField>> FItems;
};

}  // namespace ds
