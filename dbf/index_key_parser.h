// The index key source over the expression engine: a TIndexKeyParser
// compiles the tag's key expression (any dBASE expression over the table's
// fields) and evaluates it on record images. String results become key
// bytes, one byte per character, blank-padded to the key length the parser
// found; integer, large-integer and float results pass as numbers.
#pragma once

#include "dbf/index_key.h"

#include <memory>

namespace dbf {

class TTableFile;

std::unique_ptr<TIndexKeySource> NewParserKeySource(TTableFile& table);

}  // namespace dbf
