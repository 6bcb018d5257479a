#include "driver/signal_source.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace sim {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kToneFrequency = 1000;
constexpr double kBurstBedDb = -20;
constexpr int kEnvelopeBlock = 128; // samples between two updates of a moving level

double DbToLinear(double db) {
    return std::pow(10.0, db / 20);
}

// A sine that starts at the phase of sample `first` and steps by rotation: one complex
// multiplication per sample instead of a sin() call.
class Oscillator {
public:
    Oscillator(double frequency, int rate, int64_t first) {
        double cycles = frequency * static_cast<double>(first) / rate;
        double phase = kTwoPi * (cycles - std::floor(cycles));
        cos_ = std::cos(phase);
        sin_ = std::sin(phase);
        double step = kTwoPi * frequency / rate;
        stepCos_ = std::cos(step);
        stepSin_ = std::sin(step);
    }
    double Next() {
        double value = sin_;
        double c = cos_ * stepCos_ - sin_ * stepSin_;
        sin_ = sin_ * stepCos_ + cos_ * stepSin_;
        cos_ = c;
        return value;
    }

private:
    double cos_, sin_, stepCos_, stepSin_;
};

// A stateless hash of (seed, sample), so noise needs no state and is the same however the
// reads split the time.
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

double UniformNoise(uint32_t seed, int64_t n) {
    uint64_t bits = Mix((static_cast<uint64_t>(seed) << 40) ^ static_cast<uint64_t>(n));
    return static_cast<double>(bits >> 11) * 0x1.0p-52 - 1.0; // [-1, 1)
}

double UnitFraction(uint32_t seed, uint32_t salt) {
    return static_cast<double>(Mix((static_cast<uint64_t>(seed) << 8) ^ salt) >> 11) * 0x1.0p-53;
}

// The one loop every signal goes through: peak, sum of squares and full-scale runs.
template <class NextSample>
void Accumulate(int64_t first, int64_t count, ChannelAccumulator& accumulator, NextSample&& next) {
    double peak = 0;
    double sum = 0;
    int run = accumulator.OpenRun();
    int longest = 0;
    for (int64_t n = first; n < first + count; ++n) {
        double x = std::clamp(next(n), -1.0, 1.0);
        double magnitude = std::fabs(x);
        peak = std::max(peak, magnitude);
        sum += x * x;
        if (magnitude >= 1.0) {
            run = std::min(run + 1, kMaxFullScaleCount);
            longest = std::max(longest, run);
        } else {
            run = 0;
        }
    }
    accumulator.Add(peak, sum, count, longest, run);
}

// A tone whose amplitude levelAt(seconds) is looked up once per envelope block.
template <class LevelAt>
void RenderModulatedTone(double frequency, int64_t first, int64_t count, int rate,
                         ChannelAccumulator& accumulator, LevelAt&& levelAt) {
    Oscillator tone(frequency, rate, first);
    double amplitude = 0;
    Accumulate(first, count, accumulator, [&](int64_t n) {
        if (n == first || n % kEnvelopeBlock == 0)
            amplitude = levelAt(static_cast<double>(n) / rate);
        return amplitude * tone.Next();
    });
}

// Counts through a period of samples, the first `length` of which are full scale; steps by
// one per sample so the sample loop needs no division.
class BurstClock {
public:
    BurstClock(int64_t first, int64_t period, int64_t offset, int length)
        : period_(std::max<int64_t>(period, 1)), position_((first + offset) % period_),
          length_(length) {}
    bool Next() {
        bool inBurst = position_ < length_;
        if (++position_ == period_)
            position_ = 0;
        return inBurst;
    }

private:
    int64_t period_;
    int64_t position_;
    int64_t length_;
};

// Per-channel character of the demo signal, drawn from the channel's seed.
struct DemoVoice {
    double frequency;
    double slowPeriod, slowPhase;
    double fastPeriod, fastPhase;
    double overPeriod, overOffset;
    int overLength;
};

