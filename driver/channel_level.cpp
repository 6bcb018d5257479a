#include "driver/channel_level.h"

#include "device/driver_protocol.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace dp = driver_protocol;

namespace {
constexpr double kPeakFullScale = 2147483648.0; // 2^31
constexpr double kMeanSquareFullScale = 2147483392.0 * 2147483392.0;
} // namespace

uint32_t EncodePeakWord(double peak, int fullScaleRun) {
    double scaled = std::clamp(peak, 0.0, 1.0) * kPeakFullScale;
    uint32_t magnitude =
        scaled >= dp::kPeakMagnitudeMask ? dp::kPeakMagnitudeMask : static_cast<uint32_t>(scaled);
    uint32_t run = static_cast<uint32_t>(std::clamp(fullScaleRun, 0, kMaxFullScaleCount));
    return (magnitude & dp::kPeakMagnitudeMask) | run;
}

int64_t EncodeMeanSquare(double meanOfSquares) {
    return std::llround(std::clamp(meanOfSquares, 0.0, 1.0) * kMeanSquareFullScale);
}

ChannelLevel ChannelAccumulator::Take() {
    ChannelLevel level;
    level.peakWord = EncodePeakWord(peak_, longestRun_);
    level.meanSquare = samples_ > 0 ? EncodeMeanSquare(sumOfSquares_ / samples_) : 0;
    int openRun = openRun_;
    Reset();
    openRun_ = openRun;
    return level;
}

} // namespace sim
