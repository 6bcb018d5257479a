#pragma once

#include "device/level_report.h"
#include "setup/param_desc.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>

// What a meter shows of one channel, derived from the linear levels of the reports. Kept in
// the channel's meter column; a fresh state is all zero.
struct ChannelBallistics {
    double holdDb = 0;
    double peakDb = 0;
    double rmsDb = 0;
    double meanSquare = 0;   // linear power, smoothed or copied
    double peak = 0;         // linear, falls between reports
    double hold = 0;         // linear peak hold
    double holdTimeLeft = 0; // seconds until the hold starts to fall
    int32_t fscCount = 0;    // of the last report
    double barValue = 0;     // dB the bar shows
    double readoutValue = 0; // dB the numeric readout shows
};

// The parameters one report needs, looked up by id once and shared by both channels.
struct BallisticParams {
    double release = 0;           // dB/s
    double peakHold = 0;          // s
    double fscThreshold = 0;      // whole samples; a count reaching it is an over
    bool instantHold = false;     // the hold never falls
    bool rmsPlus3Db = false;      // off: RMS readings are 3 dB lower
    bool barShowsRms = false;     // multi-channel view: bar shows RMS instead of peak
    bool readoutShowsRms = false; // multi-channel view: readout shows RMS (or is off)
};

BallisticParams ReadBallisticParams(const ParamTable& params);

// Peak forced by an over: +1 dB.
inline constexpr double kOverPeak = 1.122;

// The engine's bounds on the time between reports; applied here too, so that a report from
// anywhere else cannot make peaks grow or poison the state with NaN.
inline constexpr double kMinElapsed = 0.005;
inline constexpr double kMaxElapsed = 1.0;
double ClampElapsed(double elapsed);

// Factor by which the peak falls in `elapsed` seconds at `release` dB/s.
double PeakDecayFactor(double release, double elapsed);

// Weight of the new mean square in the exponential smoothing (2.5 decades per second).
double SmoothingCoefficient(double elapsed);

// Takes one channel's reported levels: the peak merges into the falling one, the FSC count
// is copied, and the mean square is copied at single speed (rateCode below 3) or smoothed.
void MergeReport(ChannelBallistics& state, double peak, int32_t fscCount, double meanSquare,
                 int32_t rateCode, double smoothing);

// Over detection, hold, the dB values and the peak's decay of one channel, decay factor g.
void ProcessChannel(ChannelBallistics& state, double elapsed, double g,
                    const BallisticParams& params);

// Multi-channel view: what the bar and the readout show; with an RMS bar the hold is raised
// to it, so the marker never sits below the bar.
void ChooseMultiChannelValues(ChannelBallistics& state, const BallisticParams& params);

inline constexpr size_t kStereoColumnCount = 4;

// One report of the stereo view; see ProcessStereoReport.
void ProcessStereoStates(std::span<ChannelBallistics* const, kStereoColumnCount> columns,
                         const LevelReport& report, int32_t rateCode, const ParamTable& params);

// One report of the multi-channel view for the pair in columns a and b.
void ProcessMultiChannelPair(ChannelBallistics& a, ChannelBallistics& b, const LevelReport& report,
                             int32_t rateCode, const ParamTable& params);

// A meter column as the views hold it: the channel's state in `ballistics`.
template <typename Column>
concept BallisticColumn = requires(Column& column) {
    { column.ballistics } -> std::same_as<ChannelBallistics&>;
};

// A column the multi-channel view may leave out (`enabled` 0).
template <typename Column>
concept SkippableColumn = BallisticColumn<Column> && requires(const Column& column) {
    { column.enabled == 0 } -> std::convertible_to<bool>;
};

// The stereo view's columns, left to right: RMS of A, peak of A, peak of B, RMS of B. A's
// state lives in column 1, B's in column 2; the RMS columns only get their bar and readout.
template <BallisticColumn Column>
void ProcessStereoReport(std::span<Column, kStereoColumnCount> columns, const LevelReport& report,
                         int32_t rateCode, const ParamTable& params) {
    ChannelBallistics* const states[kStereoColumnCount] = {
        &columns[0].ballistics, &columns[1].ballistics, &columns[2].ballistics,
        &columns[3].ballistics};
    ProcessStereoStates(states, report, rateCode, params);
}

// The report of pair `cookie`, in columns 2 * cookie and 2 * cookie + 1. False, with nothing
// changed, when the pair's first column is not enabled or the pair lies outside the columns.
template <SkippableColumn Column, size_t Extent>
bool ProcessMultiChannelReport(std::span<Column, Extent> columns, int32_t cookie,
                               const LevelReport& report, int32_t rateCode,
                               const ParamTable& params) {
    if (cookie < 0)
        return false;
    size_t first = 2 * static_cast<size_t>(cookie);
    if (first + 1 >= columns.size() || columns[first].enabled == 0)
        return false;
    ProcessMultiChannelPair(columns[first].ballistics, columns[first + 1].ballistics, report,
                            rateCode, params);
    return true;
}

// Clears the holds of the given columns; the hold time left stays, and the next report
// re-arms each hold with the current peak.
template <BallisticColumn Column, size_t Extent>
void ResetHolds(std::span<Column, Extent> columns) {
    for (Column& column : columns)
        column.ballistics.hold = 0;
}
