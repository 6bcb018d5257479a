#include "driver/control_commands.h"

#include "driver/statement_parser.h"

namespace sim {

namespace {

constexpr std::string_view kOk = "ok\n";

bool Run(const Words& words, SimDriver& driver, std::string& output, std::string& error) {
    auto args = std::span<const std::string_view>(words).subspan(1);
    std::string_view command = words[0];
    int slot = 0;
    if (command == "list" && args.empty()) {
        output = driver.Describe();
        return true;
    }
    if (command == "plug" && (args.size() == 1 || args.size() == 3)) {
        if (!ParseSlotWord(args[0], slot, error))
            return false;
        if (args.size() == 1)
            return driver.Plug(slot, error);
        int kind = 0;
        Speed speed = Speed::Single;
        return ParseKindWord(args[1], kind, error) && ParseSpeedWord(args[2], speed, error) &&
               driver.PlugNew(slot, kind, speed, error);
    }
    if (command == "unplug" && args.size() == 1)
        return ParseSlotWord(args[0], slot, error) && driver.Unplug(slot, error);
    if (command == "speed" && args.size() == 2) {
        Speed speed = Speed::Single;
        return ParseSlotWord(args[0], slot, error) && ParseSpeedWord(args[1], speed, error) &&
               driver.SetSpeed(slot, speed, error);
    }
    if (command == "signal") {
        SignalAssignment assignment;
        return ParseSignalWords(args, slot, assignment, error) &&
               driver.SetSignal(slot, assignment, error);
    }
    error = "usage: list | plug SLOT [KIND SPEED] | unplug SLOT | speed SLOT MODE | "
            "signal SLOT BUS CHANNELS SOURCE [ARGS]";
    return false;
}

} // namespace

std::string RunControlCommand(std::string_view line, SimDriver& driver) {
    Words words = SplitWords(line);
    std::string output;
    std::string error;
    if (words.empty())
        error = "empty command";
    else if (Run(words, driver, output, error))
        return output + std::string(kOk);
    return output + "error: " + error + "\n";
}

bool ReplySucceeded(std::string_view reply) {
    return reply.ends_with(kOk) &&
           (reply.size() == kOk.size() || reply[reply.size() - kOk.size() - 1] == '\n');
}

} // namespace sim
