#pragma once

#include "device/driver_protocol.h"
#include "device/level_report.h"

#include <cmath>
#include <functional>
#include <vector>

// A listener that keeps every report it is handed, and may act during the call.
class LevelRecorder final : public LevelListener {
public:
    struct Call {
        LevelReport report;
        int32_t cookie;
    };

    void OnLevelReport(const LevelReport& report, int32_t cookie) override {
        calls.push_back({report, cookie});
        if (during)
            during(report, cookie);
    }
    void OnCardAnswering(bool answering) override { told.push_back(answering); }

    std::vector<Call> calls;
    std::vector<bool> told; // what OnCardAnswering said, in order
    std::function<void(const LevelReport&, int32_t)> during;
};

// Blocks whose every channel carries its own number, so a report tells which channel it read:
// peak magnitude and mean square are (bus * 128 + channel + 1).
inline int32_t ChannelTag(int bus, int channel) {
    return bus * 128 + channel + 1;
}

inline int32_t TagOfPeak(double peak) {
    return static_cast<int32_t>(std::lround(peak / (256 * driver_protocol::kPeakScale)));
}
