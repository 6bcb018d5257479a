#include "driver/signal_source.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

namespace sim {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kToneFrequency = 1000;
constexpr double kBurstBedDb = -20;
// Samples are made and summed in blocks aligned to multiples of this; a moving level changes
// once per block.
constexpr int kBlock = 512;
constexpr double kNepersPerDb = std::numbers::ln10 / 20; // exp(dB · this) = 10^(dB / 20)
constexpr int kLanes = 4; // independent chains, so the loops do not wait on one addition

double DbToLinear(double db) {
    return std::exp(db * kNepersPerDb);
}

// Fills blocks with a sine. The phase of each block's first sample is computed afresh, so
// nothing drifts and a block is the same however the reads split the time; inside the block
// four interleaved rotations replace the sin() calls.
class Tone {
public:
    Tone(double frequency, int rate) : frequency_(frequency), rate_(rate) {
        double step = kTwoPi * frequency / rate;
        for (int k = 0; k <= kLanes; ++k) {
            laneCos_[k] = std::cos(k * step);
            laneSin_[k] = std::sin(k * step);
        }
    }
    // Writes `length` samples from sample n on, rounded up to whole lanes.
    void Fill(int64_t n, int length, double amplitude, double* out) const {
        // Whole seconds apart from the rest, so the phase stays exact however long it runs.
        double wholeSeconds = frequency_ * static_cast<double>(n / rate_);
        double cycles = (wholeSeconds - std::floor(wholeSeconds)) +
                        frequency_ * static_cast<double>(n % rate_) / rate_;
        double phase = kTwoPi * (cycles - std::floor(cycles));
        double c0 = std::cos(phase);
        double s0 = std::sin(phase);
        double c[kLanes], s[kLanes];
        for (int k = 0; k < kLanes; ++k) {
            c[k] = c0 * laneCos_[k] - s0 * laneSin_[k];
            s[k] = s0 * laneCos_[k] + c0 * laneSin_[k];
        }
        for (int i = 0; i < length; i += kLanes) {
            for (int k = 0; k < kLanes; ++k) {
                out[i + k] = amplitude * s[k];
                double next = c[k] * laneCos_[kLanes] - s[k] * laneSin_[kLanes];
                s[k] = s[k] * laneCos_[kLanes] + c[k] * laneSin_[kLanes];
                c[k] = next;
            }
        }
    }

private:
    double frequency_;
    int rate_;
    double laneCos_[kLanes + 1], laneSin_[kLanes + 1];
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

// Sets the samples of a block that fall into a burst (the first `length` samples of every
// `period`, shifted by `offset`) to full scale, with the sign of the signal when `signed_`.
void ApplyBursts(int64_t n, int count, int64_t period, int64_t offset, int64_t length, bool signed_,
                 double* samples) {
    if (period <= 0)
        return;
    int64_t position = (n + offset) % period;
    if (position >= length && position + count <= period)
        return; // the usual case: no burst in this block
    for (int i = 0; i < count; ++i, ++position) {
        if (position == period)
            position = 0;
        if (position < length)
            samples[i] = signed_ && samples[i] < 0 ? -1.0 : 1.0;
    }
}

struct BlockSums {
    double peak = 0;
    double sumOfSquares = 0;
};

// Four lanes, so that the additions and comparisons do not wait on each other.
BlockSums SumBlock(const double* samples, int length) {
    double lanePeak[kLanes] = {};
    double laneSum[kLanes] = {};
    for (int i = 0; i < length; i += kLanes) {
        for (int k = 0; k < kLanes; ++k) {
            double x = samples[i + k];
            double magnitude = std::fabs(x);
            lanePeak[k] = lanePeak[k] < magnitude ? magnitude : lanePeak[k];
            laneSum[k] += x * x;
        }
    }
    return {std::max(std::max(lanePeak[0], lanePeak[1]), std::max(lanePeak[2], lanePeak[3])),
            (laneSum[0] + laneSum[1]) + (laneSum[2] + laneSum[3])};
}

// The one loop every signal goes through: peak, sum of squares and full-scale runs.
// fill(n, count, samples) writes the block of samples n .. n + count - 1.
template <class FillBlock>
void Accumulate(int64_t first, int64_t count, ChannelAccumulator& accumulator, FillBlock&& fill) {
    alignas(32) double samples[kBlock + kLanes];
    double peak = 0;
    double sum = 0;
    int run = accumulator.OpenRun();
    int longest = 0;
    for (int64_t n = first, end = first + count; n < end;) {
        int length = static_cast<int>(std::min<int64_t>(end - n, kBlock - n % kBlock));
        fill(n, length, samples);
        std::fill(samples + length, samples + length + kLanes, 0.0); // silent padding
        BlockSums block = SumBlock(samples, length);
        if (block.peak > 1.0) {
            // Louder than full scale: the card clips.
            for (int i = 0; i < length; ++i)
                samples[i] = std::clamp(samples[i], -1.0, 1.0);
            block = SumBlock(samples, length);
        }
        sum += block.sumOfSquares;
        peak = std::max(peak, block.peak);
        if (block.peak < 1.0) {
            run = 0;
        } else {
            for (int i = 0; i < length; ++i) {
                run = std::fabs(samples[i]) >= 1.0 ? std::min(run + 1, kMaxFullScaleCount) : 0;
                longest = std::max(longest, run);
            }
        }
        n += length;
    }
    accumulator.Add(peak, sum, count, longest, run);
}

// A tone whose amplitude levelAt(seconds) is looked up once per block.
template <class LevelAt>
void RenderTone(double frequency, int64_t first, int64_t count, int rate,
                ChannelAccumulator& accumulator, LevelAt&& levelAt) {
    Tone tone(frequency, rate);
    Accumulate(first, count, accumulator, [&](int64_t n, int length, double* samples) {
        tone.Fill(n, length, levelAt(static_cast<double>(n) / rate), samples);
    });
}

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

// The demo runs on every channel of every embedded card, all the time, so it must cost
// little: between its overs it is a tone whose level moves slowly, and a block's peak and
// power follow from the block's amplitude. Only the blocks that carry an over are rendered
// sample by sample, for their full-scale runs.
void RenderDemo(uint32_t seed, int64_t first, int64_t count, int rate,
                ChannelAccumulator& accumulator) {
    DemoVoice v = MakeDemoVoice(seed);
    // Set up on the first block that needs samples: most reads have none.
    std::optional<Tone> tone;
    auto overPeriod = static_cast<int64_t>(v.overPeriod * rate);
    auto overOffset = static_cast<int64_t>(v.overOffset * rate);
    auto amplitude = [&](int64_t n) {
        double t = static_cast<double>(n) / rate;
        double db = -22 + 13 * SinOfTurns(t / v.slowPeriod + v.slowPhase / kTwoPi) +
                    6 * SinOfTurns(t / v.fastPeriod + v.fastPhase / kTwoPi);
        return DbToLinear(db);
    };
    for (int64_t n = first, end = first + count; n < end;) {
        int length = static_cast<int>(std::min<int64_t>(end - n, kBlock - n % kBlock));
        int64_t position = (n + overOffset) % overPeriod;
        if (position >= v.overLength && position + length <= overPeriod) {
            double a = amplitude(n);
            accumulator.Add(a, 0.5 * a * a * length, length, 0, 0);
        } else {
            if (!tone)
                tone.emplace(v.frequency, rate);
            Accumulate(n, length, accumulator, [&](int64_t m, int part, double* samples) {
                tone->Fill(m, part, amplitude(m), samples);
                ApplyBursts(m, part, overPeriod, overOffset, v.overLength, true, samples);
            });
        }
        n += length;
    }
}

struct Renderer {
    uint32_t seed;
    int64_t first;
    int64_t count;
    int rate;
    ChannelAccumulator& accumulator;

