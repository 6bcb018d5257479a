#include "device/card_probe.h"
#include "device/control_device.h"
#include "device/driver_protocol.h"
#include "device/little_endian.h"
#include "driver/unix_socket.h"
#include "platform/socket_transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr const char* kConfig = "# two cards for the test\n"
                                "card 0 kind 7 speed single\n"
                                "card 4 kind 1 speed single\n"
                                "signal 0 all all silence\n"
                                "signal 0 input 1 sine 1000 -6\n"
                                "signal 4 all all silence\n"
                                "signal 4 output 9 burst 40 0.02\n";

// The built levora-driver as a child process with its stderr in a file.
class Process {
public:
    explicit Process(std::vector<std::string> args, uid_t uid = 0) {
        std::string log = LogPath();
        pid_ = fork();
        if (pid_ == 0) {
            FILE* err = std::freopen(log.c_str(), "w", stderr);
            if (err == nullptr || (uid != 0 && (setgid(uid) != 0 || setuid(uid) != 0)))
                _exit(127);
            std::vector<char*> argv{const_cast<char*>(LEVORA_DRIVER_BIN)};
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Process() {
        if (pid_ > 0 && !exited_)
            Stop(SIGKILL);
        std::remove(LogPath().c_str());
    }
    // Sends the signal and returns the exit status (128 + signal for a killed process).
    int Stop(int signal) {
        kill(pid_, signal);
        return Wait();
    }
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Stderr() const {
        std::ifstream file(LogPath());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    std::string LogPath() const {
        return "/tmp/levora-daemon-test-" + std::to_string(getpid()) + "-" +
               std::to_string(reinterpret_cast<uintptr_t>(this)) + ".log";
    }
    pid_t pid_ = -1;
    bool exited_ = false;
};

int RunToEnd(std::vector<std::string> args, std::string* err = nullptr) {
    Process p(std::move(args));
    int status = p.Wait();
    if (err != nullptr)
        *err = p.Stderr();
    return status;
}

class DriverDaemon : public testing::Test {
protected:
    DriverDaemon() { std::ofstream(config) << kConfig; }
    ~DriverDaemon() override {
        daemon.reset();
        std::error_code ignored;
        fs::remove_all(parent, ignored);
    }

    void StartDaemon() {
        daemon =
            std::make_unique<Process>(std::vector<std::string>{"--dir", dir, "--config", config});
        ASSERT_TRUE(WaitUntil([this] { return Probe(0) != kRateNoCard; })) << daemon->Stderr();
    }
    static bool WaitUntil(const std::function<bool()>& ready) {
        for (int i = 0; i < 250; ++i) {
            if (ready())
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    int32_t Probe(int slot, int32_t* kind = nullptr) {
        DeviceName name;
        return ProbeCard(device, name, slot, kind);
    }
    std::vector<uint8_t> ReadLevels(int slot) {
        DeviceName name;
        FormatDeviceName(slot, name);
        std::vector<uint8_t> block(driver_protocol::LayoutForSlot(slot).size);
        uint8_t request[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        EXPECT_TRUE(device.Request(name.data(), driver_protocol::IOCTL_READ_LEVELS, request,
                                   sizeof request, block.data(),
                                   static_cast<uint32_t>(block.size())));
        return block;
    }
    int Ctl(const std::string& command, std::string* err = nullptr) {
        std::vector<std::string> args{"ctl", "--dir", dir};
        std::istringstream words(command);
        for (std::string w; words >> w;)
            args.push_back(w);
        return RunToEnd(args, err);
    }

    static std::string MakeTempDir() {
        char pattern[] = "/tmp/levora-daemon-XXXXXX";
        return mkdtemp(pattern);
    }

    std::string parent = MakeTempDir();
    std::string dir = parent + "/driver";
    std::string config = parent + "/cards.conf";
    std::unique_ptr<Process> daemon;
    // A patient client: this checks the daemon, not how fast a loaded machine schedules it.
    SocketTransport transport{dir, 1s};
    ControlDevice device{transport};
};

TEST_F(DriverDaemon, ServesItsCardsThroughTheSocketTransport) {
    StartDaemon();
    EXPECT_EQ((fs::status(dir).permissions() & fs::perms::all), fs::perms::owner_all);
    int32_t kind = -1;
    EXPECT_EQ(Probe(0, &kind), kRateSingle);
    EXPECT_EQ(kind, 7);
    EXPECT_EQ(Probe(4, &kind), kRateSingle);
    EXPECT_EQ(kind, 1);
    for (int empty : {1, 2, 3, 5})
        EXPECT_EQ(Probe(empty), kRateNoCard) << empty;

    ReadLevels(0);
    std::this_thread::sleep_for(30ms);
    std::vector<uint8_t> madi = ReadLevels(0);
    uint32_t peakWord = little_endian::ReadU32(madi.data());
    EXPECT_NEAR((peakWord & driver_protocol::kPeakMagnitudeMask) * driver_protocol::kPeakScale, 0.5,
                0.005);
    EXPECT_NEAR(little_endian::ReadI64(madi.data() + 256) * driver_protocol::kMeanSquareScale,
                0.125, 0.003);
    EXPECT_EQ(little_endian::ReadU32(madi.data() + 4), 0u) << "input 2 is silent";

    // Kind 1: output channel 9 (logical pair 4) arrives at driver pair 8.
    std::this_thread::sleep_for(30ms);
    std::vector<uint8_t> kestrel = ReadLevels(4);
    EXPECT_EQ(little_endian::ReadU32(kestrel.data() + 624 + 4 * 16) & 0xF, 15u);
    EXPECT_EQ(little_endian::ReadU32(kestrel.data() + 624 + 4 * 8), 0u);
}

TEST_F(DriverDaemon, ControlCommandsPlugUnplugAndSwitchSpeed) {
    StartDaemon();
    EXPECT_EQ(Ctl("unplug 4"), 0);
    EXPECT_EQ(Probe(4), kRateNoCard);
    EXPECT_FALSE(fs::exists(dir + "/kestrelOut13"));
    EXPECT_EQ(Ctl("plug 4"), 0);
    EXPECT_EQ(Probe(4), kRateSingle);
    EXPECT_EQ(Ctl("speed 4 double"), 0);
    EXPECT_EQ(Probe(4), kRateDouble);
    EXPECT_EQ(Ctl("plug 5 3 quad"), 0);
    int32_t kind = -1;
    EXPECT_EQ(Probe(5, &kind), kRateQuad);
    EXPECT_EQ(kind, 3);
    std::string err;
    EXPECT_EQ(Ctl("speed 4 quad", &err), 1);
    EXPECT_EQ(err, "levora-driver: error: kind 1 has no quad speed (only kinds 2..5 have)\n");
    EXPECT_EQ(Probe(4), kRateDouble);
}

TEST_F(DriverDaemon, StopsOnSigtermAndRemovesItsSockets) {
    StartDaemon();
    EXPECT_EQ(daemon->Stop(SIGTERM), 0);
    EXPECT_TRUE(fs::is_empty(dir)) << fs::directory_iterator(dir)->path();
    EXPECT_EQ(daemon->Stderr(),
              "levora-driver: serving 2 cards in " + dir + "\nlevora-driver: stopped\n");
    EXPECT_EQ(Probe(0), kRateNoCard);
}

TEST_F(DriverDaemon, StopsOnSigintToo) {
    StartDaemon();
    EXPECT_EQ(daemon->Stop(SIGINT), 0);
    EXPECT_FALSE(fs::exists(dir + "/madiOut0"));
}

TEST_F(DriverDaemon, AKilledDriverFailsRequestsUntilItIsBackAgain) {
    StartDaemon();
    EXPECT_EQ(daemon->Stop(SIGKILL), 128 + SIGKILL);
    EXPECT_TRUE(fs::exists(dir + "/madiOut0")) << "a killed driver leaves its sockets behind";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Probe(0), kRateNoCard);
        std::vector<uint8_t> block(2328, 0x5A);
        DeviceName name;
        FormatDeviceName(0, name);
        EXPECT_FALSE(device.Request(name.data(), driver_protocol::IOCTL_READ_LEVELS, "x", 1,
                                    block.data(), 2328));
        EXPECT_EQ(block[0], 0x5A);
    }
    StartDaemon();
    EXPECT_EQ(Probe(0), kRateSingle);
}

TEST_F(DriverDaemon, KilledWhilePollingFromAnotherThread) {
    StartDaemon();
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0}, failed{0};
    std::thread poller([&] {
        SocketTransport fast(dir); // the program's own 5 ms deadline
        ControlDevice fastDevice(fast);
        while (!stop) {
            DeviceName name;
            (ProbeCard(fastDevice, name, 0, nullptr) != kRateNoCard ? answered : failed)++;
        }
    });
    std::this_thread::sleep_for(100ms);
    daemon->Stop(SIGKILL);
    int failedBefore = failed;
    std::this_thread::sleep_for(100ms);
    EXPECT_GT(failed, failedBefore);
    StartDaemon();
    int answeredBefore = answered;
    EXPECT_TRUE(WaitUntil([&] { return answered > answeredBefore; }));
    stop = true;
    poller.join();
}

TEST_F(DriverDaemon, AClientThatSendsNothingHoldsNobodyUp) {
    StartDaemon();
    std::vector<unix_socket::UniqueFd> silent;
    for (int i = 0; i < 5; ++i) {
        silent.push_back(unix_socket::Connect(dir + "/madiOut0"));
        ASSERT_TRUE(silent.back().Valid());
    }
    SocketTransport quick(dir, 200ms);
    ControlDevice quickDevice(quick);
    DeviceName name;
    int32_t kind = -1;
    EXPECT_EQ(ProbeCard(quickDevice, name, 0, &kind), kRateSingle);
    EXPECT_EQ(kind, 7);
}

TEST_F(DriverDaemon, ASecondDriverOnTheSameDirectoryIsRefused) {
    StartDaemon();
    std::string err;
    EXPECT_EQ(RunToEnd({"--dir", dir}, &err), 1);
    EXPECT_EQ(err, "levora-driver: another levora-driver serves " + dir + "\n");
    EXPECT_EQ(Probe(0), kRateSingle);
}

TEST_F(DriverDaemon, RefusesADirectoryOpenToOthers) {
    fs::create_directory(dir);
    chmod(dir.c_str(), 0755);
    std::string err;
    EXPECT_EQ(RunToEnd({"--dir", dir}, &err), 1);
    EXPECT_EQ(err,
              "levora-driver: " + dir + " is open to group or others (mode 0755, needs 0700)\n");
}

TEST_F(DriverDaemon, RefusesPeersOfAnotherUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run the driver as another user";
    constexpr uid_t kNobody = 65534;
    chown(parent.c_str(), kNobody, kNobody);
    daemon = std::make_unique<Process>(
        std::vector<std::string>{"--dir", dir, "--card", "0:7:single"}, kNobody);
    ASSERT_TRUE(WaitUntil([this] { return fs::exists(dir + "/madiOut0"); }));
    unix_socket::UniqueFd fd = unix_socket::Connect(dir + "/madiOut0");
    ASSERT_TRUE(fd.Valid());
    std::string reply;
    EXPECT_TRUE(
        unix_socket::ReceiveUntilClosed(fd.Get(), reply, 100, unix_socket::Clock::now() + 2s));
    EXPECT_EQ(reply, "") << "closed without an answer";
    EXPECT_TRUE(WaitUntil([this] {
        return daemon->Stderr().find("refused a connection from another user") != std::string::npos;
    }));
}

struct CommandLineCase {
    std::vector<std::string> args;
    int status;
    const char* stderrText;
};

class DriverCommandLine : public DriverDaemon,
                          public testing::WithParamInterface<CommandLineCase> {};

TEST_P(DriverCommandLine, ReportsMistakesBeforeServing) {
    auto substitute = [this](std::string text) {
        for (auto [name, value] : {std::pair{"CONFIG", config}, std::pair{"DIR", dir}}) {
            for (auto at = text.find(name); at != std::string::npos; at = text.find(name))
                text.replace(at, std::strlen(name), value);
        }
        return text;
    };
    std::vector<std::string> args;
    for (const std::string& a : GetParam().args)
        args.push_back(substitute(a));
    std::ofstream(config, std::ios::app) << "signal 4 all 3 sine 1000\n";
    std::string err;
    EXPECT_EQ(RunToEnd(args, &err), GetParam().status);
    EXPECT_EQ(err, substitute(GetParam().stderrText));
    EXPECT_FALSE(fs::exists(dir + "/control"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, DriverCommandLine,
    testing::Values(
        CommandLineCase{{"--bogus"},
                        2,
                        "levora-driver: unknown option '--bogus'\nTry 'levora-driver --help'.\n"},
        CommandLineCase{{"--card", "3:7:single"},
                        2,
                        "levora-driver: kind 7 cannot sit in slot 3 (slots 0..2 take kind 7, "
                        "slots 3..5 kinds 0..6)\nTry 'levora-driver --help'.\n"},
        CommandLineCase{{"--dir", "DIR", "--config", "CONFIG"},
                        1,
                        "levora-driver: CONFIG: line 8: wrong arguments for sine (usage: sine "
                        "FREQ DBFS)\n"},
        CommandLineCase{{"ctl", "--dir", "DIR", "list"},
                        1,
                        "levora-driver: no driver to talk to: DIR does not exist\n"}));

TEST(DriverHelp, PrintsTheUsageAndExitsZero) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        execl(LEVORA_DRIVER_BIN, LEVORA_DRIVER_BIN, "--help", nullptr);
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(text.starts_with("Usage: levora-driver")) << text;
    for (const char* topic : {"--config FILE", "--card SLOT:KIND:SPEED", "--dir DIR",
                              "--deadline MS", "plug SLOT", "sine FREQ DBFS"})
        EXPECT_NE(text.find(topic), std::string::npos) << topic;
}

} // namespace
