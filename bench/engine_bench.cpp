#include "device/level_engine.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "tests/unit/device/six_card_rig.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// The cards the engine polls. An in-memory fake, so the figure is the engine's own cost; the
// simulated cards of the in-process transport can take its place here to include the
// driver's side.
std::unique_ptr<DriverTransport> MakeSixCardTransport() {
    auto transport = std::make_unique<fake::FakeTransport>();
    six_card_rig::PlugSixCards(*transport);
    return transport;
}

// One 20 ms tick of a full program: six probes, six level reads, a report per subscribed pair.
void BM_PollFortyViewsOnSixCards(benchmark::State& state) {
    const std::unique_ptr<DriverTransport> transport = MakeSixCardTransport();
    ManualTickSource ticks;
    auto engine = std::make_unique<LevelEngine>(*transport, ticks, nullptr);
    std::array<six_card_rig::SummingListener, six_card_rig::kViews> views;
    six_card_rig::RegisterWindows(*engine, views);
    for (auto _ : state) {
        ticks.Advance(20);
        engine->Poll();
    }
    long reports = 0;
    for (const six_card_rig::SummingListener& view : views) {
        reports += view.calls;
        benchmark::DoNotOptimize(view.sum);
    }
    state.counters["reports/poll"] = static_cast<double>(reports) / state.iterations();
}
BENCHMARK(BM_PollFortyViewsOnSixCards);

// The fixed cost of every tick: six probes and no level read.
void BM_PollWithoutViews(benchmark::State& state) {
    const std::unique_ptr<DriverTransport> transport = MakeSixCardTransport();
    ManualTickSource ticks;
    auto engine = std::make_unique<LevelEngine>(*transport, ticks, nullptr);
    for (auto _ : state) {
        ticks.Advance(20);
        engine->Poll();
    }
}
BENCHMARK(BM_PollWithoutViews);

// The same windows on six simulated cards of the in-process transport, as the program runs on
// its embedded cards: every read renders the 20 ms of demo signal since the last one.
void BM_PollFortyViewsOnSixSimulatedCards(benchmark::State& state) {
    constexpr const char* kCards = "card 0 kind 7 speed single\n"
                                   "card 1 kind 7 speed double\n"
                                   "card 2 kind 7 speed single\n"
                                   "card 3 kind 0 speed single\n"
                                   "card 4 kind 1 speed single\n"
                                   "card 5 kind 3 speed single\n";
    sim::DriverConfig config;
    std::string error;
    if (!sim::ParseDriverConfig(kCards, config, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    sim::ManualSimClock clock;
    InProcessTransport transport(config, clock);
    ManualTickSource ticks;
    auto engine = std::make_unique<LevelEngine>(transport, ticks, nullptr);
    std::array<six_card_rig::SummingListener, six_card_rig::kViews> views;
    six_card_rig::RegisterWindows(*engine, views);
    for (auto _ : state) {
        ticks.Advance(20);
        clock.AdvanceMs(20);
        engine->Poll();
    }
    long reports = 0;
    for (const six_card_rig::SummingListener& view : views)
        reports += view.calls;
    state.counters["reports/poll"] = static_cast<double>(reports) / state.iterations();
}
BENCHMARK(BM_PollFortyViewsOnSixSimulatedCards);

} // namespace

BENCHMARK_MAIN();
