#include "records/CsvReader.h"

#include "records/InputError.h"

#include <unicode/utf8.h>

#include <utility>

namespace records {

namespace {


// libcsv trims blanks around unquoted values unless told that none is one.
int NoBlanks(unsigned char) { return 0; }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

bool IsValidUtf8(const std::string& text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

// The UTF-8 byte-order mark EF BB BF, which spreadsheets like to write.
std::string WithoutByteOrderMark(std::string text) {
    const bool marked = text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
                        static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF;
    if (marked) text.erase(0, 3);
    return text;
}

}  // namespace

char DetectSeparator(const std::string& text) {
    long commas = 0;
    long semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;  // a doubled quote toggles twice
        if (quoted) continue;
        if (IsLineBreak(c)) break;
        commas += c == ',';
        semicolons += c == ';';
    }
    return semicolons > commas ? ';' : ',';
}

TCsvReader::TCsvReader(std::string text) : FText(WithoutByteOrderMark(std::move(text))) {
    FSeparator = DetectSeparator(FText);
    if (csv_init(&FParser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw EInputError("out of memory");
    csv_set_delim(&FParser, static_cast<unsigned char>(FSeparator));
    csv_set_space_func(&FParser, NoBlanks);
}

TCsvReader::~TCsvReader() { csv_free(&FParser); }

void TCsvReader::OnValue(void* data, size_t size, void* reader) {
    auto& self = *static_cast<TCsvReader*>(reader);
    self.FRow.Values.emplace_back(data ? static_cast<const char*>(data) : "", data ? size : 0);
}

void TCsvReader::OnRowEnd(int, void* reader) { static_cast<TCsvReader*>(reader)->FRowDone = true; }

void TCsvReader::Fail(const std::string& reason) const { throw ELineError(FRowStarted ? FRow.LineNo : FLine, reason); }

// Bytes go to the parser one at a time, so that the line a row starts on is
// known exactly, whatever its quoted values span.
void TCsvReader::Feed(char byte) {
    if (!FRowStarted && !IsLineBreak(byte)) {
        FRowStarted = true;
        FRow.LineNo = FLine;
    }
    if (csv_parse(&FParser, &byte, 1, OnValue, OnRowEnd, this) != 1) {
        const int error = csv_error(&FParser);
        Fail(error == CSV_EPARSE ? "not valid CSV: a quote stands out of place" : csv_strerror(error));
    }
    if (byte == '\n') ++FLine;
}

std::optional<TCsvRow> TCsvReader::Next() {
    FRow = TCsvRow{};
    FRowStarted = false;
    FRowDone = false;
    while (!FRowDone && FPos < FText.size()) Feed(FText[FPos++]);
    if (!FRowDone && !FFinished) {
        FFinished = true;
        if (csv_fini(&FParser, OnValue, OnRowEnd, this) != 0) Fail("not valid CSV: a quoted value is not closed");
    }
    if (!FRowDone) return std::nullopt;
    for (const std::string& value : FRow.Values)
        if (!IsValidUtf8(value)) Fail("not valid UTF-8");
    return std::move(FRow);
}

}  // namespace records