    void operator()(const Silence&) const { accumulator.Add(0, 0, count, 0, 0); }
    void operator()(const Sine& s) const {
        RenderTone(s.frequency, first, count, rate, accumulator,
                   [a = DbToLinear(s.levelDb)](double) { return a; });
    }
    void operator()(const Noise& s) const {
        double amplitude = DbToLinear(s.levelDb);
        uint32_t channelSeed = seed;
        Accumulate(first, count, accumulator, [&](int64_t n, int length, double* samples) {
            for (int i = 0; i < length; ++i)
                samples[i] = amplitude * UniformNoise(channelSeed, n + i);
        });
    }
    void operator()(const Sweep& s) const {
        RenderTone(kToneFrequency, first, count, rate, accumulator, [&s](double t) {
            double progress = std::fmod(t, s.seconds) / s.seconds;
            return DbToLinear(s.fromDb + (s.toDb - s.fromDb) * progress);
        });
    }
    void operator()(const Burst& s) const {
        Tone tone(kToneFrequency, rate);
        double bed = DbToLinear(kBurstBedDb);
        int64_t period = std::llround(s.period * rate);
        Accumulate(first, count, accumulator, [&](int64_t n, int length, double* samples) {
            tone.Fill(n, length, bed, samples);
            ApplyBursts(n, length, period, 0, s.length, false, samples);
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

double SinOfTurns(double turns) {
    constexpr double kPi = std::numbers::pi;
    double x = kTwoPi * (turns - std::round(turns)); // [-π, π]
    if (x > kPi / 2)
        x = kPi - x;
    else if (x < -kPi / 2)
        x = -kPi - x;
    // Taylor's series to x^13; the first term left out is below 1e-9 on [-π/2, π/2].
    const double x2 = x * x;
    return x * (1 + x2 * (-1.0 / 6 +
                          x2 * (1.0 / 120 + x2 * (-1.0 / 5040 +
                                                  x2 * (1.0 / 362880 + x2 * (-1.0 / 39916800 +
                                                                             x2 / 6227020800))))));
}

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
