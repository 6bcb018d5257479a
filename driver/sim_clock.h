#pragma once

#include <chrono>
#include <cstdint>

namespace sim {

// Nanoseconds on a monotonic clock; the simulated cards render the samples of the time that
// passed between two reads.
class SimClock {
public:
    virtual ~SimClock() = default;
    virtual int64_t NowNs() const = 0;
};

class SteadySimClock final : public SimClock {
public:
    int64_t NowNs() const override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// A clock the tests move by hand.
class ManualSimClock final : public SimClock {
public:
    int64_t NowNs() const override { return now_; }
    void AdvanceMs(int64_t ms) { now_ += ms * 1000000; }
    void AdvanceNs(int64_t ns) { now_ += ns; }

private:
    int64_t now_ = 0;
};

} // namespace sim
