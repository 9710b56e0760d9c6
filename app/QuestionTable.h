// The question table: its 17 field definitions, the topic block a record's
// chapter names, and the file moves that put an upgraded table in place of
// the old one.
//
// The move keeps every byte: the old pair fragen.dbf/fragen.dbt becomes the
// backup fragen0.dbf/fragen0.dbt, the scratch pair temp.dbf/temp.dbt becomes
// fragen.dbf/fragen.dbt, a table file and its memo file always move together,
// and nothing is deleted. A backup left by an earlier upgrade is kept under
// the first free name fragen0-<n>.dbf/.dbt. When a move fails, the moves
// already made are undone and ESwapFailed says which move failed.
#pragma once

#include "dataset/FieldDefs.h"

#include <optional>
#include <stdexcept>
#include <string>

// The definitions of a question record, in field order.
void AddQuestionFieldDefs(ds::TFieldDefs& defs);

// The number of fields of the current layout; a table with fewer is upgraded.
inline constexpr int QuestionFieldCount = 17;

// The topic blocks "Tb 1" to "Tb 18" of the topic quiz.
inline constexpr int TopicBlockCount = 18;

// The topic block that a record's chapter text (KAPITEL) names: its value as
// a whole number when that is 1 to 18, none for any other text (the empty
// one included). A question whose chapter names none is in no topic quiz.
std::optional<int> TopicBlockOf(const std::string& kapitel);

class ESwapFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// folder ends with "/". Moves the scratch pair in place of the question table.
void SwapInUpgradedTable(const std::string& folder);
