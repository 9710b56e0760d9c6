// TTable: the filter text and its options, compiled into a table parser of the
// object's own, and the filter step of every fetch (DoFilterRecord).
#include "dbf/table.h"

#include "dbf/messages.h"
#include "dbf/table_buffer.h"
#include "dbf/table_parser.h"

namespace dbf {

// A parser of its own for every text: a parser clears what it held before it
// compiles, and the filter in force must survive a text that fails.
std::unique_ptr<TTableParser> TTable::CompileFilter(const std::string& text, TFilterOptions options) const {
    if (text.empty()) return nullptr;
    auto parser = std::make_unique<TTableParser>(FTableFile.get());
    parser->SetRawStringFields(false);
    parser->SetPartialMatch((options & foNoPartialCompare) == 0);
    parser->SetCaseInsensitive((options & foCaseInsensitive) != 0);
    parser->ParseExpression(text);
    if (parser->ResultType() != etBoolean) throw ETableError(Format(msg::NotBooleanFilter, text.c_str()));
    return parser;
}

// A filter text set while closed that does not compile is dropped, so that it
// cannot keep the table from opening.
void TTable::CompileFilterAtOpen() {
    try {
        FParser = CompileFilter(FFilter, FFilterOptions);
    } catch (const EParserException&) {
        FFilter.clear();
    } catch (const ETableError&) {
        FFilter.clear();
    }
}

void TTable::RefreshFiltered() {
    if (FCursor && FFiltered) Refresh();
}

void TTable::SetFilter(const std::string& value) {
    if (value == FFilter) return;
    // Compiled before anything changes: a text that fails leaves the old filter.
    std::unique_ptr<TTableParser> parser = FTableFile ? CompileFilter(value, FFilterOptions) : nullptr;
    FFilter = value;
    FParser = std::move(parser);
    RefreshFiltered();
}

void TTable::SetFiltered(bool value) {
    if (value == FFiltered) return;
    FFiltered = value;
    if (FCursor) Refresh();
}

void TTable::SetFilterOptions(TFilterOptions value) {
    if (value == FFilterOptions) return;
    std::unique_ptr<TTableParser> parser = FTableFile ? CompileFilter(FFilter, value) : nullptr;
    FFilterOptions = value;
    FParser = std::move(parser);
    RefreshFiltered();
}

// The expression decides first; OnFilterRecord sees only the records it let
// pass, through the field objects, and may still reject them.
bool TTable::DoFilterRecord(ds::TRecordBuffer buffer) {
    bool accept = true;
    if (FParser) accept = *FParser->ExtractFromBuffer(RecordImage(buffer), recbuf::BufferRecNo(buffer)) != 0;
    if (accept && OnFilterRecord) InFilterState(buffer, [&] { OnFilterRecord(*this, accept); });
    return accept;
}

}  // namespace dbf
