// Rows of a CSV text (RFC 4180), read with Debian's libcsv, each with the
// number of the line it starts on, so that a failure can name that line.
//
// Contract: the text is UTF-8; a byte-order mark in front is skipped. The
// separator is a comma or a semicolon, whichever occurs more often outside
// quotes in the first row (the header); a comma when neither does. Values may
// be quoted with '"', a quote inside a quoted value is written twice, and a
// quoted value may span lines (its line breaks are kept as they stand). Rows
// end at CR LF or LF; blank lines are skipped; blanks around a value are
// kept. A quote out of place, a quoted value that is not closed and a value
// that is not valid UTF-8 fail with ELineError naming the row's first line.
#pragma once

#include <csv.h>

#include <optional>
#include <string>
#include <vector>

namespace records {

struct TCsvRow {
    long LineNo = 0;                  // 1 for the first line of the text
    std::vector<std::string> Values;  // one per column, in order
};

class TCsvReader {
public:
    explicit TCsvReader(std::string text);
    ~TCsvReader();
    TCsvReader(const TCsvReader&) = delete;
    TCsvReader& operator=(const TCsvReader&) = delete;

    char Separator() const { return FSeparator; }
    // The next row, or nullopt after the last one.
    std::optional<TCsvRow> Next();

private:
    static void OnValue(void* data, size_t size, void* reader);
    static void OnRowEnd(int terminator, void* reader);
    void Feed(char byte);
    [[noreturn]] void Fail(const std::string& reason) const;

    std::string FText;
    size_t FPos = 0;
    char FSeparator = ',';
    csv_parser FParser{};
    long FLine = 1;          // the line of the next byte
    bool FRowStarted = false;
    bool FRowDone = false;
    bool FFinished = false;
    TCsvRow FRow;
};

// The separator the header row of text uses (see the contract above).
char DetectSeparator(const std::string& text);

}  // namespace records
