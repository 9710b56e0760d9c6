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

}  // namespace dbf
