#include "driver/statement_parser.h"

#include <charconv>

namespace sim {

namespace dp = driver_protocol;

namespace {

constexpr double kMinDb = -150;
constexpr double kMaxDb = 20; // above full scale: the tone clips into full-scale runs
constexpr double kMaxFrequency = 20000;
constexpr int kMaxBurstLength = 100000;

std::string Quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

bool ParseNumber(std::string_view word, double& value) {
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && !word.empty();
}

bool ParseInteger(std::string_view word, int& value) {
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && !word.empty();
}

bool ParseInRange(std::string_view word, double low, double high, const char* what, double& value,
                  std::string& error) {
    if (!ParseNumber(word, value) || value < low || value > high) {
        error = std::string(what) + " must be a number from " + FormatNumber(low) + " to " +
                FormatNumber(high) + ", not " + Quoted(word);
        return false;
    }
    return true;
}

bool ParseBusWord(std::string_view word, SignalTarget& target, std::string& error) {
    if (word == "all") {
        target.firstBus = 0;
        target.lastBus = dp::kBuses - 1;
        return true;
    }
    for (int bus = 0; bus < dp::kBuses; ++bus) {
        if (word == BusName(bus) || word == std::to_string(bus)) {
            target.firstBus = target.lastBus = bus;
            return true;
        }
    }
    error = "unknown bus " + Quoted(word) + " (expected input, playback, output or all)";
    return false;
}

// "N", "N-M" or "all", numbered from 1; stored from 0.
bool ParseChannelsWord(std::string_view word, int channels, SignalTarget& target,
                       std::string& error) {
    if (word == "all") {
        target.firstChannel = 0;
        target.lastChannel = channels - 1;
        return true;
    }
    auto dash = word.find('-');
    std::string_view firstWord = word.substr(0, dash);
    std::string_view lastWord = dash == std::string_view::npos ? firstWord : word.substr(dash + 1);
    int first = 0;
    int last = 0;
    if (!ParseInteger(firstWord, first) || !ParseInteger(lastWord, last) || first < 1 ||
        last < first || last > channels) {
        error = "channels must be N, N-M or all with 1 <= N <= M <= " + std::to_string(channels) +
                ", not " + Quoted(word);
        return false;
    }
    target.firstChannel = first - 1;
    target.lastChannel = last - 1;
    return true;
}

bool ExpectArgs(std::string_view source, std::span<const std::string_view> args,
                std::initializer_list<size_t> allowed, const char* usage, std::string& error) {
    for (size_t n : allowed) {
        if (args.size() == n)
            return true;
    }
    error = "wrong arguments for " + std::string(source) + " (usage: " + usage + ")";
    return false;
}

bool ParseSource(std::span<const std::string_view> words, SignalSpec& spec, std::string& error) {
    std::string_view source = words.front();
    auto args = words.subspan(1);
    if (source == "silence" || source == "demo") {
        if (!ExpectArgs(source, args, {0}, source == "silence" ? "silence" : "demo", error))
            return false;
        spec = source == "silence" ? SignalSpec(Silence{}) : SignalSpec(Demo{});
        return true;
    }
    if (source == "sine") {
        Sine sine;
        if (!ExpectArgs(source, args, {2}, "sine FREQ DBFS", error) ||
            !ParseInRange(args[0], 1, kMaxFrequency, "frequency", sine.frequency, error) ||
            !ParseInRange(args[1], kMinDb, kMaxDb, "level", sine.levelDb, error))
            return false;
        spec = sine;
        return true;
    }
    if (source == "noise") {
        Noise noise;
        if (!ExpectArgs(source, args, {1}, "noise DBFS", error) ||
            !ParseInRange(args[0], kMinDb, kMaxDb, "level", noise.levelDb, error))
            return false;
        spec = noise;
        return true;
    }
    if (source == "sweep") {
        Sweep sweep;
        if (!ExpectArgs(source, args, {0, 3}, "sweep [FROM TO SECONDS]", error))
            return false;
        if (args.size() == 3 &&
            (!ParseInRange(args[0], kMinDb, kMaxDb, "sweep start", sweep.fromDb, error) ||
             !ParseInRange(args[1], kMinDb, kMaxDb, "sweep end", sweep.toDb, error) ||
             !ParseInRange(args[2], 0.1, 3600, "sweep time", sweep.seconds, error)))
            return false;
        spec = sweep;
        return true;
    }
    if (source == "burst") {
        Burst burst;
        double length = burst.length;
        if (!ExpectArgs(source, args, {0, 1, 2}, "burst [LENGTH [PERIOD]]", error) ||
            (args.size() >= 1 &&
             !ParseInRange(args[0], 1, kMaxBurstLength, "burst length", length, error)) ||
            (args.size() == 2 &&
             !ParseInRange(args[1], 0.01, 3600, "burst period", burst.period, error)))
            return false;
        burst.length = static_cast<int>(length);
        spec = burst;
        return true;
    }
    error = "unknown source " + Quoted(source) +
            " (expected silence, sine, noise, sweep, burst or demo)";
    return false;
}

} // namespace

Words SplitWords(std::string_view line) {
    line = line.substr(0, line.find('#'));
    Words words;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t start = line.find_first_not_of(" \t\r", pos);
        if (start == std::string_view::npos)
            break;
        size_t end = line.find_first_of(" \t\r", start);
        if (end == std::string_view::npos)
            end = line.size();
        words.push_back(line.substr(start, end - start));
        pos = end;
    }
    return words;
}

bool ParseSlotWord(std::string_view word, int& slot, std::string& error) {
    if (!ParseInteger(word, slot) || slot < 0 || slot >= dp::kCardSlots) {
        error = "slot must be 0..5, not " + Quoted(word);
        return false;
    }
    return true;
}

bool ParseKindWord(std::string_view word, int& kind, std::string& error) {
    if (!ParseInteger(word, kind) || kind < kMinKind || kind > kMaxKind) {
        error = "kind must be 0..7, not " + Quoted(word);
        return false;
    }
    return true;
}

bool ParseSpeedWord(std::string_view word, Speed& speed, std::string& error) {
    auto parsed = ParseSpeed(word);
    if (!parsed) {
        error = "speed must be single, double or quad, not " + Quoted(word);
        return false;
    }
    speed = *parsed;
    return true;
}

bool ParseSignalWords(std::span<const std::string_view> words, int& slot,
                      SignalAssignment& assignment, std::string& error) {
    if (words.size() < 4) {
        error = "usage: signal SLOT BUS CHANNELS SOURCE [ARGS]";
        return false;
    }
    if (!ParseSlotWord(words[0], slot, error))
        return false;
    int channels = dp::LayoutForSlot(slot).channelsPerBus;
    return ParseBusWord(words[1], assignment.target, error) &&
           ParseChannelsWord(words[2], channels, assignment.target, error) &&
           ParseSource(words.subspan(3), assignment.spec, error);
}

} // namespace sim
