#pragma once

#include "tests/graph/child_process.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

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

} // namespace jacktest
