#include "meters/ballistics.h"
#include "setup/param_templates.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

struct BenchColumn {
    int32_t enabled = 1;
    ChannelBallistics ballistics;
};

constexpr int32_t kPairCount = 32;

// One engine poll of a global meter of 64 channels: a report for each of its 32 pairs.
void BM_MultiChannelPollOf32Pairs(benchmark::State& state) {
    MultiChannelParamStore params;
    std::array<BenchColumn, 2 * kPairCount> columns{};
    LevelReport report{.fscCountA = 0,
                       .fscCountB = 1,
                       .peakA = 0.5,
                       .meanSquareA = 0.1,
                       .peakB = 0.25,
                       .meanSquareB = 0.02,
                       .elapsed = 0.02};
    int64_t reports = 0;
    for (auto _ : state) {
        // Alternate the peaks so holds re-arm, count down and fall as in a live signal.
        report.peakA = (reports & 64) ? 0.5 : 0.05;
        for (int32_t pair = 0; pair < kPairCount; ++pair)
            ProcessMultiChannelReport(std::span(columns), pair, report, 5, params.Table());
        benchmark::DoNotOptimize(columns.data());
        ++reports;
    }
    state.SetItemsProcessed(reports * kPairCount);
}
BENCHMARK(BM_MultiChannelPollOf32Pairs);

} // namespace

BENCHMARK_MAIN();
