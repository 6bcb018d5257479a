#include "platform/socket_transport.h"

#include "device/driver_protocol.h"
#include "tests/unit/platform/fake_driver_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr const char* kSlot0 = "\\\\.\\madiOut0";

// A private driver directory of the test, mode 0700.
class DriverDir {
public:
    DriverDir() {
        char pattern[] = "/tmp/levora-transport-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~DriverDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    std::string Socket(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) {
    return bytes;
}

class SocketTransportTest : public testing::Test {
protected:
    bool Request(SocketTransport& transport, std::vector<uint8_t>& out,
                 uint32_t* returned = nullptr) {
        uint8_t in[3] = {7, 8, 9};
        return transport.Request(kSlot0, 0x1D40C8, in, sizeof in, out.data(),
                                 static_cast<uint32_t>(out.size()), returned);
    }

    static bool Eventually(const std::function<bool()>& condition) {
        for (int i = 0; i < 200 && !condition(); ++i)
            std::this_thread::sleep_for(10ms);
        return condition();
    }

    DriverDir dir;
    std::vector<std::string> warnings;
    // Patient, so that a loaded machine does not turn a wrong reply into a late one; the
    // deadline tests use the program's own.
    SocketTransport transport{dir.Path(), 2s,
                              [this](const std::string& w) { warnings.push_back(w); }};
    SocketTransport prompt{dir.Path()};
};

TEST_F(SocketTransportTest, SendsTheFramedRequestAndCopiesTheReply) {
    std::vector<uint8_t> seen;
    FakeDriverServer server(dir.Socket("madiOut0"), [&seen](int fd) {
        seen = FakeDriverServer::ReadRequest(fd);
        FakeDriverServer::Send(fd, FakeDriverServer::Reply(1, 3, {0xA1, 0xA2, 0xA3}));
    });
    std::vector<uint8_t> out(6, 0x55);
    uint32_t returned = 0;
    ASSERT_TRUE(Request(transport, out, &returned));
    EXPECT_EQ(returned, 3u);
    EXPECT_EQ(out, Bytes({0xA1, 0xA2, 0xA3, 0x55, 0x55, 0x55}));
    EXPECT_EQ(seen,
              Bytes({'L', 'V', 'D', 'R', 0xC8, 0x40, 0x1D, 0, 3, 0, 0, 0, 6, 0, 0, 0, 7, 8, 9}));
}

struct BadReply {
    const char* name;
    std::vector<uint8_t> bytes;
};

class SocketTransportBadReplies : public SocketTransportTest,
                                  public testing::WithParamInterface<BadReply> {};

TEST_P(SocketTransportBadReplies, FailWithoutTouchingTheBuffer) {
    FakeDriverServer server(dir.Socket("madiOut0"), [](int fd) {
        FakeDriverServer::ReadRequest(fd);
        FakeDriverServer::Send(fd, GetParam().bytes);
        shutdown(fd, SHUT_WR);
    });
    std::vector<uint8_t> out(4, 0x55);
    uint32_t returned = 99;
    EXPECT_FALSE(Request(transport, out, &returned));
    EXPECT_EQ(out, Bytes({0x55, 0x55, 0x55, 0x55}));
    EXPECT_EQ(returned, 99u);
    EXPECT_EQ(server.Connections(), 1);
}

std::vector<uint8_t> WithMagic(const char* magic, const std::vector<uint8_t>& rest) {
    // Sized once and filled: GCC 12 at -O2 sees a false bounds problem in a small insert.
    std::vector<uint8_t> bytes(4 + rest.size());
    std::copy(magic, magic + 4, bytes.begin());
    std::copy(rest.begin(), rest.end(), bytes.begin() + 4);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SocketTransportBadReplies,
    testing::Values(BadReply{"WrongMagic", WithMagic("LVDX", {1, 0, 0, 0, 1, 0, 0, 0, 0xA1})},
                    BadReply{"Refused", FakeDriverServer::Reply(0, 0, {})},
                    BadReply{"RefusedWithBytes", FakeDriverServer::Reply(0, 1, {0xA1})},
                    BadReply{"OkNeitherZeroNorOne", FakeDriverServer::Reply(2, 1, {0xA1})},
                    BadReply{"CountAboveOutputSize",
                             FakeDriverServer::Reply(1, 5, {1, 2, 3, 4, 5})},
                    BadReply{"HugeCount", FakeDriverServer::Reply(1, 0xFFFFFFFF, {1, 2, 3, 4})},
                    BadReply{"ShortPayload", FakeDriverServer::Reply(1, 4, {0xA1, 0xA2})},
                    BadReply{"ShortHeader", WithMagic("LVDR", {1, 0, 0, 0, 4})},
                    BadReply{"Nothing", {}}),
    [](const testing::TestParamInfo<BadReply>& info) { return info.param.name; });

TEST_F(SocketTransportTest, GivesUpOnAServerThatNeverAnswers) {
    FakeDriverServer server(dir.Socket("madiOut0"), [](int) {});
    std::vector<uint8_t> out(4, 0x55);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Request(prompt, out));
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 5ms);
    EXPECT_LT(took, 100ms) << "a hung driver must cost about the deadline, not more";
    EXPECT_TRUE(Eventually([&] { return server.Connections() == 1; }));
}

