// dbftool eval: the value of an expression for every record the walk visits,
// one JSON object per line: {"_recno":N,"type":T,"value":V}. T is integer,
// largeint, float, boolean, string or datetime; a date-time is "YYYY-MM-DD",
// or "YYYY-MM-DDTHH:MM:SS" when it has a time of day; text is UTF-8.
//
// The expression is compiled as a filter with the given options compiles it
// (text fields trimmed, in the program's code page; "=" with wildcards unless
// NoPartial; case-sensitive unless IgnoreCase), or with Raw as an index key
// is (the field bytes as stored, case-insensitive, no wildcards). A compile
// error fails the command before any output (ExpressionError.h).
#pragma once

#include "CommandLine.h"

#include "dbf/table_expression.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

namespace dbftool {

dbf::TExpressionOptions OptionsOf(const TExpressionRequest& expression);
dbf::TFilterOptions FilterOptionsOf(const TExpressionRequest& expression);

// "integer", "largeint", "float", "boolean", "string" or "datetime".
const char* TypeName(dbf::TExpressionType type);
nlohmann::ordered_json ValueToJson(const dbf::TExpressionValue& value);

void RunEval(const std::string& tablePath, const TExpressionRequest& expression, std::ostream& out);

}  // namespace dbftool
