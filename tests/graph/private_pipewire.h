#pragma once

#include <cstdlib>
#include <string>

// The tests' own PipeWire server (tests/graph/pipewire_server.sh) in a runtime directory made
// for this test process; PIPEWIRE_RUNTIME_DIR points this process and its children there, so
// no client of the test can reach the user's server.
namespace pipewiretest {

class PrivatePipeWire {
public:
    PrivatePipeWire() {
        std::string pattern = "/tmp/levora-pw.XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            dir_ = pattern;
        setenv("PIPEWIRE_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        unsetenv("PIPEWIRE_REMOTE");
    }
    ~PrivatePipeWire() {
        Stop();
        std::system(("rm -rf " + dir_).c_str());
    }
    PrivatePipeWire(const PrivatePipeWire&) = delete;
    PrivatePipeWire& operator=(const PrivatePipeWire&) = delete;

    const std::string& Dir() const { return dir_; }
    bool Start(int rate) { return Script("start " + dir_ + " " + std::to_string(rate)); }
    bool Stop() { return Script("stop " + dir_); }

private:
    bool Script(const std::string& args) {
        std::string command = std::string("bash ") + LEVORA_PIPEWIRE_SERVER_SCRIPT + " " + args;
        return !dir_.empty() && std::system(command.c_str()) == 0;
    }
    std::string dir_;
};

} // namespace pipewiretest
