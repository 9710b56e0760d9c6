#include "Usage.h"

namespace dbftool {

const std::string& UsageText() {
    static const std::string text =
        R"(Usage: dbftool COMMAND TABLE [ARGUMENTS]

Commands:
  info TABLE
      One JSON object: the table's header facts, its fields and its indexes.
  dump TABLE [--deleted] [--filter EXPR [--ignore-case] [--no-partial]]
      One JSON object per record, in walk order (JSON Lines): "_recno", then
      each field by its name. Deleted records are left out; with --deleted they
      are included and every object carries "_deleted" after "_recno". With
      --filter only the records for which the dBASE expression EXPR is true
      (see Expressions).
  eval TABLE EXPR [--ignore-case] [--no-partial] [--raw]
      The value of the dBASE expression EXPR for every record in walk order,
      one JSON object per line: {"_recno":1,"type":"string","value":"MEIER"}.
      The type is integer, largeint, float, boolean, string or datetime; a
      date-time is "YYYY-MM-DD", or "YYYY-MM-DDTHH:MM:SS" with a time of day.
  create TABLE --level 3|4|7|25 [--lang ID] NAME:TYPE[:SIZE[:DECIMALS]]...
      Creates the table (and its memo file), replacing a file of that name.
      Level 3 is dBASE III, 4 dBASE IV, 7 dBASE 7, 25 FoxPro. TYPE is the
      native type letter of the format (C, N, F, L, D, M, ...); a size or
      decimals left out take the engine's default. ID is the language driver
      id, in decimal or with 0x in hexadecimal; 0 or none takes the default.
      A FoxPro table is a Visual FoxPro table when a field has a type only
      Visual FoxPro knows (I, B, T, Y, ...), else a FoxPro 2 table; its memo
      fields take that form's width (4 or 10), whatever size is given.
  append TABLE [FILE] [--plain-forms]
  append TABLE --csv FILE [--plain-forms]
      Appends one record per line of FILE (standard input without FILE or with
      "-"). Each line is one JSON object whose keys are field names in any
      case and whose values take the forms dump prints; "_recno" and
      "_comment" are ignored, and a line holding only "_comment" appends
      nothing. With --csv, FILE is a CSV file in UTF-8: a header row of field
      names in any case, then one record per row; comma or semicolon as the
      header row uses, values quoted with '"' where they hold a separator, a
      quote or a line break; logical fields take wahr/falsch, ja/nein, x,
      1/0 or true/false; an empty cell leaves the field blank.
      A line that fails stops the command: its line number and the reason are
      printed, nothing of that line is written, and the lines before it stay.
      Input from a file is appended in batches of up to 1,000 records, each
      under one hold of the table's header lock.
  update TABLE RECNO JSON [--plain-forms]
      Sets the fields named in the JSON object in record RECNO.
  delete TABLE RECNO...
      Marks the records deleted.
  recall TABLE RECNO...
      Takes the deletion mark off the records.
  pack TABLE
      Removes the deleted records for good. Needs exclusive access.
  zap TABLE
      Removes every record. Needs exclusive access.

Values: character fields are strings, numeric fields numbers, logical fields
true or false, dates "YYYY-MM-DD", timestamps "YYYY-MM-DDTHH:MM:SS.mmm", memo
fields their text, binary fields hexadecimal strings; an empty field is null.
Text is UTF-8. A character that the table's code page cannot hold fails the
line (or the update) with a message naming it; with --plain-forms, typographic
quotes and dashes, the ellipsis and the euro sign that it cannot hold are
stored as ", ', -, ... and EUR instead. RECNO is a physical record number, 1
for the first record.

Expressions: dBASE expressions over the table's fields, as filters and index
keys use them: fields by name, 'text' or "text", numbers, + - * / on numbers
and + on text, = <> < > <= >=, NOT, AND, OR, brackets, and the functions
UPPER, LOWER, SUBSTR(text, start, count), STR(number[, width[, decimals]])
and DTOS(date); besides them the dBASE words TRIM, RTRIM, LTRIM, LEFT, RIGHT,
IIF, VAL, CTOD, DTOC, DATE(), YEAR, MONTH, DAY, RECNO(), DELETED(), $ (text
contained in text), .AND. .OR. .NOT. .T. .F., a leading minus, and dates
compared or moved by a number of days. Memo fields cannot be used. As a
filter reads them (dump --filter, and eval by default), character fields are
trimmed of trailing blanks, text compares case-sensitively, and "=" on text
takes the pattern 'abc*' (starts with), '*abc' (ends with) or '*abc*'
(contains); --ignore-case compares text ignoring case, --no-partial makes "="
compare whole values.
eval --raw evaluates as an index key is built: character fields as stored,
blanks included, case ignored, no patterns. An expression that does not
compile fails the command with the engine's message; when the message names
a word of the expression, the expression follows with a ^ under that word and
its position (1 for the first character). A dump filter must give a boolean.

--codepage N, with any command: the code page (437, 850, 866, 1251, 1253,
...) of the text of a table whose header names none (language byte 0);
without it such text is taken as text of the system's ANSI code page. The
table's bytes are not changed by it.

info, dump and eval open the table read-only; the other commands open it
shared, so they work beside other programs that have it open.

Exit status: 0 on success, 1 when the command fails (the reason on standard
error), 2 for a command line that is not understood (with this text).
)";
    return text;
}

}  // namespace dbftool
