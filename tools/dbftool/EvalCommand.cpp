#include "EvalCommand.h"

#include "ExpressionError.h"
#include "JsonOutput.h"
#include "TableAccess.h"

#include "dataset/DateTimeUtils.h"
#include "records/JsonValues.h"

#include <cstdio>
#include <memory>

namespace dbftool {

namespace {

// The date, and the time of day (to the second, milliseconds dropped) when
// there is one.
std::string DateTimeJson(ds::TDateTime value) {
    const ds::TTimeParts time = ds::DecodeTime(value);
    if (time.Hour == 0 && time.Minute == 0 && time.Second == 0 && time.MilliSecond == 0)
        return records::DateText(value);
    char text[16];
    std::snprintf(text, sizeof text, "T%02d:%02d:%02d", time.Hour, time.Minute, time.Second);
    return records::DateText(value) + text;
}

}  // namespace

dbf::TFilterOptions FilterOptionsOf(const TExpressionRequest& expression) {
    dbf::TFilterOptions options = 0;
    if (expression.IgnoreCase) options |= dbf::foCaseInsensitive;
    if (expression.NoPartial) options |= dbf::foNoPartialCompare;
    return options;
}

dbf::TExpressionOptions OptionsOf(const TExpressionRequest& expression) {
    if (expression.Raw) return dbf::TExpressionOptions::OfIndexKey();
    return dbf::TExpressionOptions::OfFilter(FilterOptionsOf(expression));
}

const char* TypeName(dbf::TExpressionType type) {
    switch (type) {
        case dbf::etInteger: return "integer";
        case dbf::etLargeInt: return "largeint";
        case dbf::etFloat: return "float";
        case dbf::etBoolean: return "boolean";
        case dbf::etString: return "string";
        case dbf::etDateTime: return "datetime";
        default: return "unknown";
    }
}

nlohmann::ordered_json ValueToJson(const dbf::TExpressionValue& value) {
    const ds::TVariant& v = value.Value;
    if (v.Is<ds::TVarDateTime>()) return DateTimeJson(v.Get<ds::TVarDateTime>().Value);
    if (v.Is<int64_t>()) return v.Get<int64_t>();
    if (v.Is<double>()) return v.Get<double>();
    if (v.Is<bool>()) return v.Get<bool>();
    if (v.Is<std::string>()) return v.Get<std::string>();
    return nullptr;
}

void RunEval(const std::string& tablePath, const TExpressionRequest& expression, std::ostream& out) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::ReadOnly, false);
    std::unique_ptr<dbf::TTableExpression> compiled;
    CompileOrExplain(expression.Text, [&] {
        compiled = std::make_unique<dbf::TTableExpression>(*table, expression.Text, OptionsOf(expression));
    });
    for (table->First(); !table->Eof(); table->Next()) {
        const dbf::TExpressionValue value = compiled->Evaluate();
        nlohmann::ordered_json line;
        line["_recno"] = table->PhysicalRecNo();
        line["type"] = TypeName(value.Type);
        line["value"] = ValueToJson(value);
        WriteJsonLine(line, out);
    }
    out.flush();
}

}  // namespace dbftool
