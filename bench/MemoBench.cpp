// Memos: writing memos of a fixed size, one per appended record, into a new
// table, and reading them all back in a walk; in dBASE IV (.dbt) and in
// FoxPro (.fpt).
#include "bench/BenchSuites.h"
#include "bench/BenchTables.h"
#include "bench/ScratchFolder.h"

#include <benchmark/benchmark.h>

namespace bench {

namespace {

constexpr const char* kMemoTable = "memo.dbf";

void WriteMemos(const std::string& folder, int64_t count, int memoBytes) {
    dbf::TTable table;
    UseTable(table, folder, kMemoTable, true);
    table.Open();
    for (int64_t i = 0; i < count; ++i) {
        table.Append();
        table.Fields()[0].SetAsInteger(static_cast<int32_t>(i));
        table.Fields()[1].SetAsString(MemoText(i, memoBytes));
        table.Post();
    }
    table.Close();
}

void BM_MemoWrite(benchmark::State& state) {
    const int64_t count = state.range(0);
    const int level = static_cast<int>(state.range(1));
    const int memoBytes = static_cast<int>(state.range(2));
    TScratchFolder folder;
    for (auto _ : state) {
        state.PauseTiming();
        CreateMemoTable(folder.Path(), kMemoTable, level);
        state.ResumeTiming();
        WriteMemos(folder.Path(), count, memoBytes);
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(state.iterations() * count * memoBytes);
}

void BM_MemoRead(benchmark::State& state) {
    const int64_t count = state.range(0);
    const int level = static_cast<int>(state.range(1));
    const int memoBytes = static_cast<int>(state.range(2));
    TScratchFolder folder;
    CreateMemoTable(folder.Path(), kMemoTable, level);
    WriteMemos(folder.Path(), count, memoBytes);
    dbf::TTable table;
    UseTable(table, folder.Path(), kMemoTable, false);
    table.Open();
    for (auto _ : state) {
        int64_t bytes = 0;
        for (table.First(); !table.Eof(); table.Next()) bytes += static_cast<int64_t>(table.Fields()[1].AsString().size());
        if (bytes != count * memoBytes) state.SkipWithError("memo texts came back with a wrong size");
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(state.iterations() * count * memoBytes);
}

void AddMemoArgs(benchmark::internal::Benchmark* bm, const TBenchSizes& sizes) {
    bm->ArgNames({"memos", "level", "bytes"})->Unit(benchmark::kMillisecond);
    for (int64_t count : sizes.MemoCounts)
        for (int level : {kLevelDbase4, kLevelFoxPro}) bm->Args({count, level, sizes.MemoBytes});
}

}  // namespace

void RegisterMemoBenchmarks(const TBenchSizes& sizes) {
    AddMemoArgs(benchmark::RegisterBenchmark("memo_write", BM_MemoWrite), sizes);
    AddMemoArgs(benchmark::RegisterBenchmark("memo_read", BM_MemoRead), sizes);
}

}  // namespace bench
