#include "tests/counting_allocator.h"
#include "tests/graph/child_process.h"
#include "tests/graph/graph_card_reader.h"
#include "tests/graph/private_pipewire.h"

// The PipeWire card's process callback, run on the client's data thread with real buffers
// dequeued and queued, allocates nothing period after period.
namespace {

using namespace graphtest;

class PipeWireProcessPath : public GraphCardReader {
protected:
    pipewiretest::PrivatePipeWire pipewire_;
    std::optional<graphtest::Child> tone_;
};

// Fault guarded: an allocation in the audio thread's path (a growing container, a string).
TEST_F(PipeWireProcessPath, AllocatesNothingPerPeriod) {
    ASSERT_TRUE(pipewire_.Start(48000));
    tone_.emplace(std::vector<std::string>{LEVORA_PIPEWIRE_TONE_BIN, "3:sine:0.5"});
    GraphCardReader::MakeCard("graph 0 pipewire\n");
    auto sounds = [this] {
        auto block = Read();
        return block && Sounds(*block, kPlayback, 2);
    };
    // Connected, linked and past the first periods, which may set things up.
    ASSERT_TRUE(WaitUntil(sounds));
    // The card's threads: PipeWire's data thread running the callback, the client's loop
    // and the supervisor, idle while nothing changes. This thread reads and is not counted.
    uncountedThread = pthread_self();
    allocations = 0;
    counting = true;
    // Every read that hears the tone took at least one new period of it.
    int periods = 0;
    while (periods < 20 && WaitUntil(sounds))
        ++periods;
    counting = false;
    EXPECT_EQ(periods, 20);
    EXPECT_EQ(allocations, 0);
}

} // namespace
