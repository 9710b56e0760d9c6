// The sample question bank data/fragen-beispiel.jsonl: one JSON object per
// line whose keys are the question table's field names. The screenshot
// renderer and the GUI tests fill a question table from it, so that the
// windows are seen with real questions.
#pragma once

#include <QString>

namespace ds {
class TDataSet;
}

// Where the bank lies in the source tree.
QString SampleBankPath();

// Appends one record per question of the bank to table (open, in browse
// state): the keys that name one of its fields set that field, a boolean as
// a flag and a string as text; other keys (comments) are passed over, and so
// are lines without a question number. Returns the number of questions
// appended; a file that cannot be read or a line that is not JSON throws
// std::runtime_error naming the file and the line.
int LoadSampleBank(ds::TDataSet& table, const QString& path = SampleBankPath());
