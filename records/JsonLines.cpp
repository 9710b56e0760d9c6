#include "records/JsonLines.h"

#include "records/InputError.h"
#include "records/JsonValues.h"
#include "records/RecordAppend.h"

#include "dbf/table.h"

#include <cerrno>
#include <cstring>

namespace records {

namespace {

constexpr const char* kRecNoKey = "_recno";
constexpr const char* kCommentKey = "_comment";

bool IsBlank(const std::string& line) { return line.find_first_not_of(" \t\r\n") == std::string::npos; }

// A key that names no field: the tool's own bookkeeping, unless the table
// really has a field of that name.
bool IsIgnoredKey(const std::string& key, const dbf::TTable& table) {
    return (key == kRecNoKey || key == kCommentKey) && !table.FindField(key);
}

}  // namespace

nlohmann::json ParseObject(const std::string& text) {
    nlohmann::json value;
    try {
        value = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& error) {
        // A parse error, or a number beyond a double (out of range).
        throw EInputError(std::string("not valid JSON: ") + error.what());
    }
    if (!value.is_object()) throw EInputError("not a JSON object");
    return value;
}

void ApplyObject(const nlohmann::json& object, dbf::TTable& table) {
    for (const auto& [key, value] : object.items()) {
        if (IsIgnoredKey(key, table)) continue;
        JsonToField(value, table.FieldByName(key));
    }
}

bool IsCommentObject(const nlohmann::json& object, const dbf::TTable& table) {
    return object.size() == 1 && object.contains(kCommentKey) && IsIgnoredKey(kCommentKey, table);
}

void AppendJsonLines(dbf::TTable& table, std::istream& input, long& appended) {
    std::string line;
    long lineNo = 0;
    while (std::getline(input, line)) {
        ++lineNo;
        if (IsBlank(line)) continue;
        nlohmann::json object;
        try {
            object = ParseObject(line);
        } catch (const EInputError& error) {
            throw ELineError(lineNo, error.what());
        }
        if (IsCommentObject(object, table)) continue;
        AppendRecordOfLine(table, lineNo, appended, [&] { ApplyObject(object, table); });
    }
    if (input.bad()) throw EInputError(std::string("reading the input failed: ") + std::strerror(errno));
}

}  // namespace records
