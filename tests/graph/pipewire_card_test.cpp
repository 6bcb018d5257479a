#include "driver/pipewire_graph.h"
#include "tests/graph/child_process.h"
#include "tests/graph/graph_card_reader.h"
#include "tests/graph/private_pipewire.h"

#include <sys/socket.h>
#include <sys/un.h>

// A graph card on the tests' private PipeWire server, read as the program reads it.
namespace {

using namespace graphtest;

class PipeWireCard : public GraphCardReader {
protected:
    void StartServer(int rate = 48000) { ASSERT_TRUE(pipewire_.Start(rate)); }

    void Play(std::vector<std::string> signals) {
        signals.insert(signals.begin(), LEVORA_PIPEWIRE_TONE_BIN);
        tone_.emplace(signals);
    }

    void MakeCard() { GraphCardReader::MakeCard("graph 0 pipewire\n"); }

    pipewiretest::PrivatePipeWire pipewire_;
    std::optional<graphtest::Child> tone_;
};

TEST_F(PipeWireCard, MetersKnownSignalsOnTheirChannelsAndNothingElse) {
    StartServer();
    Play({"3:sine:0.5", "64:sine:0.1", "5:burst"});
    MakeCard();
    simtest::Block block = Measure([](const simtest::Block& b) {
        // The session manager links channel by channel: wait for the last on every stream.
        return Sounds(b, kPlayback, 2) && Sounds(b, kPlayback, 63) && Sounds(b, kInput, 2) &&
               Sounds(b, kInput, 63);
    });
    // The private server's default source is the sink's monitor: every bus hears the tone.
    for (int bus : {kInput, kPlayback, kOutput}) {
        ExpectKnownSignals(block, bus);
    }
    EXPECT_EQ(Status(), 0u); // single speed at 48 kHz
    EXPECT_NE(driver_->Describe().find("rate 48000"), std::string::npos) << driver_->Describe();
}

// Fault guarded: the meter's streams keep an otherwise idle sink running (an active link).
TEST_F(PipeWireCard, KeepsNoIdleDeviceRunning) {
    StartServer();
    MakeCard();
    const std::string linked =
        "pw-link -l | grep -A1 levora.playback:input_AUX0 | grep -q levora-test-sink:monitor_AUX0";
    ASSERT_TRUE(WaitUntil([&] { return std::system(linked.c_str()) == 0; }));
    const std::string sinkRuns = "pw-dump levora-test-sink | grep -q '\"state\": \"running\"'";
    EXPECT_TRUE(WaitUntil([&] { return std::system(sinkRuns.c_str()) != 0; }));
    Play({"3:sine:0.5"});
    EXPECT_TRUE(WaitUntil([&] { return std::system(sinkRuns.c_str()) == 0; }))
        << "the tone runs the sink";
    Measure([](const simtest::Block& b) { return Sounds(b, kPlayback, 2); });
    tone_.reset();
    EXPECT_TRUE(WaitUntil([&] { return std::system(sinkRuns.c_str()) != 0; }))
        << "the sink stops with the tone, though the meter still listens";
}

TEST_F(PipeWireCard, LeavesItsSlotWithTheServerAndReturnsAtTheNewRate) {
    MakeCard();
    EXPECT_FALSE(Status()) << "no server yet";
    StartServer();
    ASSERT_TRUE(WaitUntil([&] { return Status() == 0u; }));
    ASSERT_TRUE(pipewire_.Stop());
    EXPECT_TRUE(WaitUntil([&] { return !Status() && !Read(); }));
    StartServer(96000);
    Play({"3:sine:0.5"});
    EXPECT_TRUE(WaitUntil([&] { return Status() == dp::kStatusDoubleSpeed; }));
    simtest::Block block = Measure([](const simtest::Block& b) { return Sounds(b, kPlayback, 2); });
    // The peak: a period the tone client misses on a loaded machine lowers the mean square.
    EXPECT_NEAR(Db(block.At(kPlayback, 2).peak * block.At(kPlayback, 2).peak), -6.02, 0.05);
}

// Fault guarded: the card keeps the speed of the rate it connected at when the running graph
// is switched to another rate.
TEST_F(PipeWireCard, FollowsTheGraphRateWhileTheServerRuns) {
    StartServer();
    Play({"3:sine:0.5"});
    MakeCard();
    Measure([](const simtest::Block& b) { return Sounds(b, kPlayback, 2); });
    ASSERT_EQ(Status(), 0u);
    ASSERT_EQ(std::system("pw-metadata -n settings 0 clock.force-rate 96000 >/dev/null"), 0);
    EXPECT_TRUE(WaitUntil([&] { return Status() == dp::kStatusDoubleSpeed; }));
    // The tone plays on at 48 kHz, resampled: heard on its channel, not on the next.
    simtest::Block fast = Measure([](const simtest::Block& b) { return Sounds(b, kPlayback, 2); });
    EXPECT_TRUE(fast.Silent(kPlayback, 3));
    // A running graph keeps its rate when the forced one is merely cleared.
    ASSERT_EQ(std::system("pw-metadata -n settings 0 clock.force-rate 48000 >/dev/null"), 0);
    EXPECT_TRUE(WaitUntil([&] { return Status() == 0u; })) << "back to single speed";
}

// Fault guarded: a server that accepts the connection but never answers stalls start-up.
TEST(PipeWireProbe, GivesUpOnAServerThatDoesNotAnswer) {
    pipewiretest::PrivatePipeWire dir;
    sim::GraphSetup setup;
    setup.backend = sim::GraphBackend::PipeWire;
    EXPECT_FALSE(sim::PipeWireServerAnswers(setup, 100ms)) << "no server at all";
    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = dir.Dir() + "/pipewire-0";
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    EXPECT_FALSE(sim::PipeWireServerAnswers(setup, 100ms)) << "a silent server";
    close(listener);
}

} // namespace
