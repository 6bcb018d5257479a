#include "driver/daemon_options.h"

#include "driver/statement_parser.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

constexpr std::string_view kUsage =
    R"(Usage: levora-driver [--config FILE] [--card SLOT:KIND:SPEED]... [--dir DIR]
                     [--deadline MS]
       levora-driver ctl [--dir DIR] COMMAND
       levora-driver --help

The stand-in card driver of Levora: simulated audio cards in up to six slots that answer
the card-information and level requests of the program over Unix-domain sockets, one
socket per card (madiOut0, madiOut32, madiOut64, kestrelOut0, kestrelOut13, kestrelOut26)
and a control socket "control" in the driver directory.

Options:
  --config FILE           the cards and their signals (format below)
  --card SLOT:KIND:SPEED  a card of model KIND in SLOT, speed single, double or quad, for
                          example --card 4:1:double; repeatable; replaces the model and
                          speed of a card the configuration file puts in that slot
  --dir DIR               the driver directory (default: $LEVORA_DRIVER_DIR, else
                          $XDG_RUNTIME_DIR/levora-driver, else levora-driver-UID in the
                          temporary directory)
  --deadline MS           close a connection that has not sent its request and taken its
                          reply within MS milliseconds (default 1000)
  --help                  this text

Without --config and --card the driver serves the cards of the user's configuration file,
$XDG_CONFIG_HOME/levora/cards.conf (~/.config/levora/cards.conf), when it exists, and
otherwise the demo cards that Levora also shows on its own: a MADI card (kind 7) in slot 0
and Kestrel cards of kinds 0, 1 and 2 in slots 3 to 5.
The directory is created with mode 0700; one that belongs to another user or is open to
group or others is refused, and so are connections from other users. SIGTERM or SIGINT
removes the sockets and stops the driver.

Card models: slots 0..2 take kind 7 (MADI), slots 3..5 kinds 0..6 (Kestrel). Quad speed
exists for kinds 2..5 only.

Configuration file, one statement per line, '#' starts a comment:
  card SLOT kind KIND speed single|double|quad [unplugged]
  signal SLOT BUS CHANNELS SOURCE [ARGS]
BUS is input, playback, output or all; CHANNELS is N, N-M or all, counted from 1 as Levora
names them (up to 64 on a MADI card, 26 on a Kestrel card). A card starts with demo on
every channel; later signal lines win. Sources:
  silence
  sine FREQ DBFS             a tone; above 0 dBFS it clips into full-scale runs
  noise DBFS                 white noise with that peak level
  sweep [FROM TO SECONDS]    a 1 kHz tone rising from FROM to TO dBFS (-60 0 10)
  burst [LENGTH [PERIOD]]    LENGTH full-scale samples every PERIOD seconds over a
                             -20 dBFS tone (20 1)
  demo                       moving levels with an over now and then

A graph card meters a live PipeWire or JACK graph instead (a MADI card, kind 7, slots
0..2):
  graph SLOT pipewire [REMOTE]
  graph SLOT jack [SERVER]
  tap SLOT input|playback|output default | NODE | PORT...
On PipeWire it records a capture stream per bus (nodes levora.input, levora.playback):
Input the default source, Playback the monitor of the default sink, Output the same as
Playback (PipeWire has no separate tap behind the device); a tap line names one node (a
source, or a sink whose monitor it records). Channel N is the node's channel N, up to 64.
On JACK it is a client "levora" with the input ports input_1..64, playback_1..64 and
output_1..64, and answers while the server runs: after a server stop or restart it leaves
its slot and comes back by itself. Its speed follows the graph's rate (up to 48 kHz single,
above double). By default Input taps the physical capture ports, Playback and Output what
feeds the physical playback ports (JACK has no separate output tap). A tap line names the
ports of a bus channel by channel; a port that plays into a device (system:playback_1)
stands for the ports that feed it. Connections made or broken while it runs are followed.

