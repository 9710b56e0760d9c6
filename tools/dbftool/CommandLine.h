// The command line of dbftool, parsed into one request. Parsing checks the
// shape of the arguments only (a known command, the arguments it takes, a
// level of 3, 4, 7 or 25, a language id of 0 to 255, record numbers of 1 or
// more); what the arguments mean is the commands' business.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dbftool {

enum class TCommand { Info, Dump, Eval, Create, Append, Update, Delete, Recall, Pack, Zap };

// What append reads: JSON Lines, or with --csv a CSV catalogue.
enum class TInputFormat { JsonLines, Csv };

// How an expression is compiled: as a filter (the default, with the two
// filter options) or, with Raw, as an index key is.
struct TExpressionRequest {
    std::string Text;                       // dump --filter EXPR, eval EXPR
    bool IgnoreCase = false;                // --ignore-case
    bool NoPartial = false;                 // --no-partial
    bool Raw = false;                       // eval --raw
};

struct TRequest {
    TCommand Command = TCommand::Info;
    std::string Table;
    bool WithDeleted = false;               // dump --deleted
    TExpressionRequest Expression;          // dump --filter, eval
    int Level = 4;                          // create --level
    std::optional<int> LanguageId;          // create --lang
    std::vector<std::string> FieldSpecs;    // create NAME:TYPE[:SIZE[:DECIMALS]]...
    std::string InputFile;                  // append [FILE] or --csv FILE; empty: standard input
    TInputFormat InputFormat = TInputFormat::JsonLines;
    std::vector<int> RecNos;                // update (one), delete, recall
    std::string Json;                       // update
    bool PlainForms = false;                // append, update --plain-forms
    int CodePage = 0;                       // --codepage, before or after the command; 0: none
};

// Raises TUsageError for a command line the tool cannot take; answers nullopt
// when help was asked for (the caller prints the usage and succeeds).
std::optional<TRequest> ParseCommandLine(int argc, char** argv);

// A language id written in decimal or, with 0x, in hexadecimal; nullopt when
// the text is neither or the number lies outside 0 to 255.
std::optional<int> ParseLanguageId(const std::string& text);

}  // namespace dbftool
