// One 20 ms poll of the level engine with many open meter windows on the embedded demo cards,
// the ballistics and the drawing into the windows' backing images included. Offscreen (the
// default) every window is drawn, seen or not, and Qt's copies into its offscreen backing
// stores are counted; with QT_QPA_PLATFORM=xcb on an
// X display the windows are shown and a poll includes sending the changes to the server (not
// the server's work).

#include "app/main_frame.h"
#include "app/vexa_app.h"
#include "device/control_device.h"
#include "device/level_engine.h"
#include "dialogs/function_select_dialog.h"
#include "dialogs/modal_run.h"
#include "doc/vexa_doc.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "platform/memory_profile.h"
#include "platform/pixel_memory.h"
#include "platform/tick_source.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kFunctionStereo = 0;
constexpr int kFunctionMulti = 1;
constexpr int kFunctionGlobal = 2;
constexpr int kMadiCard = 0;

double ThreadCpuMicroseconds();

// The program on the embedded cards with a hand-driven tick and card clock.
class MeterRig {
public:
    MeterRig() : transport_(sim::EmbeddedConfig(), clock_) {
        runner_ = std::make_unique<ScopedModalRunner>([this](QDialog& dialog) {
            if (auto* select = qobject_cast<FunctionSelectDialog*>(&dialog)) {
                select->SetSelection(function_);
                dialog.accept();
                return int(QDialog::Accepted);
            }
            dialog.reject();
            return int(QDialog::Rejected);
        });
        app_ = std::make_unique<CVexaApp>(profile_, engine_, device_);
        app_->InitInstance("");
    }
    ~MeterRig() {
        app_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Makes window `slot` (opening it when needed) show the function on the card and bus.
    void Show(int slot, int function, int card, int bus) {
        if (!app_->Slots()[slot].document) {
            function_ = function;
            app_->OpenWindow(nullptr, nullptr);
        }
        CVexaDoc* doc = app_->Slots()[slot].document;
        doc->SetFunction(function, nullptr);
        doc->SetLevelProcessing(false);
        doc->selection.CardNumber = card;
        doc->selection.BusType = bus;
        doc->selection.GroupNumber = slot % 4;
        doc->selection.ChanNumber = slot % 32;
        doc->SetLevelProcessing(true);
    }

    // One tick: 20 ms of card signal, one poll and the event handling it causes (on X11 the
    // copies to the screen go out there). Its wall and thread CPU time in microseconds: on a
    // busy machine the wall time includes other programs' turns.
    std::pair<double, double> Poll() {
        ticks_.Advance(20);
        clock_.AdvanceMs(20);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMicroseconds();
        engine_.Poll();
        QCoreApplication::processEvents();
        const double cpu = ThreadCpuMicroseconds() - cpuStart;
        const auto end = std::chrono::steady_clock::now();
        return {std::chrono::duration<double, std::micro>(end - start).count(), cpu};
    }

private:
    MemoryProfile profile_;
    sim::ManualSimClock clock_;
    InProcessTransport transport_;
    ManualTickSource ticks_;
    ControlDevice device_{transport_};
    LevelEngine engine_{transport_, ticks_, nullptr};
    std::unique_ptr<CVexaApp> app_;
    std::unique_ptr<ScopedModalRunner> runner_;
    int function_ = kFunctionGlobal;
};

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

double Median(std::vector<double>& values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void RunPolls(benchmark::State& state, MeterRig& rig) {
    // Past the first readouts, so that every glyph and every lazy set-up is behind us.
    for (int i = 0; i < 20; ++i)
        rig.Poll();
    std::vector<double> wall, cpu;
    wall.reserve(100000);
    cpu.reserve(100000);
    for (auto _ : state) {
        const auto [wallUs, cpuUs] = rig.Poll();
        state.SetIterationTime(wallUs / 1e6);
        wall.push_back(wallUs);
        cpu.push_back(cpuUs);
    }
    state.counters["median_us"] = Median(wall);
    state.counters["median_cpu_us"] = Median(cpu);
}

// 40 global meters of the 64-channel MADI card, spread over its three buses (a pair takes at
// most 20 listeners): 1280 reports and 2560 bars per poll.
void BM_PollFortyGlobalMadiWindows(benchmark::State& state) {
    MeterRig rig;
    for (int slot = 0; slot < 40; ++slot)
        rig.Show(slot, kFunctionGlobal, kMadiCard, slot % 3);
    RunPolls(state, rig);
}
BENCHMARK(BM_PollFortyGlobalMadiWindows)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Eight multi-channel windows, the load of the screen measurement.
void BM_PollEightMultiChannelWindows(benchmark::State& state) {
    MeterRig rig;
    for (int slot = 0; slot < 8; ++slot)
        rig.Show(slot, kFunctionMulti, slot % 2 == 0 ? kMadiCard : 3, 0);
    RunPolls(state, rig);
}
BENCHMARK(BM_PollEightMultiChannelWindows)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Forty stereo windows.
void BM_PollFortyStereoWindows(benchmark::State& state) {
    MeterRig rig;
    for (int slot = 0; slot < 40; ++slot)
        rig.Show(slot, kFunctionStereo, slot % 2 == 0 ? kMadiCard : 3, slot % 3);
    RunPolls(state, rig);
}
BENCHMARK(BM_PollFortyStereoWindows)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
