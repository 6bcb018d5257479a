#pragma once

#include <cstdint>

namespace sim {

// What the driver reports for one channel: the words of the level block.
struct ChannelLevel {
    uint32_t peakWord = 0;
    int64_t meanSquare = 0;
};

inline constexpr int kMaxFullScaleCount = 15;

// Peak magnitude in bits 8..30 (a full-scale peak saturates at 0x7FFFFF00 instead of
// overflowing into bit 31), the full-scale run in bits 0..3.
uint32_t EncodePeakWord(double peak, int fullScaleRun);

// Mean of squares scaled by 2147483392^2, the largest magnitude a peak word carries.
int64_t EncodeMeanSquare(double meanOfSquares);

// Sums the samples of one channel between two reads. The generator only adds; a read takes
// the sums and starts afresh, so every sample between two reads counts in one of them.
// A run of full-scale samples goes on across a read, as it does on the card.
class ChannelAccumulator {
public:
    void Add(double peak, double sumOfSquares, int64_t samples, int longestRun, int openRun) {
        if (peak > peak_)
            peak_ = peak;
        sumOfSquares_ += sumOfSquares;
        samples_ += samples;
        if (longestRun > longestRun_)
            longestRun_ = longestRun;
        openRun_ = openRun;
    }
    int OpenRun() const { return openRun_; }
    ChannelLevel Take();
    void Reset() { *this = ChannelAccumulator(); }

private:
    double peak_ = 0;
    double sumOfSquares_ = 0;
    int64_t samples_ = 0;
    int longestRun_ = 0; // longest full-scale run since the last read, saturated at 15
    int openRun_ = 0;    // full-scale run that reaches the newest sample
};

} // namespace sim
