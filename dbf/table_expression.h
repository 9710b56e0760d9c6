// TTableExpression: a dBASE expression compiled over the fields of an open
// table object and evaluated on its current record, for callers that want the
// value an expression gives (a tool showing it) rather than a filter's verdict.
//
// Contract:
// - The table must be open; the expression is compiled at construction with
//   the compiler's errors (EParserException, ETableError) and never again.
// - The options say how fields are read and text compared: as a filter does
//   (OfFilter: trimmed text in the program's code page, case and partial
//   match by the filter options) or as an index key is built (OfIndexKey:
//   the field bytes as stored, case-insensitive, no partial match).
// - Evaluate reads the table's current record (ETableError NoCurrentRecord
//   without one) and answers the value with its type: integers and large
//   integers as int64_t, floats as double, booleans as bool, date-times as
//   TVarDateTime, text as UTF-8 converted from the code page it is in.
// - The table object must outlive the expression.
#pragma once

#include "dataset/Variant.h"
#include "dbf/expr_words.h"
#include "dbf/table_filter.h"

#include <memory>
#include <string>

namespace dbf {

class TTable;
class TTableParser;

struct TExpressionOptions {
    bool RawStringFields = false;
    bool CaseInsensitive = false;
    bool PartialMatch = true;

    static TExpressionOptions OfFilter(TFilterOptions options);
    static TExpressionOptions OfIndexKey();
};

struct TExpressionValue {
    TExpressionType Type = etUnknown;
    ds::TVariant Value;
};

class TTableExpression {
public:
    TTableExpression(TTable& table, const std::string& text, TExpressionOptions options);
    ~TTableExpression();
    TTableExpression(const TTableExpression&) = delete;
    TTableExpression& operator=(const TTableExpression&) = delete;

    TExpressionType ResultType() const;
    TExpressionValue Evaluate();

private:
    std::string TextOfResult(const char* result) const;

    TTable& FTable;
    TExpressionOptions FOptions;
    std::unique_ptr<TTableParser> FParser;
};

}  // namespace dbf
