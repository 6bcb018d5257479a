#pragma once

#include <cstdint>

// A millisecond counter that wraps at 2^32, as the engine's elapsed-time rule expects.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual uint32_t Now() const = 0;
};

// Milliseconds of the steady clock, truncated to 32 bits.
class SteadyTickSource final : public TickSource {
public:
    uint32_t Now() const override;
};

// A counter the tests set and advance by hand.
class ManualTickSource final : public TickSource {
public:
    explicit ManualTickSource(uint32_t start = 0) : now_(start) {}
    uint32_t Now() const override { return now_; }
    void Set(uint32_t now) { now_ = now; }
    void Advance(uint32_t ms) { now_ += ms; }

private:
    uint32_t now_;
};
