#include "platform/driver_choice.h"

#include "device/card_probe.h"
#include "device/control_device.h"
#include "device/driver_protocol.h"
#include "driver/card_model.h"
#include "tests/unit/platform/fake_driver_server.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

class DriverChoiceTest : public testing::Test {
protected:
    DriverChoiceTest() {
        char pattern[] = "/tmp/levora-choice-XXXXXX";
        runtime = mkdtemp(pattern);
        environment.runtimeDir = runtime;
        environment.tempDir = runtime;
    }
    ~DriverChoiceTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }
    std::string DefaultDir() {
        std::string dir = runtime + "/levora-driver";
        mkdir(dir.c_str(), 0700);
        return dir;
    }
    static int32_t ProbeSlot(DriverTransport& transport, int slot, int32_t* kind) {
        ControlDevice device(transport);
        DeviceName name;
        return ProbeCard(device, name, slot, kind);
    }

    // A card that answers the card-information request.
    static auto AnswerCard(int slot, int kind, sim::Speed speed) {
        return [slot, kind, speed](int fd) {
            FakeDriverServer::ReadRequest(fd);
            std::vector<uint8_t> info(driver_protocol::kCardInfoSize);
            sim::EncodeCardInfo(slot, kind, speed, info.data());
            FakeDriverServer::Send(fd, FakeDriverServer::Reply(1, 92, info));
        };
    }
    SocketTransport::Warn Collect() {
        return [this](const std::string& text) { warnings.push_back(text); };
    }

    std::string runtime;
    sim::DirectoryEnvironment environment;
    std::vector<std::string> warnings;
};

TEST_F(DriverChoiceTest, ASetDriverDirectoryIsUsedEvenBeforeTheDriverRuns) {
    environment.driverDir = runtime + "/not-yet";
    DriverChoice choice = ChooseDriverTransport(environment, Collect());
    EXPECT_FALSE(choice.embedded);
    EXPECT_EQ(choice.directory, runtime + "/not-yet");
    int32_t kind = -1;
    EXPECT_EQ(ProbeSlot(*choice.transport, 0, &kind), kRateNoCard);
    // Regression: a window on a driver directory where nothing answered stayed blank with
    // nothing said on stderr.
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find(runtime + "/not-yet"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("LEVORA_DRIVER_DIR"), std::string::npos) << warnings[0];
}

TEST_F(DriverChoiceTest, ASetDriverDirectoryThatAnswersIsNotWarnedAbout) {
    std::string dir = DefaultDir();
    environment.driverDir = dir;
    FakeDriverServer server(dir + "/madiOut0", AnswerCard(0, 7, sim::Speed::Single));
    DriverChoice choice = ChooseDriverTransport(environment, Collect());
    EXPECT_FALSE(choice.embedded);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(DriverChoiceTest, WithoutADriverTheEmbeddedDemoCardsAnswer) {
    DefaultDir();
    DriverChoice choice = ChooseDriverTransport(environment, Collect());
    ASSERT_TRUE(choice.embedded);
    int32_t kind = -1;
    EXPECT_EQ(ProbeSlot(*choice.transport, 0, &kind), kRateSingle);
    EXPECT_EQ(kind, 7);
}

TEST_F(DriverChoiceTest, AGraphCardTakesSlotZeroAndWaitsForItsServer) {
    DefaultDir();
    DriverChoice choice = ChooseDriverTransport(environment, Collect(), "jack:levora-absent");
    ASSERT_TRUE(choice.embedded);
    int32_t kind = -1;
    EXPECT_EQ(ProbeSlot(*choice.transport, 0, &kind), kRateNoCard);
    EXPECT_EQ(ProbeSlot(*choice.transport, 3, &kind), kRateSingle) << "the demo cards stay";
    EXPECT_TRUE(warnings.empty());
}

TEST_F(DriverChoiceTest, APipeWireGraphCardWaitsForItsServerToo) {
    DefaultDir();
    DriverChoice choice = ChooseDriverTransport(environment, Collect(), "pipewire:levora-absent");
    ASSERT_TRUE(choice.embedded);
    EXPECT_EQ(ProbeSlot(*choice.transport, 0, nullptr), kRateNoCard);
    EXPECT_EQ(ProbeSlot(*choice.transport, 3, nullptr), kRateSingle) << "the demo cards stay";
    EXPECT_TRUE(warnings.empty());
}

TEST_F(DriverChoiceTest, AnUnknownGraphChoiceIsWarnedAboutAndKeepsTheDemoCards) {
    DefaultDir();
    DriverChoice choice = ChooseDriverTransport(environment, Collect(), "pulse");
    EXPECT_EQ(ProbeSlot(*choice.transport, 0, nullptr), kRateSingle);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("LEVORA_GRAPH"), std::string::npos) << warnings[0];
}

TEST_F(DriverChoiceTest, ADriverAnsweringInTheDefaultDirectoryIsUsed) {
    std::string dir = DefaultDir();
    FakeDriverServer server(dir + "/kestrelOut13", AnswerCard(4, 6, sim::Speed::Double));
    DriverChoice choice = ChooseDriverTransport(environment, Collect());
    EXPECT_FALSE(choice.embedded);
    EXPECT_EQ(choice.directory, dir);
    int32_t kind = -1;
    EXPECT_EQ(ProbeSlot(*choice.transport, 4, &kind), kRateDouble);
    EXPECT_EQ(kind, 6);
}

TEST_F(DriverChoiceTest, ASocketThatAnswersNoCardDoesNotCount) {
    std::string dir = DefaultDir();
    FakeDriverServer server(dir + "/madiOut0", [](int fd) {
        FakeDriverServer::ReadRequest(fd);
        FakeDriverServer::Send(fd, FakeDriverServer::Reply(1, 92, std::vector<uint8_t>(92, 0)));
    });
    EXPECT_TRUE(ChooseDriverTransport(environment, Collect()).embedded);
    EXPECT_EQ(server.Connections(), 1);
}

} // namespace
