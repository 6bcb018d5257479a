#include "device/driver_protocol.h"
#include "driver/level_tap.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <deque>
#include <vector>

// The audio side of a graph card: one period of 64 channels on each tapped bus, as the
// process callback hands them to the taps, with a reader taking them every 20 ms: two buses
// when output shows playback (the default), three when output taps a device of its own. The
// counter "core_fraction" is the share of one core at 48 kHz, time per period / period
// length (Google Benchmark prints it with a time unit: "7.1m" is 0.0071, 0.71 %).
namespace {

constexpr int kChannels = sim::LevelTap::kMaxChannels;
constexpr double kRate = 48000;

void BM_ProcessPeriodOf64ChannelsPerBus(benchmark::State& state) {
    const auto frames = static_cast<uint32_t>(state.range(0));
    const auto buses = static_cast<size_t>(state.range(1));
    std::vector<float> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = float(0.5 * std::sin(0.13 * i));
    std::vector<const float*> channels(kChannels, samples.data());
    std::deque<sim::LevelTap> taps; // a tap does not move
    for (size_t bus = 0; bus < buses; ++bus)
        taps.emplace_back(kChannels);
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
BENCHMARK(BM_ProcessPeriodOf64ChannelsPerBus)
    ->ArgsProduct({{64, 256, 1024}, {2, driver_protocol::kBuses}});

} // namespace

BENCHMARK_MAIN();
