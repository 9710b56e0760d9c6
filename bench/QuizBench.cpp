// The trainer's own paths over the question table: the quiz look-up (for each
// entry of a quiz, First and a walk to the record whose FRAGENR equals the
// entry, as the quiz run does) and start-up (opening the table shared and the
// first chapter walk, which converts every record's KAPITEL to an integer and
// collects the FRAGENR texts of chapter 1).
#include "bench/BenchSuites.h"
#include "bench/BenchTables.h"
#include "bench/ProcessStats.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kKapitel = 0;
constexpr int kFrageNr = 1;

// Quiz entries spread over the whole table, the same for every run.
std::vector<std::string> QuizEntries(int64_t entries, int64_t records) {
    std::mt19937 generator(20240101u);
    std::uniform_int_distribution<int64_t> pick(0, records - 1);
    std::vector<std::string> numbers;
    for (int64_t k = 0; k < entries; ++k) numbers.push_back(QuestionNumber(pick(generator), records));
    return numbers;
}

// The look-up of the quiz run; answers the records visited, or -1 when the
// entry was not found.
int64_t LookUp(dbf::TTable& table, const std::string& number) {
    ds::TField& frageNr = table.Fields()[kFrageNr];
    int64_t visited = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        ++visited;
        if (frageNr.AsString() == number) return visited;
    }
    return -1;
}

void BM_QuizLookUp(benchmark::State& state) {
    const int64_t entries = state.range(0);
    const int64_t records = state.range(1);
    const TBenchTable& file = CachedQuestionTable(records);
    const std::vector<std::string> numbers = QuizEntries(entries, records);
    dbf::TTable table;
    UseTable(table, file.Folder, file.Name, false);
    table.Open();
    int64_t visited = 0;
    const int64_t readCallsBefore = ReadCalls();
    for (auto _ : state) {
        for (const std::string& number : numbers) {
            const int64_t steps = LookUp(table, number);
            if (steps < 0) state.SkipWithError("a quiz entry was not found");
            visited += steps;
        }
    }
    const double lookUps = static_cast<double>(state.iterations() * entries);
    state.counters["records_per_lookup"] = static_cast<double>(visited) / lookUps;
    state.counters["read_calls_per_lookup"] = static_cast<double>(ReadCalls() - readCallsBefore) / lookUps;
    state.counters["time_per_lookup"] =
        benchmark::Counter(lookUps, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    table.Close();
}

std::vector<std::string> ChapterWalk(dbf::TTable& table, int chapter) {
    std::vector<std::string> numbers;
    ds::TFields& fields = table.Fields();
    for (table.First(); !table.Eof(); table.Next()) {
        if (fields[kKapitel].AsInteger() == chapter) numbers.push_back(fields[kFrageNr].AsString());
    }
    return numbers;
}

void BM_StartUp(benchmark::State& state) {
    const int64_t records = state.range(0);
    const TBenchTable& file = CachedQuestionTable(records);
    const size_t expected = static_cast<size_t>((records + kQuestionChapters - 1) / kQuestionChapters);
    for (auto _ : state) {
        dbf::TTable table;
        UseTable(table, file.Folder, file.Name, false);
        table.Open();
        if (ChapterWalk(table, 1).size() != expected) state.SkipWithError("chapter 1 came out wrong");
        table.Close();
    }
}

}  // namespace

void RegisterQuizBenchmarks(const TBenchSizes& sizes) {
    auto* lookUp = benchmark::RegisterBenchmark("quiz_lookup", BM_QuizLookUp);
    lookUp->ArgNames({"entries", "records"})->Unit(benchmark::kMillisecond);
    for (int64_t entries : sizes.QuizEntries)
        for (int64_t records : sizes.QuestionRecords) lookUp->Args({entries, records});
    auto* startUp = benchmark::RegisterBenchmark("startup", BM_StartUp);
    startUp->ArgNames({"records"})->Unit(benchmark::kMillisecond);
    for (int64_t records : sizes.QuestionRecords) startUp->Args({records});
}

}  // namespace bench
