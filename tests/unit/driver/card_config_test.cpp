#include "driver/card_config.h"
#include "driver/statement_parser.h"

#include <gtest/gtest.h>

#include <string>

using sim::Speed;

namespace {

TEST(CardConfig, ReadsCardsAndSignalsInOrder) {
    sim::DriverConfig config;
    std::string error;
    ASSERT_TRUE(sim::ParseDriverConfig("# rack\n"
                                       "\n"
                                       "card 1 kind 7 speed double   # MADI\n"
                                       "\tcard 5 kind 4 speed quad unplugged\r\n"
                                       "signal 1 output 3-8 sine 440 -6.5\n"
                                       "signal 1 all all silence\n"
                                       "signal 5 1 26 burst 4\n",
                                       config, error))
        << error;
    ASSERT_TRUE(config.cards[1]);
    EXPECT_EQ(config.cards[1]->kind, 7);
    EXPECT_EQ(config.cards[1]->speed, Speed::Double);
    EXPECT_TRUE(config.cards[1]->plugged);
    ASSERT_EQ(config.cards[1]->assignments.size(), 2u);
    const sim::SignalAssignment& first = config.cards[1]->assignments[0];
    EXPECT_EQ(first.target.firstBus, 2);
    EXPECT_EQ(first.target.lastBus, 2);
    EXPECT_EQ(first.target.firstChannel, 2);
    EXPECT_EQ(first.target.lastChannel, 7);
    EXPECT_EQ(first.spec, sim::SignalSpec(sim::Sine{440, -6.5}));
    EXPECT_EQ(config.cards[1]->assignments[1].target.lastChannel, 63);

    ASSERT_TRUE(config.cards[5]);
    EXPECT_FALSE(config.cards[5]->plugged);
    EXPECT_EQ(config.cards[5]->speed, Speed::Quad);
    const sim::SignalAssignment& burst = config.cards[5]->assignments[0];
    EXPECT_EQ(burst.target.firstBus, 1);
    EXPECT_EQ(burst.target.firstChannel, 25);
    EXPECT_EQ(burst.spec, sim::SignalSpec(sim::Burst{4, 1}));
    EXPECT_FALSE(config.cards[0]);
}

struct ErrorCase {
    const char* text;
    const char* error;
};

class CardConfigErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(CardConfigErrors, NameTheLineAndTheFault) {
    sim::DriverConfig config;
    config.cards[2].emplace();
    std::string error;
    EXPECT_FALSE(sim::ParseDriverConfig(GetParam().text, config, error));
    EXPECT_EQ(error, GetParam().error);
    EXPECT_TRUE(config.cards[2]) << "a failed parse must leave the configuration alone";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CardConfigErrors,
    testing::Values(
        ErrorCase{"cards 0 kind 7 speed single", "line 1: unknown statement 'cards' (expected "
                                                 "card, signal, graph or tap)"},
        ErrorCase{"graph 3 jack", "line 1: kind 7 cannot sit in slot 3 (slots 0..2 take kind "
                                  "7, slots 3..5 kinds 0..6)"},
        ErrorCase{"graph 0 alsa", "line 1: usage: graph SLOT jack|pipewire [SERVER]"},
        ErrorCase{"graph 0 pipewire\ntap 0 input mic.left mic.right",
                  "line 2: a PipeWire bus taps one node"},
        ErrorCase{"card 0 kind 7 speed single\ngraph 0 jack", "line 2: slot 0 already has a card"},
        ErrorCase{"card 1 kind 7 speed single\ntap 1 input system:capture_1",
                  "line 2: slot 1 has no graph card (a graph line must come first)"},
        ErrorCase{"graph 1 jack\ntap 1 all system:capture_1",
                  "line 2: unknown bus 'all' (expected input, playback or output)"},
        ErrorCase{"graph 1 jack\nsignal 1 all all demo",
                  "line 2: slot 1 holds a graph card: its signals come from the graph"},
        ErrorCase{"# x\ncard 0 kind 7", "line 2: usage: card SLOT kind KIND speed "
                                        "single|double|quad [unplugged]"},
        ErrorCase{"card 6 kind 7 speed single", "line 1: slot must be 0..5, not '6'"},
        ErrorCase{"card 0 kind 8 speed single", "line 1: kind must be 0..7, not '8'"},
        ErrorCase{"card 0 kind 7 speed triple",
                  "line 1: speed must be single, double or quad, not 'triple'"},
        ErrorCase{"card 3 kind 7 speed single", "line 1: kind 7 cannot sit in slot 3 (slots "
                                                "0..2 take kind 7, slots 3..5 kinds 0..6)"},
        ErrorCase{"card 0 kind 7 speed quad",
                  "line 1: kind 7 has no quad speed (only kinds 2..5 have)"},
        ErrorCase{"card 0 kind 7 speed single\ncard 0 kind 7 speed double",
                  "line 2: slot 0 already has a card"},
        ErrorCase{"signal 3 all all demo",
                  "line 1: slot 3 has no card (a card line must come first)"},
        ErrorCase{"card 3 kind 0 speed single\nsignal 3 all 27 demo",
                  "line 2: channels must be N, N-M or all with 1 <= N <= M <= 26, not '27'"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all 0 demo",
                  "line 2: channels must be N, N-M or all with 1 <= N <= M <= 64, not '0'"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all 8-3 demo",
                  "line 2: channels must be N, N-M or all with 1 <= N <= M <= 64, not '8-3'"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 monitor all demo",
                  "line 2: unknown bus 'monitor' (expected input, playback, output or all)"},
        ErrorCase{"card 0 kind 7 speed single\n\n\nsignal 0 all all sinus 1 2",
                  "line 4: unknown source 'sinus' (expected silence, sine, noise, sweep, burst "
                  "or demo)"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all all sine 1000",
                  "line 2: wrong arguments for sine (usage: sine FREQ DBFS)"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all all demo 3",
                  "line 2: wrong arguments for demo (usage: demo)"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all all sine 1000 -6dB",
                  "line 2: level must be a number from -150 to 20, not '-6dB'"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all all sine 0 -6",
                  "line 2: frequency must be a number from 1 to 20000, not '0'"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all all burst 4 0",
                  "line 2: burst period must be a number from 0.01 to 3600, not '0'"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all all sweep -60 0",
                  "line 2: wrong arguments for sweep (usage: sweep [FROM TO SECONDS])"},
        ErrorCase{"card 0 kind 7 speed single\nsignal 0 all",
                  "line 2: usage: signal SLOT BUS CHANNELS SOURCE [ARGS]"}));

class SignalSpelling : public testing::TestWithParam<const char*> {};

TEST_P(SignalSpelling, FormatsAsItWasWritten) {
    sim::DriverConfig config;
    std::string error;
    std::string source = GetParam();
    ASSERT_TRUE(sim::ParseDriverConfig("card 0 kind 7 speed single\nsignal 0 all all " + source,
                                       config, error))
        << error;
    EXPECT_EQ(sim::FormatSignal(config.cards[0]->assignments[0].spec), source);
}

INSTANTIATE_TEST_SUITE_P(Sources, SignalSpelling,
                         testing::Values("silence", "sine 1000 -6", "sine 97.5 3", "noise -20",
                                         "sweep -60 0 10", "burst 20 1", "burst 3 0.25", "demo"));

TEST(CardConfig, GraphCardWithTapsPerBus) {
    sim::DriverConfig config;
    std::string error;
    ASSERT_TRUE(sim::ParseDriverConfig("graph 2 jack studio\n"
                                       "tap 2 input a:out_1 b:out_2\n"
                                       "tap 2 output x:1\n"
                                       "tap 2 output default\n"
                                       "card 0 kind 7 speed single\n",
                                       config, error))
        << error;
    ASSERT_TRUE(config.cards[2] && config.cards[2]->graph);
    const sim::GraphSetup& graph = *config.cards[2]->graph;
    EXPECT_EQ(graph.server, "studio");
    EXPECT_EQ(graph.taps[0], (std::vector<std::string>{"a:out_1", "b:out_2"}));
    EXPECT_TRUE(graph.taps[1].empty());
    EXPECT_TRUE(graph.taps[2].empty()) << "a later tap line replaces the earlier";
    EXPECT_FALSE(config.cards[0]->graph);
    EXPECT_EQ(graph.backend, sim::GraphBackend::Jack);
}

TEST(CardConfig, PipeWireGraphCardTapsANodePerBus) {
    sim::DriverConfig config;
    std::string error;
    ASSERT_TRUE(sim::ParseDriverConfig("graph 1 pipewire\n"
                                       "tap 1 playback alsa_output.usb-desk.analog-stereo\n",
                                       config, error))
        << error;
    const sim::GraphSetup& graph = *config.cards[1]->graph;
    EXPECT_EQ(graph.backend, sim::GraphBackend::PipeWire);
    EXPECT_TRUE(graph.server.empty());
    EXPECT_TRUE(graph.taps[0].empty());
    EXPECT_EQ(graph.taps[1], (std::vector<std::string>{"alsa_output.usb-desk.analog-stereo"}));
}

TEST(CardConfig, EmbeddedDefaultIsAMadiCardAndSeveralKestrelModels) {
    sim::DriverConfig config;
    std::string error;
    ASSERT_TRUE(sim::ParseDriverConfig(sim::EmbeddedConfigText(), config, error)) << error;
    ASSERT_TRUE(config.cards[0]);
    EXPECT_EQ(config.cards[0]->kind, 7);
    int kestrelKinds = 0;
    for (int slot = 3; slot < 6; ++slot) {
        ASSERT_TRUE(config.cards[slot]) << slot;
        EXPECT_TRUE(config.cards[slot]->plugged);
        kestrelKinds |= 1 << config.cards[slot]->kind;
    }
    EXPECT_EQ(__builtin_popcount(kestrelKinds), 3);
    EXPECT_EQ(sim::EmbeddedConfig().cards[5]->kind, config.cards[5]->kind);
}

TEST(StatementWords, SplitAtBlanksAndStopAtComments) {
    EXPECT_EQ(sim::SplitWords("  plug\t3  # again"), (sim::Words{"plug", "3"}));
    EXPECT_TRUE(sim::SplitWords("# only a comment").empty());
    EXPECT_TRUE(sim::SplitWords(" \t\r").empty());
}

} // namespace
