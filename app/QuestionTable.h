// The question table: its 17 field definitions, and the file moves that put
// an upgraded table in place of the old one.
//
// The move keeps every byte: the old pair fragen.dbf/fragen.dbt becomes the
// backup fragen0.dbf/fragen0.dbt, the scratch pair temp.dbf/temp.dbt becomes
// fragen.dbf/fragen.dbt, a table file and its memo file always move together,
// and nothing is deleted. A backup left by an earlier upgrade is kept under
// the first free name fragen0-<n>.dbf/.dbt. When a move fails, the moves
// already made are undone and ESwapFailed says which move failed.
#pragma once

#include "dataset/FieldDefs.h"

#include <stdexcept>
#include <string>

// The definitions of a question record, in field order.
void AddQuestionFieldDefs(ds::TFieldDefs& defs);

// The number of fields of the current layout; a table with fewer is upgraded.
inline constexpr int QuestionFieldCount = 17;

class ESwapFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// folder ends with "/". Moves the scratch pair in place of the question table.
void SwapInUpgradedTable(const std::string& folder);
