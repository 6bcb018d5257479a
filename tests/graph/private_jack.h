#pragma once

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// The tests' own JACK server (tests/graph/jack_server.sh) and the tone client that plays into
// it. The lock file makes tests that run at once take turns for the one server name.
namespace jacktest {

inline constexpr const char* kServer = "levora-test";

class PrivateJack {
public:
    PrivateJack() : pidFile_(std::string(LEVORA_TEST_TMP) + "/levora-test-jackd.pid") {
        lock_ = open(LEVORA_JACK_LOCK, O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        flock(lock_, LOCK_EX);
    }
    ~PrivateJack() {
        Stop();
        close(lock_);
    }
    bool Start(int rate) { return Script("start " + std::to_string(rate) + " " + pidFile_); }
    bool Stop() { return Script("stop " + pidFile_); }

private:
    bool Script(const std::string& args) {
        std::string command = std::string("bash ") + LEVORA_JACK_SERVER_SCRIPT + " " + args;
        return std::system(command.c_str()) == 0;
    }
    std::string pidFile_;
    int lock_ = -1;
};

// A child process, ended with SIGTERM and awaited when the object goes.
class Child {
public:
    explicit Child(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

private:
    pid_t pid_ = -1;
};

} // namespace jacktest
