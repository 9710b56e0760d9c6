// The filtered walk: First, then Next until Eof over a table with a filter
// expression set, beside the plain walk of the same table. Both walks only
// count the records they visit, so the difference between them is what the
// filter costs: reading every record, evaluating the expression on it, and
// skipping the records it rejects.
#include "bench/BenchSuites.h"
#include "bench/BenchTables.h"

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

namespace {

struct TFilterCase {
    const char* Name;
    const char* Expression;  // empty: the plain walk
};

const TFilterCase kFilterCases[] = {
    {"filter_walk_plain", ""},
    {"filter_walk_upper_betrag", kPaymentFilterUpper},
    {"filter_walk_dtos_substr", kPaymentFilterDtos},
};

int64_t CountVisited(dbf::TTable& table) {
    int64_t visited = 0;
    for (table.First(); !table.Eof(); table.Next()) ++visited;
    return visited;
}

void BM_FilterWalk(benchmark::State& state, const char* expression) {
    const int64_t records = state.range(0);
    const TBenchTable& file = CachedPaymentTable(records);
    dbf::TTable table;
    UseTable(table, file.Folder, file.Name, false);
    table.Open();
    if (*expression) {
        table.SetFilter(expression);
        table.SetFiltered(true);
    }
    const int64_t expected = ExpectedPaymentMatches(expression, records);
    for (auto _ : state) {
        if (CountVisited(table) != expected) state.SkipWithError("the walk visited other records than expected");
    }
    state.counters["visited"] = static_cast<double>(expected);
    state.SetItemsProcessed(state.iterations() * records);
    table.Close();
}

}  // namespace

void RegisterFilterBenchmarks(const TBenchSizes& sizes) {
    for (const TFilterCase& filterCase : kFilterCases) {
        auto* walk = benchmark::RegisterBenchmark(filterCase.Name, BM_FilterWalk, filterCase.Expression);
        walk->ArgNames({"records"})->Unit(benchmark::kMillisecond);
        for (int64_t records : sizes.WalkRecords) walk->Args({records});
    }
}

}  // namespace bench
