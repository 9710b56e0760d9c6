// Checks that a walk's memory does not grow with the table: walks a small and
// a large walk-layout table (record counts from the command line) and fails
// when the peak resident size the large walk adds is more than a fixed slack
// above what the small walk adds. Prints both so a run shows the numbers.
#include "bench/BenchTables.h"
#include "bench/ProcessStats.h"

#include <cstdlib>
#include <stdexcept>
#include <iostream>
#include <string>

namespace {

// A walk reads through a mapped window of up to 2 MiB of the file, whose
// pages count as resident once read; a small table fills less of it. So the
// large walk may add up to that window more than the small one, plus 1 MiB.
constexpr int64_t kSlackKiB = 2048 + 1024;

// KiB the walk of a table of that size adds to the resident size at its peak.
int64_t WalkGrowthKiB(int64_t records) {
    const bench::TBenchTable& file = bench::CachedWalkTable(records);
    dbf::TTable table;
    bench::UseTable(table, file.Folder, file.Name, false);
    table.Open();
    if (!bench::ResetPeakResident()) throw std::runtime_error("the kernel does not reset the peak resident size");
    const int64_t before = bench::ResidentKiB();
    int64_t visited = 0;
    ds::TFields& fields = table.Fields();
    for (table.First(); !table.Eof(); table.Next()) {
        for (int i = 0; i < fields.Count(); ++i) visited += static_cast<int64_t>(fields[i].AsString().size() > 0);
    }
    const int64_t growth = bench::PeakResidentKiB() - before;
    table.Close();
    if (visited == 0) throw std::runtime_error("the walk saw no values");
    return growth;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: quarzel_walk_memory_check SMALL_RECORDS LARGE_RECORDS\n";
        return 2;
    }
    try {
        const int64_t small = std::stoll(argv[1]);
        const int64_t large = std::stoll(argv[2]);
        // Build both first, so neither walk measures the other's construction.
        bench::CachedWalkTable(small);
        bench::CachedWalkTable(large);
        const int64_t smallGrowth = WalkGrowthKiB(small);
        const int64_t largeGrowth = WalkGrowthKiB(large);
        std::cout << "walk of " << small << " records: peak grows by " << smallGrowth << " KiB\n"
                  << "walk of " << large << " records: peak grows by " << largeGrowth << " KiB\n";
        if (largeGrowth > smallGrowth + kSlackKiB) {
            std::cerr << "the walk's memory grows with the number of records\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
