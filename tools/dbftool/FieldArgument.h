// The field arguments of create, NAME:TYPE[:SIZE[:DECIMALS]], turned into the
// engine's field definitions for a dialect.
//
// Contract: TYPE is one native type letter (either case); SIZE and DECIMALS
// are decimal numbers, and one left out or empty takes the engine's default
// for the letter. The engine normalises what the letter permits (a logical
// field is always 1 wide, a date 8, ...). A malformed argument raises
// TUsageError; a letter the dialect has no data type for raises TToolError.
#pragma once

#include "dbf/common.h"
#include "dbf/field_defs.h"

#include <optional>
#include <string>
#include <vector>

namespace dbftool {

struct TFieldSpec {
    std::string Name;
    char Letter = 0;
    std::optional<int> Size;
    std::optional<int> Decimals;
};

TFieldSpec ParseFieldSpec(const std::string& text);

// The dialect a table of that level is created in.
dbf::TXBaseVersion VersionOfLevel(int level);

// Appends the definition of spec to defs, whose dialect is already set.
void AddFieldDef(const TFieldSpec& spec, dbf::TFieldDescriptors& defs);

}  // namespace dbftool