TEST_F(SocketTransportTest, GivesUpOnALateReply) {
    FakeDriverServer server(dir.Socket("madiOut0"), [](int fd) {
        FakeDriverServer::ReadRequest(fd);
        std::this_thread::sleep_for(30ms);
        FakeDriverServer::Send(fd, FakeDriverServer::Reply(1, 1, {0xA1}));
    });
    std::vector<uint8_t> out(4, 0x55);
    EXPECT_FALSE(Request(prompt, out));
    EXPECT_EQ(out[0], 0x55);
    // The same late driver is fine for a patient client.
    EXPECT_TRUE(Request(transport, out));
    EXPECT_EQ(out[0], 0xA1);
}

TEST_F(SocketTransportTest, SixHungSlotsCostOnePollLittleMoreThanSixDeadlines) {
    const char* names[6] = {"madiOut0",    "madiOut32",    "madiOut64",
                            "kestrelOut0", "kestrelOut13", "kestrelOut26"};
    std::vector<std::unique_ptr<FakeDriverServer>> servers;
    for (const char* name : names)
        servers.push_back(std::make_unique<FakeDriverServer>(dir.Socket(name), [](int) {}));
    const char* devices[6] = {"\\\\.\\madiOut0",    "\\\\.\\madiOut32",    "\\\\.\\madiOut64",
                              "\\\\.\\kestrelOut0", "\\\\.\\kestrelOut13", "\\\\.\\kestrelOut26"};
    uint8_t info[driver_protocol::kCardInfoSize];
    auto start = std::chrono::steady_clock::now();
    for (const char* device : devices)
        EXPECT_FALSE(prompt.Request(device, driver_protocol::IOCTL_CARD_INFO, nullptr, 0, info,
                                    sizeof info, nullptr));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    for (auto& server : servers)
        EXPECT_TRUE(Eventually([&] { return server->Connections() == 1; }));
}

TEST_F(SocketTransportTest, FailsAtOnceWithoutADriver) {
    std::vector<uint8_t> out(4);
    EXPECT_FALSE(Request(transport, out));
    SocketTransport nowhere(dir.Path() + "/missing");
    EXPECT_FALSE(Request(nowhere, out));
    EXPECT_TRUE(warnings.empty()) << "no driver running is not worth a message";
}

TEST_F(SocketTransportTest, RefusesNamesOtherThanTheSixDevices) {
    FakeDriverServer server(dir.Socket("madiOut1"), [](int fd) {
        FakeDriverServer::Send(fd, FakeDriverServer::Reply(1, 0, {}));
    });
    uint8_t out[4];
    EXPECT_FALSE(transport.Request("\\\\.\\madiOut1", 1, nullptr, 0, out, 4, nullptr));
    EXPECT_FALSE(transport.Request(nullptr, 1, nullptr, 0, out, 4, nullptr));
    EXPECT_EQ(server.Connections(), 0);
}

TEST_F(SocketTransportTest, NoCardAnswersFromADirectoryOpenToOthers) {
    FakeDriverServer server(dir.Socket("madiOut0"), [](int fd) {
        FakeDriverServer::ReadRequest(fd);
        FakeDriverServer::Send(fd, FakeDriverServer::Reply(1, 1, {0xA1}));
    });
    std::vector<uint8_t> out(4, 0x55);
    ASSERT_TRUE(Request(transport, out));
    for (mode_t mode : {0750, 0705, 0777}) {
        ASSERT_EQ(chmod(dir.Path().c_str(), mode), 0);
        EXPECT_FALSE(Request(transport, out)) << std::oct << mode;
    }
    ASSERT_EQ(warnings.size(), 1u) << "said once, not on every poll";
    EXPECT_NE(warnings[0].find("is open to group or others (mode 0750, needs 0700)"),
              std::string::npos)
        << warnings[0];
    EXPECT_EQ(server.Connections(), 1);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0700), 0);
    EXPECT_TRUE(Request(transport, out));
}

constexpr uid_t kNobody = 65534;

TEST_F(SocketTransportTest, NoCardAnswersFromADirectoryOfAnotherUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give the directory away";
    FakeDriverServer server(dir.Socket("madiOut0"), [](int fd) {
        FakeDriverServer::ReadRequest(fd);
        FakeDriverServer::Send(fd, FakeDriverServer::Reply(1, 1, {0xA1}));
    });
    ASSERT_EQ(chown(dir.Path().c_str(), kNobody, kNobody), 0);
    std::vector<uint8_t> out(4, 0x55);
    EXPECT_FALSE(Request(transport, out));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("belongs to user 65534"), std::string::npos) << warnings[0];
    EXPECT_EQ(server.Connections(), 0);
}

TEST_F(SocketTransportTest, RefusesADriverOfAnotherUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a peer as another user";
    // The peer credentials are those of the process that listens: bind here, listen in a
    // child that has become another user.
    std::string path = dir.Socket("madiOut0");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    unix_socket::UniqueFd listener(socket(AF_UNIX, SOCK_STREAM, 0));
    ASSERT_EQ(bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0 || listen(listener.Get(), 4) != 0)
            _exit(1);
        (void)!write(ready[1], "x", 1);
        int fd = accept(listener.Get(), nullptr, nullptr);
        std::vector<uint8_t> reply = FakeDriverServer::Reply(1, 1, {0xA1});
        (void)!write(fd, reply.data(), reply.size());
        pause();
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    std::vector<uint8_t> out(4, 0x55);
    EXPECT_FALSE(Request(transport, out));
    EXPECT_EQ(out[0], 0x55);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
}

} // namespace