Control commands (levora-driver ctl COMMAND):
  list                              the slots, their cards and signals; for a graph
                                    card its server, rate, period and tapped ports
  plug SLOT [KIND SPEED]            plug the slot's card back in, or a new card
  unplug SLOT                       pull the card out of the slot
  speed SLOT single|double|quad     switch the card's speed mode
  signal SLOT BUS CHANNELS SOURCE [ARGS]
                                    change the signal of some channels
)";

bool ParseCardFlag(std::string_view text, CardFlag& card, std::string& error) {
    auto first = text.find(':');
    auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) {
        error = "--card wants SLOT:KIND:SPEED, not '" + std::string(text) + "'";
        return false;
    }
    if (!ParseSlotWord(text.substr(0, first), card.slot, error) ||
        !ParseKindWord(text.substr(first + 1, second - first - 1), card.kind, error) ||
        !ParseSpeedWord(text.substr(second + 1), card.speed, error))
        return false;
    error = CardProblem(card.slot, card.kind, card.speed);
    return error.empty();
}

bool ParseMilliseconds(std::string_view text, int& value, std::string& error) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 600000) {
        error = "--deadline wants milliseconds from 1 to 600000, not '" + std::string(text) + "'";
        return false;
    }
    return true;
}

bool ParseCtl(const std::vector<std::string_view>& args, CtlOptions& ctl, std::string& error) {
    size_t i = 1;
    if (i + 1 < args.size() && args[i] == "--dir") {
        ctl.directory = args[i + 1];
        i += 2;
    }
    for (; i < args.size(); ++i)
        ctl.command += (ctl.command.empty() ? "" : " ") + std::string(args[i]);
    if (ctl.command.empty()) {
        error = "ctl wants a command: list, plug, unplug, speed or signal";
        return false;
    }
    return true;
}

} // namespace

bool ParseCommandLine(const std::vector<std::string_view>& args, CommandLine& commandLine,
                      std::string& error) {
    if (!args.empty() && args[0] == "ctl") {
        commandLine.mode = Mode::Ctl;
        return ParseCtl(args, commandLine.ctl, error);
    }
    DaemonOptions& serve = commandLine.serve;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            commandLine.mode = Mode::Help;
            return true;
        }
        bool takesValue =
            arg == "--config" || arg == "--card" || arg == "--dir" || arg == "--deadline";
        if (!takesValue) {
            error = "unknown option '" + std::string(arg) + "'";
            return false;
        }
        if (i + 1 == args.size()) {
            error = std::string(arg) + " wants a value";
            return false;
        }
        std::string_view value = args[++i];
        if (arg == "--config") {
            serve.configFile = value;
        } else if (arg == "--dir") {
            serve.directory = value;
        } else if (arg == "--deadline") {
            if (!ParseMilliseconds(value, serve.clientTimeoutMs, error))
                return false;
        } else {
            CardFlag card;
            if (!ParseCardFlag(value, card, error))
                return false;
            serve.cards.push_back(card);
        }
    }
    return true;
}

bool BuildDaemonConfig(const DaemonOptions& options, DriverConfig& config, std::string& error) {
    if (options.configFile.empty() && options.cards.empty()) {
        config = EmbeddedConfig();
        return true;
    }
    config = DriverConfig();
    if (!options.configFile.empty()) {
        std::ifstream file(options.configFile);
        if (!file) {
            error = options.configFile + ": cannot read it";
            return false;
        }
        std::stringstream text;
        text << file.rdbuf();
        if (!ParseDriverConfig(text.str(), config, error)) {
            error = options.configFile + ": " + error;
            return false;
        }
    }
    for (const CardFlag& card : options.cards) {
        auto& slot = config.cards[card.slot];
        if (!slot)
            slot.emplace();
        slot->kind = card.kind;
        slot->speed = card.speed;
    }
    return true;
}

std::string_view UsageText() {
    return kUsage;
}

} // namespace sim
