#include "meters/ballistics.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPeakFloor = 1e-30;  // silence reads -600 dB
constexpr double kPowerFloor = 1e-60; // silence reads -600 dB of power too
constexpr double kSmoothingBias = 1e-30;
constexpr double kRmsOffsetDb = 3.0;
constexpr double kRmsSmoothingDecadesPerSecond = 2.5;
constexpr int32_t kFirstFastRateCode = 3; // rate codes from here on are double or quad speed

bool IsOn(double switchValue) {
    return switchValue >= 0.5;
}

double PeakToDb(double linear) {
    return 20 * std::log10(linear + kPeakFloor);
}

} // namespace

BallisticParams ReadBallisticParams(const ParamTable& params) {
    return {
        .release = ParamValue(params, kParamRelease),
        .peakHold = ParamValue(params, kParamPeakHold),
        .fscThreshold = std::trunc(ParamValue(params, kParamFscCount)),
        .instantHold = IsOn(ParamValue(params, kParamInstantHold)),
        .rmsPlus3Db = IsOn(ParamValue(params, kParamRmsPlus3Db)),
        .barShowsRms = IsOn(ParamValue(params, kParamBarLevelType)),
        .readoutShowsRms = IsOn(ParamValue(params, kParamTextLevelType)),
    };
}

double ClampElapsed(double elapsed) {
    if (!(elapsed >= kMinElapsed)) // also NaN
        return kMinElapsed;
    return std::min(elapsed, kMaxElapsed);
}

double PeakDecayFactor(double release, double elapsed) {
    return std::pow(10.0, -release * elapsed / 20);
}

double SmoothingCoefficient(double elapsed) {
    return 1 - std::pow(10.0, -kRmsSmoothingDecadesPerSecond * elapsed);
}

void MergeReport(ChannelBallistics& state, double peak, int32_t fscCount, double meanSquare,
                 int32_t rateCode, double smoothing) {
    state.peak = std::max(state.peak, peak);
    state.fscCount = fscCount;
    if (rateCode < kFirstFastRateCode)
        state.meanSquare = meanSquare;
    else
        state.meanSquare -= smoothing * (state.meanSquare - meanSquare - kSmoothingBias);
}

void ProcessChannel(ChannelBallistics& state, double elapsed, double g,
                    const BallisticParams& params) {
    if (state.fscCount >= params.fscThreshold)
        state.peak = kOverPeak;
    state.peakDb = PeakToDb(state.peak);
    if (state.peak >= state.hold) {
        state.hold = state.peak;
        state.holdTimeLeft = params.peakHold;
    } else if (state.holdTimeLeft > 0) {
        if (!params.instantHold)
            state.holdTimeLeft -= elapsed;
    } else {
        // Half the release rate, never below the current peak.
        state.hold = std::max(state.hold * std::sqrt(g), state.peak);
    }
    state.holdDb = PeakToDb(state.hold);
    state.rmsDb = 10 * std::log10(state.meanSquare + kPowerFloor);
    if (!params.rmsPlus3Db)
        state.rmsDb -= kRmsOffsetDb;
    // The decay follows the readings, so the next report merges into the fallen peak.
    state.peak *= g;
}

void ChooseMultiChannelValues(ChannelBallistics& state, const BallisticParams& params) {
    if (params.barShowsRms) {
        state.barValue = state.rmsDb;
        state.holdDb = std::max(state.holdDb, state.rmsDb);
    } else {
        state.barValue = state.peakDb;
    }
    state.readoutValue = params.readoutShowsRms ? state.rmsDb : state.holdDb;
}

namespace {

// Both channels of a pair: merge, then ProcessChannel for A, then for B.
void ProcessPair(ChannelBallistics& a, ChannelBallistics& b, const LevelReport& report,
                 int32_t rateCode, const BallisticParams& params) {
    double elapsed = ClampElapsed(report.elapsed);
    double g = PeakDecayFactor(params.release, elapsed);
    double smoothing = SmoothingCoefficient(elapsed);
    MergeReport(a, report.peakA, report.fscCountA, report.meanSquareA, rateCode, smoothing);
    MergeReport(b, report.peakB, report.fscCountB, report.meanSquareB, rateCode, smoothing);
    ProcessChannel(a, elapsed, g, params);
    ProcessChannel(b, elapsed, g, params);
}

} // namespace

void ProcessStereoStates(std::span<ChannelBallistics* const, kStereoColumnCount> columns,
                         const LevelReport& report, int32_t rateCode, const ParamTable& params) {
    ChannelBallistics& rmsA = *columns[0];
    ChannelBallistics& a = *columns[1];
    ChannelBallistics& b = *columns[2];
    ChannelBallistics& rmsB = *columns[3];
    ProcessPair(a, b, report, rateCode, ReadBallisticParams(params));
    rmsA.barValue = rmsA.readoutValue = a.rmsDb;
    a.barValue = a.peakDb;
    a.readoutValue = a.holdDb;
    b.barValue = b.peakDb;
    b.readoutValue = b.holdDb;
    rmsB.barValue = rmsB.readoutValue = b.rmsDb;
}

void ProcessMultiChannelPair(ChannelBallistics& a, ChannelBallistics& b, const LevelReport& report,
                             int32_t rateCode, const ParamTable& params) {
    BallisticParams values = ReadBallisticParams(params);
    ProcessPair(a, b, report, rateCode, values);
    ChooseMultiChannelValues(a, values);
    ChooseMultiChannelValues(b, values);
}
