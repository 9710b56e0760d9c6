// The tables the benchmarks work on, built through the engine itself:
// - the walk layout: NAME C10, CITY C10, AMOUNT N8, ACTIVE L, SINCE D;
// - the question table of the trainer: 17 fields (KAPITEL C10, FRAGENR C10,
//   FRAGE memo, then ANTWORT1..7 memo each followed by ANT1KORREK..ANT7KORREK L);
// - a memo table: ID N8, TEXT memo, in dBASE IV or FoxPro;
// - the payment layout of the filter work: NAME C10, ORT C12, BETRAG N10.2,
//   DATUM D, with names of mixed case ("Meier", "MEIER", "meier", ...) so that
//   a filter on UPPER(NAME) selects a known share of the records.
//
// Contract: record i (0-based) of a built table always holds the same values,
// so any two runs and any two programs see the same bytes. Built tables are
// closed again; tables built through the caches live in one scratch folder for
// the whole process and are built once per size.
#pragma once

#include "dbf/table.h"

#include <cstdint>
#include <string>

namespace bench {

inline constexpr int kQuestionChapters = 18;

// Table levels the engine creates.
inline constexpr int kLevelDbase4 = 4;
inline constexpr int kLevelFoxPro = 25;

// Points table at folder/name, shared (the trainer's mode) or exclusive.
void UseTable(dbf::TTable& table, const std::string& folder, const std::string& name, bool exclusive);

// Creates an empty walk-layout table (dBASE IV) and leaves it closed.
void CreateWalkTable(const std::string& folder, const std::string& name);
// Puts record i's values into the fields of table, which must be in insert state.
void SetWalkRecord(dbf::TTable& table, int64_t i);
// Appends records first..first+count-1 of the walk layout to the open table.
void AppendWalkRecords(dbf::TTable& table, int64_t first, int64_t count);

// The question number of record i of a question table of that size.
std::string QuestionNumber(int64_t i, int64_t records);
void CreateQuestionTable(const std::string& folder, const std::string& name, int64_t records);

// Creates an empty memo table of the given level and leaves it closed.
void CreateMemoTable(const std::string& folder, const std::string& name, int level);
// The memo text of record i: memoBytes bytes of varying text.
std::string MemoText(int64_t i, int memoBytes);

// Creates the payment-layout table (dBASE IV) with records 0..records-1 and leaves it closed.
void CreatePaymentTable(const std::string& folder, const std::string& name, int64_t records);
// The values of payment record i, as the table holds them (DATUM as YYYY-MM-DD),
// for programs that load the same rows elsewhere.
struct TPaymentRow {
    std::string Name;
    std::string Ort;
    double Betrag = 0;
    std::string Datum;
};
TPaymentRow PaymentRow(int64_t i);

// The two filters of the filter work, and how many of the first records
// records each selects, counted from PaymentRow (the plain walk, an empty
// expression, selects them all).
inline constexpr const char* kPaymentFilterUpper = "UPPER(NAME) = 'MEIER' AND BETRAG > 100";
inline constexpr const char* kPaymentFilterDtos = "DTOS(DATUM) >= '20230101' AND SUBSTR(ORT, 1, 3) = 'Ber'";
int64_t ExpectedPaymentMatches(const std::string& expression, int64_t records);

// Folder and name of a table built once per process and size.
struct TBenchTable {
    std::string Folder;
    std::string Name;
};
const TBenchTable& CachedWalkTable(int64_t records);
const TBenchTable& CachedQuestionTable(int64_t records);
const TBenchTable& CachedPaymentTable(int64_t records);

}  // namespace bench
