#include "device/driver_protocol.h"
#include "driver/level_tap.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

// The audio side of a graph card: one period of 64 channels on each of the three buses, as
// the process callback hands them to the taps, with a reader taking them every 20 ms. The
// counter "core_fraction" is the share of one core at 48 kHz, time per period / period
// length (Google Benchmark prints it with a time unit: "7.1m" is 0.0071, 0.71 %).
namespace {

constexpr int kChannels = sim::LevelTap::kMaxChannels;
constexpr int kBuses = driver_protocol::kBuses;
constexpr double kRate = 48000;

void BM_ProcessPeriodOf64ChannelsOnThreeBuses(benchmark::State& state) {
    const auto frames = static_cast<uint32_t>(state.range(0));
    std::vector<float> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = float(0.5 * std::sin(0.13 * i));
    std::vector<const float*> channels(kChannels, samples.data());
    std::array<sim::LevelTap, kBuses> taps{sim::LevelTap(kChannels), sim::LevelTap(kChannels),
                                           sim::LevelTap(kChannels)};
    std::vector<sim::ChannelLevel> levels(kChannels);
    const int periodsPerRead = std::max(1, int(0.02 * kRate / frames));
    int periods = 0;
    for (auto _ : state) {
        for (sim::LevelTap& tap : taps)
            tap.AddPeriod(channels, frames);
        if (++periods % periodsPerRead == 0) {
            state.PauseTiming();
            for (sim::LevelTap& tap : taps)
                tap.Take(levels);
            state.ResumeTiming();
        }
    }
    state.counters["core_fraction"] =
        benchmark::Counter(double(state.iterations()) * frames / kRate,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ProcessPeriodOf64ChannelsOnThreeBuses)->Arg(64)->Arg(256)->Arg(1024);

} // namespace

BENCHMARK_MAIN();
