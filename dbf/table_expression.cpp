#include "dbf/table_expression.h"

#include "dbf/messages.h"
#include "dbf/table.h"
#include "dbf/table_buffer.h"
#include "dbf/table_parser.h"

#include <cstring>

namespace dbf {

namespace {

template <typename T>
T ReadValue(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

TExpressionOptions TExpressionOptions::OfFilter(TFilterOptions options) {
    TExpressionOptions result;
    result.CaseInsensitive = (options & foCaseInsensitive) != 0;
    result.PartialMatch = (options & foNoPartialCompare) == 0;
    return result;
}

TExpressionOptions TExpressionOptions::OfIndexKey() {
    TExpressionOptions result;
    result.RawStringFields = true;
    result.CaseInsensitive = true;
    result.PartialMatch = false;
    return result;
}

TTableExpression::TTableExpression(TTable& table, const std::string& text, TExpressionOptions options)
    : FTable(table), FOptions(options) {
    table.CheckActive();
    FParser = std::make_unique<TTableParser>(table.FTableFile.get());
    FParser->SetRawStringFields(options.RawStringFields);
    FParser->SetCaseInsensitive(options.CaseInsensitive);
    FParser->SetPartialMatch(options.PartialMatch);
    FParser->ParseExpression(text);
}

TTableExpression::~TTableExpression() = default;

TExpressionType TTableExpression::ResultType() const { return FParser->ResultType(); }

TExpressionValue TTableExpression::Evaluate() {
    const ds::TRecordBuffer buffer = FTable.GetCurrentBuffer();
    if (!buffer) throw ETableError(msg::NoCurrentRecord);
    const char* result = FParser->ExtractFromBuffer(FTable.RecordImage(buffer), recbuf::BufferRecNo(buffer));
    TExpressionValue value;
    value.Type = FParser->ResultType();
    switch (value.Type) {
        case etInteger: value.Value = static_cast<int64_t>(ReadValue<int32_t>(result)); break;
        case etLargeInt: value.Value = ReadValue<int64_t>(result); break;
        case etFloat: value.Value = ReadValue<double>(result); break;
        case etDateTime: value.Value = ds::TVariant::DateTime(ReadValue<double>(result)); break;
        case etBoolean: value.Value = result[0] != 0; break;
        case etString: value.Value = TextOfResult(result); break;
        default: break;
    }
    return value;
}

// Raw fields give the bytes of the table's code page one character each; case
// mapping may have taken some beyond 255, which are Unicode characters then.
// Otherwise a string result is UTF-16 text.
std::string TTableExpression::TextOfResult(const char* result) const {
    if (!FOptions.RawStringFields) return TTableParser::StringResultUtf8(result);
    std::string text;
    std::string bytes;
    auto flushBytes = [&] {
        if (bytes.empty()) return;
        std::string ansi(bytes.size() * 3 + 1, '\0');
        ansi.resize(static_cast<size_t>(FTable.Translate(bytes.c_str(), ansi.data(), false)));
        text += FTable.TextFromAnsi(ansi);
        bytes.clear();
    };
    for (const char* at = result;; at += sizeof(char16_t)) {
        const auto c = ReadValue<char16_t>(at);
        if (c == 0) break;
        if (c < 0x100) {
            bytes += static_cast<char>(c);
        } else {
            flushBytes();
            AppendUtf8(text, c);
        }
    }
    flushBytes();
    return text;
}

}  // namespace dbf
