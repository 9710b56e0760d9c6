// Small helpers shared by the framework's tests.
#pragma once

#include "MemoryDataSet.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace dstest {

// The message of the exception f raises, or "(nothing raised)".
template <typename F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

// An open dataset "Table1" with an integer ID and a NAME of 10 characters,
// holding rows with the IDs given.
inline std::unique_ptr<TMemoryDataSet> OpenNumbered(const std::vector<int>& ids, const std::vector<int>& deleted = {}) {
    auto dataSet = std::make_unique<TMemoryDataSet>(
        std::vector<TColumn>{{"ID", ds::ftInteger}, {"NAME", ds::ftString, 10}});
    dataSet->SetName("Table1");
    for (int id : ids) dataSet->AddRow({id, "row" + std::to_string(id)});
    for (int recordNumber : deleted) dataSet->MarkDeleted(recordNumber);
    dataSet->Open();
    return dataSet;
}

// The IDs of a walk from First to Eof.
inline std::vector<int> WalkIds(ds::TDataSet& dataSet) {
    std::vector<int> ids;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) ids.push_back(dataSet.FieldByName("ID").AsInteger());
    return ids;
}

}  // namespace dstest
