// The sample questions ("Beispielfragen") that a newly created question table
// is filled with, so that the first start opens a trainer with questions.
//
// The bank is the JSON Lines file fragen-beispiel.jsonl, one question per line
// keyed by the stored field names. It is looked for beside the program, in the
// folder `cmake --install` puts it into (<prefix>/share/quarzel/ for the
// program in <prefix>/bin/); the build places a copy at the same place
// relative to the program in the build folder. Without the file the table
// stays empty.
#pragma once

#include <QString>

#include <optional>

namespace dbf {
class TTable;
}

// The bank file to seed from, or an empty string when there is none.
QString SampleBankFile();

// Replaces the lookup: the given file (empty: no bank) until reset with
// std::nullopt. For tests, which run beside no installed bank.
void SetSampleBankFile(std::optional<QString> file);

// Appends the bank's questions to the open, empty table. When the bank cannot
// be read or a line of it is refused, the table is emptied again and one
// message names the file and the line; the program goes on.
void SeedFromSampleBank(dbf::TTable& table, const QString& file);