DemoVoice MakeDemoVoice(uint32_t seed) {
    auto pick = [seed](uint32_t salt, double low, double high) {
        return low + (high - low) * UnitFraction(seed, salt);
    };
    return DemoVoice{
        pick(1, 150, 2500), pick(2, 3, 9),  pick(3, 0, kTwoPi), pick(4, 0.4, 1.5),
        pick(5, 0, kTwoPi), pick(6, 9, 25), pick(7, 0, 25),     static_cast<int>(pick(8, 3, 24))};
}

void RenderDemo(uint32_t seed, int64_t first, int64_t count, int rate,
                ChannelAccumulator& accumulator) {
    DemoVoice v = MakeDemoVoice(seed);
    Oscillator tone(v.frequency, rate, first);
    BurstClock over(first, static_cast<int64_t>(v.overPeriod * rate),
                    static_cast<int64_t>(v.overOffset * rate), v.overLength);
    double amplitude = 0;
    Accumulate(first, count, accumulator, [&](int64_t n) {
        if (n == first || n % kEnvelopeBlock == 0) {
            double t = static_cast<double>(n) / rate;
            double db = -22 + 13 * std::sin(kTwoPi * t / v.slowPeriod + v.slowPhase) +
                        6 * std::sin(kTwoPi * t / v.fastPeriod + v.fastPhase);
            amplitude = DbToLinear(db);
        }
        double x = amplitude * tone.Next();
        if (over.Next())
            return x < 0 ? -1.0 : 1.0;
        return x;
    });
}

struct Renderer {
    uint32_t seed;
    int64_t first;
    int64_t count;
    int rate;
    ChannelAccumulator& accumulator;

    void operator()(const Silence&) const { accumulator.Add(0, 0, count, 0, 0); }
    void operator()(const Sine& s) const {
        RenderModulatedTone(s.frequency, first, count, rate, accumulator,
                            [a = DbToLinear(s.levelDb)](double) { return a; });
    }
    void operator()(const Noise& s) const {
        double amplitude = DbToLinear(s.levelDb);
        uint32_t channelSeed = seed;
        Accumulate(first, count, accumulator,
                   [&](int64_t n) { return amplitude * UniformNoise(channelSeed, n); });
    }
    void operator()(const Sweep& s) const {
        RenderModulatedTone(kToneFrequency, first, count, rate, accumulator, [&s](double t) {
            double progress = std::fmod(t, s.seconds) / s.seconds;
            return DbToLinear(s.fromDb + (s.toDb - s.fromDb) * progress);
        });
    }
    void operator()(const Burst& s) const {
        Oscillator tone(kToneFrequency, rate, first);
        double bed = DbToLinear(kBurstBedDb);
        BurstClock burst(first, std::llround(s.period * rate), 0, s.length);
        Accumulate(first, count, accumulator, [&](int64_t) {
            double x = bed * tone.Next();
            return burst.Next() ? 1.0 : x;
        });
    }
    void operator()(const Demo&) const { RenderDemo(seed, first, count, rate, accumulator); }
};

struct Formatter {
    std::string operator()(const Silence&) const { return "silence"; }
    std::string operator()(const Sine& s) const {
        return "sine " + FormatNumber(s.frequency) + " " + FormatNumber(s.levelDb);
    }
    std::string operator()(const Noise& s) const { return "noise " + FormatNumber(s.levelDb); }
    std::string operator()(const Sweep& s) const {
        return "sweep " + FormatNumber(s.fromDb) + " " + FormatNumber(s.toDb) + " " +
               FormatNumber(s.seconds);
    }
    std::string operator()(const Burst& s) const {
        return "burst " + std::to_string(s.length) + " " + FormatNumber(s.period);
    }
    std::string operator()(const Demo&) const { return "demo"; }
};

} // namespace

std::string FormatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string FormatSignal(const SignalSpec& spec) {
    return std::visit(Formatter{}, spec);
}

void RenderSignal(const SignalSpec& spec, uint32_t seed, int64_t first, int64_t count, int rate,
                  ChannelAccumulator& accumulator) {
    if (count <= 0)
        return;
    std::visit(Renderer{seed, first, count, rate, accumulator}, spec);
}

} // namespace sim
