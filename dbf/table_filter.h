// The filter of a table object: the options that shape how its expression
// compares text, and how a filter text becomes the compiled expression that
// decides, record by record, what a walk of the table sees.
//
// Contract:
// - A filter is a dBASE expression over the table's fields (dbf/table_parser.h)
//   that gives a boolean. It is compiled once, when it is set on an open table
//   or when the table opens, by a table parser of its own: character fields
//   read trimmed and in the program's ANSI code page (not raw), "=" on text
//   accepts the wildcards "abc*", "*abc" and "*abc*" unless
//   foNoPartialCompare is given, and text compares case-sensitively unless
//   foCaseInsensitive is given.
// - Compiling raises the compiler's EParserException or ETableError, or
//   ETableError NotBooleanFilter for an expression that gives no boolean
//   (its first byte would say nothing about the record).
// - Evaluating reads nothing but the record image it is given and raises
//   nothing of its own.
#pragma once

namespace dbf {

enum TFilterOption : unsigned { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = unsigned;

}  // namespace dbf
