// The audio side of a graph card in a live graph: the card on the server a configuration
// statement names (for example "graph 0 pipewire" or "graph 0 jack levora-test"), read every
// 20 ms as the program reads it. Once the card answers and its threads have run for a
// second, it measures for SECONDS how much CPU time each of its threads takes and prints
// per thread its name and share of one core; the audio thread is PipeWire's data-loop (JACK:
// the thread with the most time besides the reading one, which is main).
//   graph_client_cpu SECONDS STATEMENT
#include "device/driver_protocol.h"
#include "driver/card_config.h"
#include "driver/graph_card.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct ThreadTime {
    std::string name;
    double seconds = 0;
};

// CPU time per thread of this process, from each thread's CPU clock (the kernel's clock id
// for thread `tid` of the calling process).
std::map<int, ThreadTime> ThreadTimes() {
    std::map<int, ThreadTime> times;
    DIR* tasks = opendir("/proc/self/task");
    while (dirent* entry = tasks != nullptr ? readdir(tasks) : nullptr) {
        int tid = std::atoi(entry->d_name);
        if (tid <= 0)
            continue;
        ThreadTime& time = times[tid];
        std::ifstream(std::string("/proc/self/task/") + entry->d_name + "/comm") >> time.name;
        timespec cpu{};
        clockid_t clock = clockid_t((~unsigned(tid) << 3) | 6);
        if (clock_gettime(clock, &cpu) == 0)
            time.seconds = double(cpu.tv_sec) + double(cpu.tv_nsec) * 1e-9;
    }
    if (tasks != nullptr)
        closedir(tasks);
    return times;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: graph_client_cpu SECONDS 'graph 0 pipewire|jack [SERVER]'\n");
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    sim::DriverConfig config;
    std::string error;
    if (!sim::ParseDriverConfig(std::string(argv[2]) + "\n", config, error) || !config.cards[0] ||
        !config.cards[0]->graph) {
        std::fprintf(stderr, "graph_client_cpu: not a graph card: %s\n", error.c_str());
        return 2;
    }
    sim::GraphCard card(*config.cards[0]->graph);
    std::vector<uint8_t> block(driver_protocol::LayoutForSlot(0).size);
    auto read = [&] { return card.ReadLevels(0, block.data()); };
    auto waitUntil = std::chrono::steady_clock::now() + 10s;
    while (!read() && std::chrono::steady_clock::now() < waitUntil)
        std::this_thread::sleep_for(20ms);
    if (!read()) {
        std::fprintf(stderr, "graph_client_cpu: the card does not answer\n");
        return 1;
    }
    for (int i = 0; i < 50; ++i) { // a second to settle: links, first periods
        std::this_thread::sleep_for(20ms);
        read();
    }
    std::map<int, ThreadTime> before = ThreadTimes();
    auto start = std::chrono::steady_clock::now();
    auto end = start + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(20ms);
        read();
    }
    std::map<int, ThreadTime> after = ThreadTimes();
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s\n", card.Describe().c_str());
    for (const auto& [tid, time] : after) {
        auto was = before.find(tid);
        double used = time.seconds - (was != before.end() ? was->second.seconds : 0);
        std::printf("thread %d %-16s %6.3f %% of a core%s\n", tid, time.name.c_str(),
                    100 * used / wall, tid == getpid() ? " (main: the reads)" : "");
    }
    return 0;
}
