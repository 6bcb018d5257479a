#include "tests/graph/graph_card_reader.h"
#include "tests/graph/private_jack.h"

// A graph card on the tests' private JACK server, read as the program reads it.
namespace {

using namespace graphtest;

class JackCard : public GraphCardReader {
protected:
    void StartServer(int rate) { ASSERT_TRUE(jack_.Start(rate)); }

    void Play(std::vector<std::string> signals) {
        signals.insert(signals.begin(), {LEVORA_JACK_TONE_BIN, jacktest::kServer});
        tone_.emplace(signals);
    }

    void MakeCard(const std::string& taps = "") {
        GraphCardReader::MakeCard(std::string("graph 0 jack ") + jacktest::kServer + "\n" + taps);
    }

    jacktest::PrivateJack jack_;
    std::optional<graphtest::Child> tone_;
};

TEST_F(JackCard, MetersKnownSignalsOnTheirChannelsAndNothingElse) {
    StartServer(48000);
    Play({"3:sine:0.5", "64:sine:0.1", "5:burst"});
    MakeCard("tap 0 input levora-tone:out_64 levora-tone:out_3\n");
    simtest::Block block = Measure([](const simtest::Block& b) {
        return Sounds(b, kPlayback, 2) && Sounds(b, kPlayback, 63) && Sounds(b, kOutput, 2) &&
               Sounds(b, kOutput, 63) && Sounds(b, kInput, 0) && Sounds(b, kInput, 1);
    });
    for (int bus : {kPlayback, kOutput}) {
        ExpectKnownSignals(block, bus);
    }
    // The input bus taps the ports the configuration names, in their order.
    EXPECT_NEAR(Db(block.At(kInput, 0).meanSquare), -23.01, 0.05);
    EXPECT_NEAR(Db(block.At(kInput, 1).meanSquare), -9.03, 0.05);
    for (int ch = 2; ch < 64; ++ch)
        EXPECT_TRUE(block.Silent(kInput, ch)) << ch;
    EXPECT_EQ(Status(), 0u); // single speed at 48 kHz
}

TEST_F(JackCard, FollowsConnectionsMadeWhileItRuns) {
    StartServer(48000);
    Play({"3:sine:0.5"});
    MakeCard();
    Measure([](const simtest::Block& b) { return Sounds(b, kPlayback, 2); });
    std::string connect = std::string("jack_connect -s ") + jacktest::kServer +
                          " levora-tone:out_3 system:playback_7";
    ASSERT_EQ(std::system(connect.c_str()), 0);
    simtest::Block both = Measure([](const simtest::Block& b) { return Sounds(b, kPlayback, 6); });
    EXPECT_NEAR(Db(both.At(kPlayback, 6).meanSquare), -9.03, 0.05);
    std::string disconnect = std::string("jack_disconnect -s ") + jacktest::kServer +
                             " levora-tone:out_3 system:playback_3";
    ASSERT_EQ(std::system(disconnect.c_str()), 0);
    EXPECT_TRUE(WaitUntil([&] {
        auto block = Read();
        return block && block->Silent(kPlayback, 2) && Sounds(*block, kPlayback, 6);
    }));
}

// The ports of the meter's client whose names begin so.
int MeterPorts(const std::string& prefix) {
    std::string count = std::string("exit $(jack_lsp -s ") + jacktest::kServer +
                        " | grep -c '^levora:" + prefix + "')";
    int status = std::system(count.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Fault guarded: a second set of 64 ports, each period's work twice, for an output bus that
// shows what playback shows.
TEST_F(JackCard, OutputShowsPlaybackWithoutPortsOfItsOwn) {
    StartServer(48000);
    Play({"3:sine:0.5"});
    MakeCard();
    simtest::Block block = Measure(
        [](const simtest::Block& b) { return Sounds(b, kPlayback, 2) && Sounds(b, kOutput, 2); });
    // The same read: the same levels.
    EXPECT_EQ(block.MeanSquareWord(kOutput, 2), block.MeanSquareWord(kPlayback, 2));
    EXPECT_EQ(block.PeakWord(kOutput, 2), block.PeakWord(kPlayback, 2));
    EXPECT_EQ(MeterPorts("playback_"), 64);
    EXPECT_EQ(MeterPorts("output_"), 0);
}

TEST_F(JackCard, AnOutputTapOfItsOwnGetsPorts) {
    StartServer(48000);
    Play({"3:sine:0.5", "5:sine:0.1"});
    MakeCard("tap 0 output levora-tone:out_5\n");
    simtest::Block block = Measure([](const simtest::Block& b) { return Sounds(b, kOutput, 0); });
    EXPECT_NEAR(Db(block.At(kOutput, 0).meanSquare), -23.01, 0.05);
    EXPECT_TRUE(block.Silent(kOutput, 2)) << "output does not show playback";
    EXPECT_EQ(MeterPorts("output_"), 64);
}

TEST_F(JackCard, LeavesItsSlotWithTheServerAndReturnsAtTheNewRate) {
    MakeCard();
    EXPECT_FALSE(Status()) << "no server yet";
    StartServer(48000);
    ASSERT_TRUE(WaitUntil([&] { return Status() == 0u; }));
    ASSERT_TRUE(jack_.Stop());
    EXPECT_TRUE(WaitUntil([&] { return !Status() && !Read(); }));
    StartServer(96000);
    EXPECT_TRUE(WaitUntil([&] { return Status() == dp::kStatusDoubleSpeed; }));
    Play({"3:sine:0.5"});
    simtest::Block block = Measure([](const simtest::Block& b) { return Sounds(b, kPlayback, 2); });
    // The peak: a period the tone client misses on a loaded machine lowers the mean square.
    EXPECT_NEAR(Db(block.At(kPlayback, 2).peak * block.At(kPlayback, 2).peak), -6.02, 0.05);
}

} // namespace
