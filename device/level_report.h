#pragma once

#include <cstdint>

// The levels of one channel pair since the previous poll, linear, valid during one call.
struct LevelReport {
    int32_t fscCountA = 0; // full-scale sample count 0..15 of the first channel
    int32_t fscCountB = 0;
    double peakA = 0; // 0 up to 0.99999988
    double meanSquareA = 0;
    double peakB = 0;
    double meanSquareB = 0;
    double elapsed = 0; // seconds since the previous poll, 0.005..1.0
};

// Implemented by whatever the engine feeds: the meter views.
class LevelListener {
public:
    virtual void OnLevelReport(const LevelReport& report, int32_t cookie) = 0;
    // The card of a registration stopped answering (false), or answers again in the speed
    // it had when the listener registered (true). Only changes are told: a registration
    // starts as answering when its card answered it. One the card did not answer is renewed
    // through the engine's restart hook once the card answers.
    virtual void OnCardAnswering(bool /*answering*/) {}

protected:
    ~LevelListener() = default;
};
