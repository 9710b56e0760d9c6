// The benchmark suites of the engine and the sizes they run at. Each suite
// registers its benchmarks with Google Benchmark for every size it is given,
// so one binary runs at full size for measurements and at tiny sizes in CI.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

struct TBenchSizes {
    std::vector<int64_t> WalkRecords;       // walk and append
    std::vector<int64_t> MemoCounts;        // memos written and read
    int64_t MemoBytes = 700;
    std::vector<int64_t> QuizEntries;       // look-ups per quiz
    std::vector<int64_t> QuestionRecords;   // question table sizes (look-up and start-up)
};

TBenchSizes FullSizes();
TBenchSizes SmokeSizes();

void RegisterWalkBenchmarks(const TBenchSizes& sizes);
void RegisterAppendBenchmarks(const TBenchSizes& sizes);
void RegisterMemoBenchmarks(const TBenchSizes& sizes);
void RegisterQuizBenchmarks(const TBenchSizes& sizes);
void RegisterExpressionBenchmarks(const TBenchSizes& sizes);

}  // namespace bench
