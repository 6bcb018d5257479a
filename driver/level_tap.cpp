#include "driver/level_tap.h"

#include <algorithm>
#include <cmath>

namespace sim {

LevelTap::LevelTap(int channels, int blocks)
    : channels_(std::clamp(channels, 0, kMaxChannels)), capacity_(std::max(blocks, 1)),
      ring_(std::make_unique<Block[]>(capacity_)) {}

void LevelTap::Sums::Merge(const Sums& other) {
    peak = std::max(peak, other.peak);
    longestRun = std::max(longestRun, other.longestRun);
    samples += other.samples;
    sumOfSquares += other.sumOfSquares;
}

void LevelTap::Add(int channel, const float* samples, uint32_t count) {
    Sums& sums = pending_[channel];
    float peak = sums.peak;
    double sumOfSquares = 0;
    int run = openRun_[channel];
    int longest = sums.longestRun;
    for (uint32_t i = 0; i < count; ++i) {
        float magnitude = std::fabs(samples[i]);
        peak = std::max(peak, magnitude);
        sumOfSquares += double(samples[i]) * samples[i];
        if (magnitude >= 1.0f) {
            // A run that began in an earlier period goes on here.
            run = std::min(run + 1, kMaxFullScaleCount);
            longest = std::max(longest, run);
        } else {
            run = 0;
        }
    }
    sums.peak = peak;
    sums.sumOfSquares += sumOfSquares;
    sums.samples += count;
    sums.longestRun = static_cast<uint8_t>(longest);
    openRun_[channel] = static_cast<uint8_t>(run);
}

void LevelTap::AddSilence(int channel, uint32_t count) {
    pending_[channel].samples += count;
    openRun_[channel] = 0;
}

void LevelTap::EndPeriod() {
    uint32_t written = written_.load(std::memory_order_relaxed);
    if (written - read_.load(std::memory_order_acquire) >= uint32_t(capacity_))
        return; // the ring is full: this period's sums stay pending and grow
    ring_[written % capacity_] = pending_;
    written_.store(written + 1, std::memory_order_release);
    std::fill_n(pending_.begin(), channels_, Sums{});
}

void LevelTap::AddPeriod(std::span<const float* const> channels, uint32_t frames) {
    for (int ch = 0; ch < channels_; ++ch) {
        const float* samples = ch < int(channels.size()) ? channels[ch] : nullptr;
        if (samples != nullptr)
            Add(ch, samples, frames);
        else
            AddSilence(ch, frames);
    }
    EndPeriod();
}

uint64_t LevelTap::Take(std::span<ChannelLevel> out) {
    uint32_t read = read_.load(std::memory_order_relaxed);
    uint32_t written = written_.load(std::memory_order_acquire);
    for (; read != written; ++read) {
        const Block& block = ring_[read % capacity_];
        for (int ch = 0; ch < channels_; ++ch)
            taken_[ch].Merge(block[ch]);
    }
    read_.store(read, std::memory_order_release);
    int count = std::min<int>(channels_, int(out.size()));
    for (int ch = 0; ch < count; ++ch) {
        const Sums& sums = taken_[ch];
        out[ch].peakWord = EncodePeakWord(sums.peak, sums.longestRun);
        out[ch].meanSquare =
            sums.samples > 0 ? EncodeMeanSquare(sums.sumOfSquares / sums.samples) : 0;
    }
    uint64_t frames = channels_ > 0 ? taken_[0].samples : 0;
    std::fill_n(taken_.begin(), channels_, Sums{});
    return frames;
}

} // namespace sim
