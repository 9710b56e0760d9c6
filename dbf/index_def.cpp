#include "dbf/index_def.h"

#include <cctype>

namespace dbf {

std::string NormalizedIndexText(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    std::string result = text.substr(first, text.find_last_not_of(' ') - first + 1);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

void TTableIndexDef::SetIndexFile(const std::string& value) { FIndexFile = NormalizedIndexText(value); }

void TTableIndexDef::SetExpression(const std::string& value) { FExpression = NormalizedIndexText(value); }

void TTableIndexDef::Assign(const TTableIndexDef& other) {
    FIndexFile = other.FIndexFile;
    FExpression = other.FExpression;
    FOptions = other.FOptions;
}

TTableIndexDef& TTableIndexDefs::Add() { return FItems.emplace_back(); }

TTableIndexDef* TTableIndexDefs::GetIndexByName(const std::string& indexName) {
    const std::string wanted = NormalizedIndexText(indexName);
    for (TTableIndexDef& def : FItems)
        if (def.IndexFile() == wanted) return &def;
    return nullptr;
}

TTableIndexDef* TTableIndexDefs::GetIndexByField(const std::string& fields) {
    const std::string wanted = NormalizedIndexText(fields);
    if (wanted.empty()) return nullptr;
    for (TTableIndexDef& def : FItems)
        if (def.Expression() == wanted) return &def;
    return nullptr;
}

void TTableIndexDefs::Remove(const TTableIndexDef* def) {
    for (auto it = FItems.begin(); it != FItems.end(); ++it) {
        if (&*it != def) continue;
        FItems.erase(it);
        return;
    }
}

}  // namespace dbf
