// The walk: First, then Next until Eof, reading every field of every record as
// text through the field objects, as the trainer's chapter walk does. It runs
// shared (the trainer's mode) and exclusive; the peak resident size of the walk
// itself is reported as a counter.
#include "bench/BenchSuites.h"
#include "bench/BenchTables.h"
#include "bench/ProcessStats.h"

#include <benchmark/benchmark.h>

namespace bench {

namespace {

// Answers the number of records visited; every field's text is consumed.
int64_t WalkAllFields(dbf::TTable& table) {
    ds::TFields& fields = table.Fields();
    const int fieldCount = fields.Count();
    int64_t visited = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        for (int i = 0; i < fieldCount; ++i) {
            std::string text = fields[i].AsString();
            benchmark::DoNotOptimize(text.data());
        }
        ++visited;
    }
    return visited;
}

void BM_Walk(benchmark::State& state) {
    const int64_t records = state.range(0);
    const bool exclusive = state.range(1) != 0;
    const TBenchTable& file = CachedWalkTable(records);
    dbf::TTable table;
    UseTable(table, file.Folder, file.Name, exclusive);
    table.Open();
    ResetPeakResident();
    for (auto _ : state) {
        if (WalkAllFields(table) != records) state.SkipWithError("the walk missed records");
    }
    state.counters["peak_rss_kib"] = static_cast<double>(PeakResidentKiB());
    state.SetItemsProcessed(state.iterations() * records);
    table.Close();
}

}  // namespace

void RegisterWalkBenchmarks(const TBenchSizes& sizes) {
    auto* walk = benchmark::RegisterBenchmark("walk", BM_Walk);
    walk->ArgNames({"records", "exclusive"})->Unit(benchmark::kMillisecond);
    for (int64_t records : sizes.WalkRecords)
        for (int exclusive : {0, 1}) walk->Args({records, exclusive});
}

}  // namespace bench
