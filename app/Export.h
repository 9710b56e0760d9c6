// The export of a table into a Pascal source unit, fragendat.pas: one typed
// constant, a two-dimensional array of strings with one row per record and
// one column per field, each value a string literal or a sum of literals.
//
// Contract:
// - The rows are the records a walk from First to Eof visits (records marked
//   deleted are skipped), and the array's record bound is the number of rows
//   minus 1, so the declaration always matches what it lists. The walk
//   leaves the table at its end.
// - Every apostrophe of a value is doubled. A line break of a value (LF; a
//   CR is dropped) ends the literal and continues with chr(10)+chr(13)+'...;
//   a longer piece is cut into pieces of at most 250 characters, and every
//   cut leaves two valid literals (see limwidth).
// - Lines end with CR LF; inside a value's line every break is a raw LF CR.
//   The file is written in the system ANSI code page, a character the code
//   page cannot hold as "?".
// - WriteSourceUnit shows nothing: a file that cannot be created is silently
//   not written, and a failing write leaves the file incomplete. An exception
//   of the table (for example a closed one) passes to the caller after the
//   file has been created, which then stays empty.
#pragma once

#include <QString>

namespace ds {
class TDataSet;
}

inline constexpr char ExportFileName[] = "fragendat.pas";

// Cuts a piece of a string expression into pieces of at most 250 characters,
// each cut closing the literal with '+ LF CR and opening the next with an
// apostrophe. textStart is the index at which the piece's literal text begins
// (0 for the first piece of a value, 17 after a chr(10)+chr(13)+' prefix).
QString limwidth(QString s, qsizetype textStart);

// The inside of the string expression for a value's text whose apostrophes
// are already doubled; the caller adds the first and the last apostrophe.
QString SplitStrings(const QString& s);

// The source form of one value: apostrophes doubled, line breaks and long
// texts split, enclosed in apostrophes.
QString ValueLine(const QString& text);

// The whole unit for the table's records, lines ending in CR LF.
QString RenderSourceUnit(ds::TDataSet& table);

// Writes the unit into folder/fragendat.pas, replacing an existing file;
// folder may end with "/" or not.
void WriteSourceUnit(ds::TDataSet& table, const QString& folder);
