// Records from JSON Lines: one new record per line that holds a JSON object
// (blank lines are skipped). Keys are field names in any case; "_recno",
// which dbftool's dump prints, and "_comment" are no fields (unless the table
// has a field of that name) and are skipped; an object whose only key is
// "_comment" is a comment line and appends nothing, so a file can carry its
// title in its first line. Values take the forms of JsonValues.h. A line that
// fails is cancelled and stops the input with ELineError; earlier lines stay.
#pragma once

#include <nlohmann/json.hpp>

#include <istream>
#include <string>

namespace dbf {
class TTable;
}

namespace records {

// The JSON object of one input line; EInputError when it is none.
nlohmann::json ParseObject(const std::string& text);

// Sets the fields named in object in the record being edited or inserted.
void ApplyObject(const nlohmann::json& object, dbf::TTable& table);

// True for an object that is only a comment ({"_comment": ...}).
bool IsCommentObject(const nlohmann::json& object, const dbf::TTable& table);

// Appends the records of every line; appended counts them, also when a line fails.
void AppendJsonLines(dbf::TTable& table, std::istream& input, long& appended);

}  // namespace records
