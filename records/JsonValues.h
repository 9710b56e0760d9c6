// Field values as JSON, both ways.
//
// Reading (FieldToJson), by the field's data type:
//   | data type                                    | JSON                                  |
//   |----------------------------------------------|---------------------------------------|
//   | string (character fields)                    | string, trailing blanks removed       |
//   | smallint, integer, word, autoinc, largeint   | integer                               |
//   | float, currency, BCD                         | number                                |
//   | boolean                                      | true or false                         |
//   | date                                         | "YYYY-MM-DD"                          |
//   | date-time                                    | "YYYY-MM-DDTHH:MM:SS.mmm"             |
//   | time                                         | "HH:MM:SS.mmm"                        |
//   | memo                                         | its text                              |
//   | blob, OLE, bytes                             | lower-case hexadecimal string         |
// A null field, an empty text and an empty blob are null. Text is the field
// object's, that is UTF-8 converted from the table's code page by the engine.
//
// Writing (JsonToField) takes the same forms back: null clears the field, a
// boolean, an integer or a number goes to the field's boolean, integer or
// float setter, a string to its text setter, except that date and date-time
// fields take the ISO forms above (a date alone is midnight) and binary fields
// hexadecimal. Whatever the field refuses fails with the engine's message; a
// hexadecimal string that is not one, or an array or object, fails with
// EInputError. TextToField is the string case alone, for text that comes from
// elsewhere (a CSV cell).
#pragma once

#include "dataset/Field.h"

#include <nlohmann/json.hpp>

namespace records {

nlohmann::ordered_json FieldToJson(const ds::TField& field);
void JsonToField(const nlohmann::json& value, ds::TField& field);
void TextToField(const std::string& text, ds::TField& field);

// The text forms, exposed for their own tests.
std::string DateText(ds::TDateTime value);
std::string DateTimeText(ds::TDateTime value);
std::string HexText(const std::string& bytes);

}  // namespace records
