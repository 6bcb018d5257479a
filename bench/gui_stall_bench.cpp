// How long a slow card driver holds the GUI thread: six cards whose every request takes
// 3 ms, a stereo meter on each, polled for a few seconds with the driver's requests on the
// GUI thread and then on a worker. A 1 ms timer on the GUI thread measures the stalls: how
// late it fires beyond its period.

#include "device/level_engine.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "platform/qt_poll_driver.h"
#include "platform/tick_source.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr auto kDriverLatency = std::chrono::milliseconds(3);
constexpr int kRunMs = 3000;

sim::DriverConfig SixCards() {
    sim::DriverConfig config;
    std::string error;
    if (!sim::ParseDriverConfig("card 0 kind 7 speed single\ncard 1 kind 7 speed single\n"
                                "card 2 kind 7 speed single\ncard 3 kind 0 speed single\n"
                                "card 4 kind 1 speed single\ncard 5 kind 2 speed double\n",
                                config, error))
        std::fprintf(stderr, "gui_stall_bench: %s\n", error.c_str());
    return config;
}

// Six simulated cards, answering each request only after the driver's latency.
class SlowTransport final : public DriverTransport {
public:
    SlowTransport() : inner_(SixCards()) {}
    bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) override {
        std::this_thread::sleep_for(kDriverLatency);
        const std::lock_guard lock(mutex_);
        return inner_.Request(deviceName, code, in, inSize, out, outSize, bytesReturned);
    }

private:
    std::mutex mutex_;
    InProcessTransport inner_;
};

class CountingListener final : public LevelListener {
public:
    void OnLevelReport(const LevelReport&, int32_t) override { ++reports; }
    int reports = 0;
};

void Measure(const char* name, QtPollDriver::Requests requests) {
    SlowTransport transport;
    SteadyTickSource ticks;
    QtPollDriver driver(requests);
    LevelEngine engine(transport, ticks, &driver);
    std::vector<CountingListener> listeners(6);
    for (int card = 0; card < 6; ++card) {
        ChannelSelection selection;
        selection.CardNumber = card;
        engine.RegisterView(LevelEngine::kStereoMeter, selection, &listeners[card]);
    }
    std::vector<double> stalls;
    QElapsedTimer clock;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    qint64 last = -1;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            stalls.push_back(std::max(0.0, (now - last) / 1e6 - 1.0));
        last = now;
    });
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    clock.start();
    heartbeat.start(1);
    end.start(kRunMs);
    QCoreApplication::exec();
    std::sort(stalls.begin(), stalls.end());
    int reports = 0;
    for (const CountingListener& listener : listeners)
        reports += listener.reports;
    auto at = [&](double q) { return stalls[static_cast<size_t>(q * (stalls.size() - 1))]; };
    std::printf("%-16s stall p50 %6.2f ms  p99 %6.2f ms  worst %6.2f ms  (%zu beats, %d reports "
                "in %d ms)\n",
                name, at(0.5), at(0.99), stalls.back(), stalls.size(), reports, kRunMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Measure("on GUI thread", QtPollDriver::Requests::OnGuiThread);
    Measure("on worker", QtPollDriver::Requests::OnWorker);
    return 0;
}
