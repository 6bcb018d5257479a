#include "driver/card_config.h"

#include "driver/statement_parser.h"

namespace sim {

namespace {

constexpr std::string_view kEmbeddedConfig =
    R"(# The demo cards Levora serves itself when no driver runs.
card 0 kind 7 speed single
card 3 kind 0 speed single
card 4 kind 1 speed single
card 5 kind 2 speed double
signal 0 all all demo
signal 3 all all demo
signal 4 all all demo
signal 5 all all demo
)";

// "card SLOT kind KIND speed MODE [unplugged]", the words after "card".
bool ParseCardWords(std::span<const std::string_view> words, int& slot, CardSetup& card,
                    std::string& error) {
    bool sized = words.size() == 5 || (words.size() == 6 && words[5] == "unplugged");
    if (!sized || words[1] != "kind" || words[3] != "speed") {
        error = "usage: card SLOT kind KIND speed single|double|quad [unplugged]";
        return false;
    }
    if (!ParseSlotWord(words[0], slot, error) || !ParseKindWord(words[2], card.kind, error) ||
        !ParseSpeedWord(words[4], card.speed, error))
        return false;
    error = CardProblem(slot, card.kind, card.speed);
    card.plugged = words.size() == 5;
    return error.empty();
}

// "graph SLOT jack|pipewire [SERVER]", the words after "graph".
bool ParseGraphWords(std::span<const std::string_view> words, int& slot, CardSetup& card,
                     std::string& error) {
    if (words.size() < 2 || words.size() > 3 || (words[1] != "jack" && words[1] != "pipewire")) {
        error = "usage: graph SLOT jack|pipewire [SERVER]";
        return false;
    }
    if (!ParseSlotWord(words[0], slot, error))
        return false;
    error = CardProblem(slot, kMadiCardKind, Speed::Single);
    GraphSetup graph;
    graph.backend = words[1] == "pipewire" ? GraphBackend::PipeWire : GraphBackend::Jack;
    if (words.size() == 3)
        graph.server = words[2];
    card.graph = std::move(graph);
    return error.empty();
}

// "tap SLOT BUS default | PORT...", the words after "tap".
bool ParseTapWords(std::span<const std::string_view> words, DriverConfig& config,
                   std::string& error) {
    int slot = 0;
    if (words.size() < 3) {
        error = "usage: tap SLOT input|playback|output default | PORT... | NODE";
        return false;
    }
    if (!ParseSlotWord(words[0], slot, error))
        return false;
    if (!config.cards[slot] || !config.cards[slot]->graph) {
        error =
            "slot " + std::to_string(slot) + " has no graph card (a graph line must come first)";
        return false;
    }
    int bus = 0;
    while (bus < driver_protocol::kBuses && words[1] != BusName(bus))
        ++bus;
    if (bus == driver_protocol::kBuses) {
        error = "unknown bus '" + std::string(words[1]) + "' (expected input, playback or output)";
        return false;
    }
    auto ports = words.subspan(2);
    if (ports.size() > size_t(driver_protocol::kMadiLayout.channelsPerBus)) {
        error = "a bus taps at most 64 ports";
        return false;
    }
    std::vector<std::string>& taps = config.cards[slot]->graph->taps[bus];
    taps.clear();
    if (ports.size() == 1 && ports[0] == "default")
        return true;
    if (config.cards[slot]->graph->backend == GraphBackend::PipeWire && ports.size() > 1) {
        error = "a PipeWire bus taps one node";
        return false;
    }
    taps.assign(ports.begin(), ports.end());
    return true;
}

bool ParseLine(std::string_view line, DriverConfig& config, std::string& error) {
    Words words = SplitWords(line);
    if (words.empty())
        return true;
    auto args = std::span<const std::string_view>(words).subspan(1);
    int slot = 0;
    if (words[0] == "card" || words[0] == "graph") {
        CardSetup card;
        bool parsed = words[0] == "card" ? ParseCardWords(args, slot, card, error)
                                         : ParseGraphWords(args, slot, card, error);
        if (!parsed)
            return false;
        if (config.cards[slot]) {
            error = "slot " + std::to_string(slot) + " already has a card";
            return false;
        }
        config.cards[slot] = std::move(card);
        return true;
    }
    if (words[0] == "tap")
        return ParseTapWords(args, config, error);
    if (words[0] == "signal") {
        SignalAssignment assignment;
        if (!ParseSignalWords(args, slot, assignment, error))
            return false;
        if (!config.cards[slot]) {
            error = "slot " + std::to_string(slot) + " has no card (a card line must come first)";
            return false;
        }
        if (config.cards[slot]->graph) {
            error = "slot " + std::to_string(slot) +
                    " holds a graph card: its signals come from the graph";
            return false;
        }
        config.cards[slot]->assignments.push_back(assignment);
        return true;
    }
    error =
        "unknown statement '" + std::string(words[0]) + "' (expected card, signal, graph or tap)";
    return false;
}

} // namespace

bool ParseDriverConfig(std::string_view text, DriverConfig& config, std::string& error) {
    DriverConfig parsed;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        std::string problem;
        if (!ParseLine(line, parsed, problem)) {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
    }
    config = std::move(parsed);
    return true;
}

std::string CardProblem(int slot, int kind, Speed speed) {
    if (!KindFitsSlot(kind, slot)) {
        return "kind " + std::to_string(kind) + " cannot sit in slot " + std::to_string(slot) +
               " (slots 0..2 take kind 7, slots 3..5 kinds 0..6)";
    }
    if (!SpeedIsReportable(kind, speed))
        return "kind " + std::to_string(kind) + " has no quad speed (only kinds 2..5 have)";
    return "";
}

std::string_view EmbeddedConfigText() {
    return kEmbeddedConfig;
}

DriverConfig EmbeddedConfig() {
    DriverConfig config;
    std::string error;
    ParseDriverConfig(kEmbeddedConfig, config, error);
    return config;
}

} // namespace sim
