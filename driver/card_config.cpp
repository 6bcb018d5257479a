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

bool ParseLine(std::string_view line, DriverConfig& config, std::string& error) {
    Words words = SplitWords(line);
    if (words.empty())
        return true;
    auto args = std::span<const std::string_view>(words).subspan(1);
    int slot = 0;
    if (words[0] == "card") {
        CardSetup card;
        if (!ParseCardWords(args, slot, card, error))
            return false;
        if (config.cards[slot]) {
            error = "slot " + std::to_string(slot) + " already has a card";
            return false;
        }
        config.cards[slot] = std::move(card);
        return true;
    }
    if (words[0] == "signal") {
        SignalAssignment assignment;
        if (!ParseSignalWords(args, slot, assignment, error))
            return false;
        if (!config.cards[slot]) {
            error = "slot " + std::to_string(slot) + " has no card (a card line must come first)";
            return false;
        }
        config.cards[slot]->assignments.push_back(assignment);
        return true;
    }
    error = "unknown statement '" + std::string(words[0]) + "' (expected card or signal)";
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
