#pragma once

#include "driver/channel_level.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

namespace sim {

// The levels of up to 64 channels of one bus of a live audio graph. The audio thread adds
// each period's samples; the 20 ms read takes everything since the previous read.
//
// The hand-over is a single-producer, single-consumer ring of per-period blocks: the audio
// thread fills a block of its own and publishes it at the end of a period; when the ring is
// full (a reader that stalls), it keeps adding to that block and publishes it later, so no
// sample is ever dropped. The audio side neither allocates nor locks nor calls the system.
class LevelTap {
public:
    static constexpr int kMaxChannels = 64;

    // `blocks` is the ring's length in periods; a reader that keeps up needs about
    // 20 ms / period of them.
    explicit LevelTap(int channels, int blocks = 64);

    int Channels() const { return channels_; }

    // Audio thread: the samples of one channel in this period (float, full scale 1.0).
    void Add(int channel, const float* samples, uint32_t count);
    // Audio thread: a channel that received nothing in this period still counts its silence.
    void AddSilence(int channel, uint32_t count);
    // Audio thread: ends the period and hands its block over when the ring has room.
    void EndPeriod();
    // Audio thread: a whole period, a buffer per channel (null: nothing connected, silence).
    void AddPeriod(std::span<const float* const> channels, uint32_t frames);

    // Reader: the levels of every channel since the previous call, encoded as the level
    // block's words, into `out` (one entry per channel). Returns how many frames they span.
    uint64_t Take(std::span<ChannelLevel> out);

private:
    struct Sums {
        float peak = 0;
        uint8_t longestRun = 0; // capped at kMaxFullScaleCount
        uint64_t samples = 0;
        double sumOfSquares = 0;
        void Merge(const Sums& other);
    };
    using Block = std::array<Sums, kMaxChannels>;

    int channels_;
    int capacity_;
    std::unique_ptr<Block[]> ring_;
    alignas(64) std::atomic<uint32_t> written_{0}; // blocks published, by the audio thread
    alignas(64) std::atomic<uint32_t> read_{0};    // blocks taken, by the reader
    // The audio thread's own: the block of the current period, the full-scale run that
    // reaches its newest sample per channel.
    alignas(64) Block pending_{};
    std::array<uint8_t, kMaxChannels> openRun_{};
    // The reader's own: what it took from the ring since its last Take.
    Block taken_{};
};

} // namespace sim
