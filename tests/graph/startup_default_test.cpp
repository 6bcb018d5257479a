#include "device/card_probe.h"
#include "device/control_device.h"
#include "platform/driver_choice.h"
#include "tests/graph/private_jack.h"
#include "tests/graph/private_pipewire.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// The program's start without LEVORA_GRAPH and without a configuration: slot 0 meters the
// PipeWire server where one answers, else the JACK server, else it is a demo card. Only the
// tests' own servers are reachable: PipeWire's runtime directory and JACK's default server
// name point at them.
namespace {

using namespace std::chrono_literals;

class StartupDefault : public testing::Test {
protected:
    StartupDefault() {
        setenv("JACK_DEFAULT_SERVER", jacktest::kServer, 1);
        // No driver in the private runtime directory: the embedded cards are chosen.
        environment.runtimeDir = pipewire_.Dir();
        environment.tempDir = pipewire_.Dir();
    }

    // The label of the card in slot 0 once it answers (the graph card connects in the
    // background), "" when it does not within 10 s.
    static std::string SlotZeroLabel(DriverTransport& transport) {
        ControlDevice device(transport);
        DeviceName name;
        auto deadline = std::chrono::steady_clock::now() + 10s;
        while (ProbeCard(device, name, 0, nullptr) == kRateNoCard &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        return ProbeCardLabel(device, 0);
    }

    DriverChoice Choose() {
        return ChooseDriverTransport(
            environment, [](const std::string& text) { ADD_FAILURE() << "warned: " << text; }, "");
    }

    pipewiretest::PrivatePipeWire pipewire_;
    jacktest::PrivateJack jack_;
    sim::DirectoryEnvironment environment;
};

TEST_F(StartupDefault, PrefersPipeWireWhenBothServersAnswer) {
    ASSERT_TRUE(pipewire_.Start(48000));
    ASSERT_TRUE(jack_.Start(48000));
    DriverChoice choice = Choose();
    ASSERT_TRUE(choice.embedded);
    EXPECT_EQ(SlotZeroLabel(*choice.transport), "PipeWire graph");
}

TEST_F(StartupDefault, TakesJackWhenOnlyJackAnswers) {
    ASSERT_TRUE(jack_.Start(48000));
    DriverChoice choice = Choose();
    ASSERT_TRUE(choice.embedded);
    EXPECT_EQ(SlotZeroLabel(*choice.transport), "JACK graph");
}

TEST_F(StartupDefault, KeepsTheDemoCardsWhenNoServerAnswers) {
    DriverChoice choice = Choose();
    ASSERT_TRUE(choice.embedded);
    ControlDevice device(*choice.transport);
    DeviceName name;
    int32_t kind = kNoCardKind;
    // A graph card waiting for a server would not answer at once.
    EXPECT_EQ(ProbeCard(device, name, 0, &kind), kRateSingle);
    EXPECT_EQ(kind, kMadiCardKind);
    EXPECT_EQ(ProbeCardLabel(device, 0).find("graph"), std::string::npos);
}

} // namespace
