#pragma once

#include "driver/channel_level.h"

#include <cstdint>
#include <string>
#include <variant>

// The test signals a simulated channel can carry. Every signal is a function of the sample
// index, so a channel renders the same samples however its reads split the time.
namespace sim {

struct Silence {
    bool operator==(const Silence&) const = default;
};
struct Sine {
    double frequency = 1000; // Hz
    double levelDb = -20;    // peak level in dBFS; above 0 clips into full-scale runs
    bool operator==(const Sine&) const = default;
};
struct Noise {
    double levelDb = -20; // peak level of white noise in dBFS
    bool operator==(const Noise&) const = default;
};
// A 1 kHz tone whose level moves from fromDb to toDb in `seconds`, then starts again.
struct Sweep {
    double fromDb = -60;
    double toDb = 0;
    double seconds = 10;
    bool operator==(const Sweep&) const = default;
};
// A 1 kHz tone at -20 dBFS with `length` consecutive full-scale samples every `period` s.
struct Burst {
    int length = 20;
    double period = 1;
    bool operator==(const Burst&) const = default;
};
// Moving levels that differ from channel to channel, with an over now and then.
struct Demo {
    bool operator==(const Demo&) const = default;
};

using SignalSpec = std::variant<Silence, Sine, Noise, Sweep, Burst, Demo>;

// A number as the configuration writes it: shortest form, "-6", "0.5", "1000".
std::string FormatNumber(double value);

// The signal as the configuration writes it, for example "sine 1000 -6".
std::string FormatSignal(const SignalSpec& spec);

// Adds the samples [first, first + count) of one channel, sampled at `rate`, to the
// accumulator. `seed` tells the channels apart (noise, demo).
void RenderSignal(const SignalSpec& spec, uint32_t seed, int64_t first, int64_t count, int rate,
                  ChannelAccumulator& accumulator);

// sin(2π·turns) to within 1e-9, several times faster than std::sin: the demo's level swings
// are looked up for every block of every channel of every card, and a meter shows tenths of
// a decibel.
double SinOfTurns(double turns);

} // namespace sim
