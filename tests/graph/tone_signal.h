#pragma once

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

// The known signals the tests' tone clients play, one voice per channel:
//   CHANNEL:sine:AMPLITUDE   a 1 kHz sine, for example 3:sine:0.5
//   CHANNEL:burst            100 full-scale samples of alternating sign every 0.1 s
namespace tonetest {

struct Voice {
    int channel = 0; // from 1
    bool burst = false;
    double amplitude = 0;
};

// With LEVORA_TONE_HELD set a client plays silence until SIGUSR1: a benchmark starts the
// signal at a moment it knows.
inline std::atomic<bool> held{false};

inline void HoldUntilSignalled() {
    if (std::getenv("LEVORA_TONE_HELD") == nullptr)
        return;
    held = true;
    std::signal(SIGUSR1, [](int) { held = false; });
}

inline float Sample(const Voice& voice, uint64_t frame, int rate) {
    if (held.load(std::memory_order_relaxed))
        return 0.0f;
    if (voice.burst) {
        uint64_t position = frame % uint64_t(rate / 10);
        return position < 100 ? (position % 2 ? -1.0f : 1.0f) : 0.0f;
    }
    double phase = 2 * std::numbers::pi * 1000 * double(frame % uint64_t(rate)) / rate;
    return float(voice.amplitude * std::sin(phase));
}

inline bool ParseVoice(const std::string& text, Voice& voice) {
    size_t first = text.find(':');
    if (first == std::string::npos)
        return false;
    voice.channel = std::atoi(text.substr(0, first).c_str());
    std::string rest = text.substr(first + 1);
    if (rest == "burst") {
        voice.burst = true;
    } else if (rest.rfind("sine:", 0) == 0) {
        voice.amplitude = std::atof(rest.substr(5).c_str());
    } else {
        return false;
    }
    return voice.channel >= 1;
}

} // namespace tonetest
