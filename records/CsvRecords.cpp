#include "records/CsvRecords.h"

#include "records/CsvReader.h"
#include "records/InputError.h"
#include "records/JsonValues.h"
#include "records/RecordAppend.h"

#include "dbf/table.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <sstream>

namespace records {

namespace {

constexpr const char* kRecNoKey = "_recno";

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string LowerAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string ReadAll(std::istream& input) {
    std::ostringstream text;
    text << input.rdbuf();
    if (input.bad()) throw EInputError(std::string("reading the input failed: ") + std::strerror(errno));
    return text.str();
}

// The field of each column; nullptr for a column that names no field.
using TColumns = std::vector<ds::TField*>;

TColumns ColumnsOfHeader(const TCsvRow& header, const dbf::TTable& table) {
    TColumns columns;
    for (const std::string& cell : header.Values) {
        const std::string name = Trimmed(cell);
        ds::TField* field = table.FindField(name);
        if (!field && name == kRecNoKey) {
            columns.push_back(nullptr);
            continue;
        }
        if (!field) throw ELineError(header.LineNo, "the table has no field '" + name + "'");
        if (std::find(columns.begin(), columns.end(), field) != columns.end())
            throw ELineError(header.LineNo, "the field '" + field->FieldName() + "' is named twice");
        columns.push_back(field);
    }
    return columns;
}

bool AllEmpty(const TCsvRow& row) {
    return std::all_of(row.Values.begin(), row.Values.end(), [](const std::string& v) { return v.empty(); });
}

void CellToField(const std::string& text, ds::TField& field) {
    if (text.empty()) {
        field.Clear();
        return;
    }
    if (field.DataType() == ds::ftBoolean)
        if (const auto value = LogicalSpelling(text)) {
            field.SetAsBoolean(*value);
            return;
        }
    TextToField(text, field);
}

void AppendRow(dbf::TTable& table, const TColumns& columns, const TCsvRow& row, long& appended) {
    if (row.Values.size() != columns.size())
        throw ELineError(row.LineNo, std::to_string(row.Values.size()) + " values for " +
                                         std::to_string(columns.size()) + " columns");
    AppendRecordOfLine(table, row.LineNo, appended, [&] {
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i]) CellToField(row.Values[i], *columns[i]);
    });
}

}  // namespace

std::optional<bool> LogicalSpelling(const std::string& text) {
    static const char* const truths[] = {"wahr", "ja", "x", "1", "true"};
    static const char* const falsehoods[] = {"falsch", "nein", "0", "false"};
    const std::string word = LowerAscii(Trimmed(text));
    if (std::find(std::begin(truths), std::end(truths), word) != std::end(truths)) return true;
    if (std::find(std::begin(falsehoods), std::end(falsehoods), word) != std::end(falsehoods)) return false;
    return std::nullopt;
}

void AppendCsv(dbf::TTable& table, std::istream& input, long& appended) {
    TCsvReader reader(ReadAll(input));
    const std::optional<TCsvRow> header = reader.Next();
    if (!header) return;
    const TColumns columns = ColumnsOfHeader(*header, table);
    while (const std::optional<TCsvRow> row = reader.Next())
        if (!AllEmpty(*row)) AppendRow(table, columns, *row, appended);
}

}  // namespace records
