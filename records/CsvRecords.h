// Records from a CSV catalogue, as a spreadsheet writes it: a header row of
// field names (in any case, blanks around them ignored; a "_recno" column is
// skipped unless the table has such a field), then one record per row.
//
// Values: an empty cell leaves the field blank; a logical field takes
// "wahr"/"falsch", "ja"/"nein", "x", "1"/"0" and "true"/"false" in any case
// (any other text goes to the field's own text form); every other field
// takes the text as a JSON string would (JsonValues.h). Rows whose cells are
// all empty are skipped. A row must have one value per column. Each row is
// all or nothing: a row that fails is cancelled and stops the input with
// ELineError naming the line it starts on; earlier rows stay. A header that
// names no field of the table, or a field twice, fails at line 1 before
// anything is written.
#pragma once

#include <istream>
#include <optional>
#include <string>

namespace dbf {
class TTable;
}

namespace records {

// The truth value of a logical spelling, or nullopt when it is none.
std::optional<bool> LogicalSpelling(const std::string& text);

// Appends the records of every row; appended counts them, also when a row fails.
void AppendCsv(dbf::TTable& table, std::istream& input, long& appended);

}  // namespace records
