#include "device/card_probe.h"
#include "device/control_device.h"
#include "driver/control_commands.h"
#include "tests/unit/driver/sim_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ControlCommands : public testing::Test {
protected:
    std::string Run(const std::string& line) {
        return sim::RunControlCommand(line, rack.transport.Driver());
    }
    int32_t Probe(int slot, int32_t* kind = nullptr) {
        DeviceName name;
        return ProbeCard(device, name, slot, kind);
    }

    simtest::Rack rack{"card 0 kind 7 speed single\n"
                       "card 4 kind 3 speed double unplugged\n"
                       "signal 0 all all silence\n"
                       "signal 0 input 1-8 sine 1000 -6\n"};
    ControlDevice device{rack.transport};
};

TEST_F(ControlCommands, ListShowsEverySlotAndTheSignalsOfItsCard) {
    std::string reply = Run("list");
    EXPECT_NE(reply.find("slot 0 madiOut0: kind 7 speed single plugged\n"
                         "  input 1-8 sine 1000 -6\n"
                         "  input 9-64 silence\n"
                         "  playback 1-64 silence\n"),
              std::string::npos)
        << reply;
    EXPECT_NE(reply.find("slot 1 madiOut32: empty\n"), std::string::npos);
    EXPECT_NE(reply.find("slot 4 kestrelOut13: kind 3 speed double unplugged\n"
                         "  input 1-26 demo\n"),
              std::string::npos);
    EXPECT_TRUE(reply.ends_with("slot 5 kestrelOut26: empty\nok\n")) << reply;
    EXPECT_TRUE(sim::ReplySucceeded(reply));
}

TEST_F(ControlCommands, PlugAndUnplugDecideWhetherTheCardAnswers) {
    EXPECT_EQ(Probe(4), kRateNoCard);
    EXPECT_EQ(Run("plug 4"), "ok\n");
    int32_t kind = -1;
    EXPECT_EQ(Probe(4, &kind), kRateDouble);
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(Run("unplug 0"), "ok\n");
    EXPECT_EQ(Probe(0), kRateNoCard);
    EXPECT_EQ(Run("plug 0"), "ok\n");
    EXPECT_EQ(Probe(0), kRateSingle);
}

TEST_F(ControlCommands, PlugsANewModelIntoAFreeSlot) {
    EXPECT_EQ(Run("plug 5 2 quad"), "ok\n");
    int32_t kind = -1;
    EXPECT_EQ(Probe(5, &kind), kRateQuad);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(Run("plug 5 4 single"), "error: slot 5 holds a card; unplug it first\n");
}

TEST_F(ControlCommands, SpeedChangesWhatTheProbeSees) {
    EXPECT_EQ(Run("speed 0 double"), "ok\n");
    EXPECT_EQ(Probe(0), kRateDouble);
    EXPECT_EQ(Run("speed 0 quad"), "error: kind 7 has no quad speed (only kinds 2..5 have)\n");
    EXPECT_EQ(Probe(0), kRateDouble);
}

TEST_F(ControlCommands, SignalChangesTheLevelsFromNowOn) {
    rack.ReadAfter(0, 20);
    EXPECT_TRUE(rack.ReadAfter(0, 20).Silent(2, 40));
    EXPECT_EQ(Run("signal 0 output 41 sine 1000 -6"), "ok\n");
    EXPECT_NEAR(rack.ReadAfter(0, 20).At(2, 40).peak, 0.5, 0.005);
}

TEST_F(ControlCommands, ASignalChangeKeepsTheSamplesBeforeIt) {
    rack.ReadAfter(0, 20);
    rack.clock.AdvanceMs(20);
    EXPECT_EQ(Run("signal 0 input 1 silence"), "ok\n");
    EXPECT_NEAR(rack.ReadAfter(0, 20).At(0, 0).peak, 0.5, 0.005);
    EXPECT_TRUE(rack.ReadAfter(0, 20).Silent(0, 0));
}

struct FaultCase {
    const char* command;
    const char* reply;
};

class ControlCommandFaults : public ControlCommands,
                             public testing::WithParamInterface<FaultCase> {};

TEST_P(ControlCommandFaults, AnswerWithTheReason) {
    std::string reply = Run(GetParam().command);
    EXPECT_EQ(reply, GetParam().reply);
    EXPECT_FALSE(sim::ReplySucceeded(reply));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ControlCommandFaults,
    testing::Values(FaultCase{"", "error: empty command\n"},
                    FaultCase{"unplug 2", "error: slot 2 has no card\n"},
                    FaultCase{"plug 3", "error: slot 3 has no card\n"},
                    FaultCase{"plug 3 7 single", "error: kind 7 cannot sit in slot 3 (slots 0..2 "
                                                 "take kind 7, slots 3..5 kinds 0..6)\n"},
                    FaultCase{"speed 9 single", "error: slot must be 0..5, not '9'\n"},
                    FaultCase{"signal 4 input 30 demo",
                              "error: channels must be N, N-M or all with 1 <= N <= M <= 26, "
                              "not '30'\n"},
                    FaultCase{"reboot", "error: usage: list | plug SLOT [KIND SPEED] | unplug "
                                        "SLOT | speed SLOT MODE | signal SLOT BUS CHANNELS "
                                        "SOURCE [ARGS]\n"}));

TEST(ControlReply, SucceedsOnlyWithAFinalOkLine) {
    EXPECT_TRUE(sim::ReplySucceeded("ok\n"));
    EXPECT_TRUE(sim::ReplySucceeded("slot 1: empty\nok\n"));
    EXPECT_FALSE(sim::ReplySucceeded("error: look\n"));
    EXPECT_FALSE(sim::ReplySucceeded("error: not ok\n"));
    EXPECT_FALSE(sim::ReplySucceeded(""));
}

} // namespace

namespace {

// A graph card whose JACK server never runs: it waits, and follows its server only.
TEST(GraphCardControl, WaitsForItsServerAndRefusesHandOperations) {
    simtest::Rack rack("graph 1 jack levora-absent\n");
    sim::SimDriver& driver = rack.transport.Driver();
    std::string list = sim::RunControlCommand("list", driver);
    EXPECT_NE(list.find("slot 1 madiOut32: kind 7 graph jack server levora-absent: waiting for "
                        "the server\n"),
              std::string::npos)
        << list;
    ControlDevice device(rack.transport);
    DeviceName name;
    EXPECT_EQ(ProbeCard(device, name, 1, nullptr), kRateNoCard);
    for (const char* command :
         {"unplug 1", "plug 1", "speed 1 double", "signal 1 all all demo", "plug 1 7 single"}) {
        std::string reply = sim::RunControlCommand(command, driver);
        EXPECT_FALSE(sim::ReplySucceeded(reply)) << command;
        EXPECT_NE(reply.find("slot 1"), std::string::npos) << command << ": " << reply;
    }
}

} // namespace
