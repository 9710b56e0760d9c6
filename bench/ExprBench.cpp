// Expression evaluation, the hot path of filters and index keys: one
// compiled expression evaluated on every record image of a table held in
// memory, for a filter (non-raw text, partial match, logic and string
// comparison) and for an index key (raw text, UPPER, STR, DTOS). Compiling is
// outside the timed loop, as in the engine.
#include "bench/BenchSuites.h"
#include "bench/ScratchFolder.h"

#include "dbf/table_file.h"
#include "dbf/table_parser.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace bench {

namespace {

struct TExprBenchTable {
    TScratchFolder Folder;
    dbf::TTableFile File;
    std::vector<std::vector<uint8_t>> Records;
};

void AddField(dbf::TFieldDescriptors& defs, const char* name, char letter, int size, int decimals) {
    dbf::TFieldDescriptor& def = defs.AddFieldDef();
    def.SetFieldName(name);
    def.SetSize(size);
    def.SetPrecision(decimals);
    def.SetNativeFieldType(letter);
    def.SetSize(size);
    def.SetPrecision(decimals);
}

// A dBASE IV table (NAME C30, ZAHL N9, BETRAG N12.2, DATUM D, AKTIV L) and
// the images of its records, made once per size.
TExprBenchTable& CachedExprTable(int64_t records) {
    static std::vector<std::pair<int64_t, std::unique_ptr<TExprBenchTable>>> made;
    for (auto& [size, table] : made)
        if (size == records) return *table;
    auto table = std::make_unique<TExprBenchTable>();
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    AddField(defs, "NAME", 'C', 30, 0);
    AddField(defs, "ZAHL", 'N', 9, 0);
    AddField(defs, "BETRAG", 'N', 12, 2);
    AddField(defs, "DATUM", 'D', 8, 0);
    AddField(defs, "AKTIV", 'L', 1, 0);
    table->File.SetFileName(table->Folder.File("expr.dbf"));
    table->File.SetMode(dbf::pfExclusiveCreate);
    table->File.SetTableVersion(dbf::xBaseIV);
    table->File.Open();
    table->File.FinishCreate(defs, 512);
    const char* names[] = {"Meier", "Mueller", "Schulze", "Zoller", "Krause"};
    for (int64_t i = 0; i < records; ++i) {
        std::vector<uint8_t> record(static_cast<size_t>(table->File.RecordSize()));
        table->File.InitRecord(record.data());
        const std::string name = std::string(names[i % 5]) + " " + std::to_string(i);
        const int32_t zahl = static_cast<int32_t>(i % 1000);
        const double betrag = static_cast<double>(i) * 1.25, datum = 45000.0 + static_cast<double>(i % 700);
        const uint16_t aktiv = i % 3 != 0;
        table->File.SetFieldData(0, dbf::TFieldType::ftString, name.c_str(), record.data(), false);
        table->File.SetFieldData(1, dbf::TFieldType::ftInteger, &zahl, record.data(), false);
        table->File.SetFieldData(2, dbf::TFieldType::ftFloat, &betrag, record.data(), false);
        table->File.SetFieldData(3, dbf::TFieldType::ftDate, &datum, record.data(), false);
        table->File.SetFieldData(4, dbf::TFieldType::ftBoolean, &aktiv, record.data(), false);
        table->Records.push_back(std::move(record));
    }
    made.emplace_back(records, std::move(table));
    return *made.back().second;
}

void BM_ExpressionFilter(benchmark::State& state) {
    TExprBenchTable& table = CachedExprTable(state.range(0));
    dbf::TTableParser parser(&table.File);
    parser.SetRawStringFields(false);
    parser.SetPartialMatch(true);
    parser.ParseExpression("AKTIV .AND. NAME = 'M*' .AND. ZAHL * 2 + 1 > 500 .OR. BETRAG < 100.0");
    int64_t passed = 0;
    for (auto _ : state) {
        for (const auto& record : table.Records) passed += parser.ExtractFromBuffer(record.data())[0];
    }
    benchmark::DoNotOptimize(passed);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ExpressionIndexKey(benchmark::State& state) {
    TExprBenchTable& table = CachedExprTable(state.range(0));
    dbf::TIndexKeyParser parser(&table.File);
    parser.ParseExpression("UPPER(SUBSTR(NAME, 1, 10)) + STR(ZAHL, 9) + DTOS(DATUM)");
    for (auto _ : state) {
        for (const auto& record : table.Records) benchmark::DoNotOptimize(parser.ExtractFromBuffer(record.data()));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

void RegisterExpressionBenchmarks(const TBenchSizes& sizes) {
    using TBenchFunction = void (*)(benchmark::State&);
    const std::pair<const char*, TBenchFunction> suites[] = {{"expression_filter", BM_ExpressionFilter},
                                                             {"expression_index_key", BM_ExpressionIndexKey}};
    for (const auto& [name, function] : suites) {
        auto* bench = benchmark::RegisterBenchmark(name, function);
        bench->ArgNames({"records"})->Unit(benchmark::kMillisecond);
        for (int64_t records : sizes.WalkRecords) bench->Args({records});
    }
}

}  // namespace bench
