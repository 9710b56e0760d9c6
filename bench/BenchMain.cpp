// The benchmark program: registers every suite at the sizes chosen by
// --quarzel_sizes=full (the default) or --quarzel_sizes=smoke, then hands the
// remaining arguments to Google Benchmark.
#include "bench/BenchSuites.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace bench {

TBenchSizes FullSizes() { return {{200000, 1000000}, {5000, 20000}, 700, {100, 1000}, {1000, 5000}}; }

TBenchSizes SmokeSizes() { return {{500, 2000}, {50, 200}, 700, {5, 10}, {50, 200}}; }

}  // namespace bench

namespace {

constexpr const char* kSizesFlag = "--quarzel_sizes=";

// Takes our own flag out of the arguments; answers false for an unknown value.
bool TakeSizes(std::vector<char*>& args, bench::TBenchSizes& sizes) {
    sizes = bench::FullSizes();
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (std::strncmp(*it, kSizesFlag, std::strlen(kSizesFlag)) != 0) continue;
        const std::string value = *it + std::strlen(kSizesFlag);
        args.erase(it);
        if (value == "smoke") sizes = bench::SmokeSizes();
        else if (value != "full") return false;
        return true;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    bench::TBenchSizes sizes;
    if (!TakeSizes(args, sizes)) {
        std::cerr << "--quarzel_sizes takes full or smoke\n";
        return 2;
    }
    bench::RegisterWalkBenchmarks(sizes);
    bench::RegisterAppendBenchmarks(sizes);
    bench::RegisterMemoBenchmarks(sizes);
    bench::RegisterQuizBenchmarks(sizes);
    bench::RegisterExpressionBenchmarks(sizes);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
