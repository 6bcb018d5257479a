#include "device/driver_protocol.h"
#include "driver/card_config.h"
#include "driver/driver_server.h"
#include "driver/in_process_transport.h"
#include "platform/socket_transport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace dp = driver_protocol;

constexpr const char* kDevices[dp::kCardSlots] = {"\\\\.\\madiOut0",     "\\\\.\\madiOut32",
                                                  "\\\\.\\madiOut64",    "\\\\.\\kestrelOut0",
                                                  "\\\\.\\kestrelOut13", "\\\\.\\kestrelOut26"};
constexpr const char* kMadi0 = kDevices[0];
const uint8_t kLevelRequest[dp::kLevelRequestSize] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

// The daemon's server loop on a thread of the benchmark, serving the demo cards.
class ServerThread {
public:
    ServerThread() : driver_(sim::EmbeddedConfig(), clock_) {
        char pattern[] = "/tmp/levora-bench-XXXXXX";
        parent_ = mkdtemp(pattern);
        directory_ = parent_ + "/driver";
        server_ = std::make_unique<DriverServer>(driver_, directory_, std::chrono::seconds(1));
        std::string error;
        if (pipe(stop_) != 0 || !server_->Start(error))
            std::abort();
        thread_ = std::thread([this] { server_->Run(stop_[0]); });
    }
    ~ServerThread() {
        (void)!write(stop_[1], "x", 1);
        thread_.join();
        server_.reset();
        std::filesystem::remove_all(parent_);
    }
    const std::string& Directory() const { return directory_; }

private:
    sim::SteadySimClock clock_;
    sim::SimDriver driver_;
    std::string parent_, directory_;
    std::unique_ptr<DriverServer> server_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
};

// One card-information request: connect, frame, reply, close.
void BM_SocketCardInfo(benchmark::State& state) {
    ServerThread server;
    SocketTransport transport(server.Directory(), std::chrono::seconds(1));
    uint8_t info[dp::kCardInfoSize];
    for (auto _ : state) {
        if (!transport.Request(kMadi0, dp::IOCTL_CARD_INFO, nullptr, 0, info, sizeof info, nullptr))
            state.SkipWithError("request failed");
    }
}
BENCHMARK(BM_SocketCardInfo);

// One level read of the MADI demo card through the socket, the samples of the elapsed time
// rendered by the driver included.
void BM_SocketLevelRead(benchmark::State& state) {
    ServerThread server;
    SocketTransport transport(server.Directory(), std::chrono::seconds(1));
    std::vector<uint8_t> block(dp::kMadiLayout.size);
    for (auto _ : state) {
        if (!transport.Request(kMadi0, dp::IOCTL_READ_LEVELS, kLevelRequest, sizeof kLevelRequest,
                               block.data(), dp::kMadiLayout.size, nullptr))
            state.SkipWithError("request failed");
    }
}
BENCHMARK(BM_SocketLevelRead)->UseRealTime();

// A level read of one card in process after 20 ms of demo signal on every channel: what
// the embedded cards cost the GUI thread per card and poll.
void BM_InProcessLevelRead(benchmark::State& state) {
    int slot = static_cast<int>(state.range(0));
    sim::ManualSimClock clock;
    InProcessTransport transport(sim::EmbeddedConfig(), clock);
    std::vector<uint8_t> block(dp::kMadiLayout.size);
    for (auto _ : state) {
        clock.AdvanceMs(20);
        transport.Request(kDevices[slot], dp::IOCTL_READ_LEVELS, kLevelRequest,
                          sizeof kLevelRequest, block.data(), static_cast<uint32_t>(block.size()),
                          nullptr);
    }
}
BENCHMARK(BM_InProcessLevelRead)->Arg(0)->Arg(3)->Arg(4)->Arg(5)->ArgName("slot");

// A whole 20 ms poll of the embedded cards: six probes and a read of every card.
void BM_InProcessPoll(benchmark::State& state) {
    sim::ManualSimClock clock;
    InProcessTransport transport(sim::EmbeddedConfig(), clock);
    std::vector<uint8_t> block(dp::kMadiLayout.size);
    uint8_t info[dp::kCardInfoSize];
    for (auto _ : state) {
        clock.AdvanceMs(20);
        for (int slot = 0; slot < dp::kCardSlots; ++slot) {
            if (transport.Request(kDevices[slot], dp::IOCTL_CARD_INFO, nullptr, 0, info,
                                  sizeof info, nullptr))
                transport.Request(kDevices[slot], dp::IOCTL_READ_LEVELS, kLevelRequest,
                                  sizeof kLevelRequest, block.data(), dp::LayoutForSlot(slot).size,
                                  nullptr);
        }
    }
}
BENCHMARK(BM_InProcessPoll);

} // namespace

BENCHMARK_MAIN();
