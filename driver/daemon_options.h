#pragma once

#include "driver/card_config.h"

#include <string>
#include <string_view>
#include <vector>

// The command line of levora-driver: serve cards, or send one control command to a running
// driver.
namespace sim {

struct CardFlag {
    int slot = 0;
    int kind = 0;
    Speed speed = Speed::Single;
};

struct DaemonOptions {
    std::string configFile;
    std::vector<CardFlag> cards;
    std::string directory; // empty: the default driver directory
    int clientTimeoutMs = 1000;
};

struct CtlOptions {
    std::string directory;
    std::string command; // the words after "ctl", joined by blanks
};

enum class Mode { Serve, Ctl, Help };

struct CommandLine {
    Mode mode = Mode::Serve;
    DaemonOptions serve;
    CtlOptions ctl;
};

bool ParseCommandLine(const std::vector<std::string_view>& args, CommandLine& commandLine,
                      std::string& error);

// The cards to serve: the file's, then the --card flags (a flag replaces the model and speed
// of a card the file already puts in its slot and keeps its signals); the demo cards when
// there is neither a file nor a flag.
bool BuildDaemonConfig(const DaemonOptions& options, DriverConfig& config, std::string& error);

std::string_view UsageText();

} // namespace sim
