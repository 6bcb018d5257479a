#include "driver/daemon_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

sim::CommandLine Parse(std::vector<std::string_view> args) {
    sim::CommandLine commandLine;
    std::string error;
    EXPECT_TRUE(sim::ParseCommandLine(args, commandLine, error)) << error;
    return commandLine;
}

TEST(DaemonOptions, ServesTheDemoCardsWithoutFileOrFlags) {
    sim::CommandLine commandLine = Parse({});
    EXPECT_EQ(commandLine.mode, sim::Mode::Serve);
    EXPECT_EQ(commandLine.serve.clientTimeoutMs, 1000);
    sim::DriverConfig config;
    std::string error;
    ASSERT_TRUE(sim::BuildDaemonConfig(commandLine.serve, config, error));
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(bool(config.cards[slot]), bool(sim::EmbeddedConfig().cards[slot])) << slot;
}

TEST(DaemonOptions, CardFlagsAloneMakeTheRack) {
    sim::CommandLine commandLine = Parse(
        {"--card", "4:1:double", "--dir", "/run/x", "--deadline", "250", "--card", "0:7:single"});
    EXPECT_EQ(commandLine.serve.directory, "/run/x");
    EXPECT_EQ(commandLine.serve.clientTimeoutMs, 250);
    sim::DriverConfig config;
    std::string error;
    ASSERT_TRUE(sim::BuildDaemonConfig(commandLine.serve, config, error));
    ASSERT_TRUE(config.cards[4]);
    EXPECT_EQ(config.cards[4]->kind, 1);
    EXPECT_EQ(config.cards[4]->speed, sim::Speed::Double);
    EXPECT_TRUE(config.cards[0]);
    EXPECT_FALSE(config.cards[3]);
}

TEST(DaemonOptions, ACardFlagReplacesTheModelOfTheFileAndKeepsItsSignals) {
    std::string path = "/tmp/levora-options-" + std::to_string(getpid()) + ".conf";
    std::ofstream(path) << "card 3 kind 0 speed single unplugged\nsignal 3 input 1 silence\n";
    sim::DriverConfig config;
    std::string error;
    ASSERT_TRUE(sim::BuildDaemonConfig(
        Parse({"--config", path, "--card", "3:5:quad", "--card", "5:6:double"}).serve, config,
        error))
        << error;
    std::remove(path.c_str());
    ASSERT_TRUE(config.cards[3]);
    EXPECT_EQ(config.cards[3]->kind, 5);
    EXPECT_EQ(config.cards[3]->speed, sim::Speed::Quad);
    EXPECT_FALSE(config.cards[3]->plugged);
    EXPECT_EQ(config.cards[3]->assignments.size(), 1u);
    EXPECT_EQ(config.cards[5]->kind, 6);
}

TEST(DaemonOptions, AMissingFileIsAnError) {
    sim::DriverConfig config;
    std::string error;
    EXPECT_FALSE(
        sim::BuildDaemonConfig(Parse({"--config", "/nonexistent/cards"}).serve, config, error));
    EXPECT_EQ(error, "/nonexistent/cards: cannot read it");
}

TEST(DaemonOptions, CtlTakesTheRestAsTheCommand) {
    sim::CommandLine commandLine =
        Parse({"ctl", "--dir", "/d", "signal", "3", "all", "1-4", "sine", "440", "-6"});
    EXPECT_EQ(commandLine.mode, sim::Mode::Ctl);
    EXPECT_EQ(commandLine.ctl.directory, "/d");
    EXPECT_EQ(commandLine.ctl.command, "signal 3 all 1-4 sine 440 -6");
    EXPECT_EQ(Parse({"ctl", "list"}).ctl.directory, "");
    EXPECT_EQ(Parse({"--dir", "/d", "--help"}).mode, sim::Mode::Help);
}

struct BadArgs {
    std::vector<std::string_view> args;
    const char* error;
};

class DaemonOptionErrors : public testing::TestWithParam<BadArgs> {};

TEST_P(DaemonOptionErrors, SayWhatIsWrong) {
    sim::CommandLine commandLine;
    std::string error;
    EXPECT_FALSE(sim::ParseCommandLine(GetParam().args, commandLine, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DaemonOptionErrors,
    testing::Values(
        BadArgs{{"--verbose"}, "unknown option '--verbose'"},
        BadArgs{{"--config"}, "--config wants a value"},
        BadArgs{{"--deadline", "0"}, "--deadline wants milliseconds from 1 to 600000, not '0'"},
        BadArgs{{"--deadline", "5ms"}, "--deadline wants milliseconds from 1 to 600000, not '5ms'"},
        BadArgs{{"--card", "3-1-double"}, "--card wants SLOT:KIND:SPEED, not '3-1-double'"},
        BadArgs{{"--card", "3:1:fast"}, "speed must be single, double or quad, not 'fast'"},
        BadArgs{{"--card", "4:6:quad"}, "kind 6 has no quad speed (only kinds 2..5 have)"},
        BadArgs{{"ctl"}, "ctl wants a command: list, plug, unplug, speed or signal"},
        BadArgs{{"ctl", "--dir", "/d"},
                "ctl wants a command: list, plug, unplug, speed or "
                "signal"}));

} // namespace
