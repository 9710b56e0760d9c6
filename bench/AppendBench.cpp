// Appending: the walk layout's records through Append and Post into a new
// empty table, shared (the trainer's mode: record and header locks, header
// written at once) and exclusive.
#include "bench/BenchSuites.h"
#include "bench/BenchTables.h"
#include "bench/ScratchFolder.h"

#include <benchmark/benchmark.h>

namespace bench {

namespace {

void BM_Append(benchmark::State& state) {
    const int64_t records = state.range(0);
    const bool exclusive = state.range(1) != 0;
    TScratchFolder folder;
    for (auto _ : state) {
        state.PauseTiming();
        CreateWalkTable(folder.Path(), "append.dbf");
        dbf::TTable table;
        UseTable(table, folder.Path(), "append.dbf", exclusive);
        table.Open();
        state.ResumeTiming();
        AppendWalkRecords(table, 0, records);
        table.Close();
        if (table.Active()) state.SkipWithError("the table did not close");
    }
    state.SetItemsProcessed(state.iterations() * records);
}

}  // namespace

void RegisterAppendBenchmarks(const TBenchSizes& sizes) {
    auto* append = benchmark::RegisterBenchmark("append", BM_Append);
    append->ArgNames({"records", "exclusive"})->Unit(benchmark::kMillisecond);
    for (int64_t records : sizes.WalkRecords)
        for (int exclusive : {0, 1}) append->Args({records, exclusive});
}

}  // namespace bench
