#include "meters/ballistics.h"
#include "setup/param_templates.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr int32_t kSingleSpeed = 1;
constexpr int32_t kDoubleSpeed = 5;
constexpr int32_t kQuadSpeed = 7;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Column {
    int32_t enabled = 1;
    ChannelBallistics ballistics;
};

LevelReport Report(double peakA, double meanSquareA, double elapsed = 0.05, int32_t fscA = 0) {
    return {.fscCountA = fscA, .peakA = peakA, .meanSquareA = meanSquareA, .elapsed = elapsed};
}

double Db(double linear) {
    return 20 * std::log10(linear);
}

class StereoTest : public testing::Test {
protected:
    void Feed(const LevelReport& report, int32_t rateCode = kSingleSpeed) {
        ProcessStereoReport(std::span(columns_), report, rateCode, params_.Table());
    }
    void Set(int32_t id, double value) { FindParamById(params_.Table(), id)->value = value; }
    ChannelBallistics& A() { return columns_[1].ballistics; }
    ChannelBallistics& B() { return columns_[2].ballistics; }

    StereoParamStore params_;
    std::array<Column, kStereoColumnCount> columns_{};
};

TEST_F(StereoTest, SilenceReadsMinus600AndMinus603WithoutThePlus3) {
    Feed(Report(0, 0));
    EXPECT_NEAR(A().peakDb, -600, 1e-9);
    EXPECT_NEAR(A().holdDb, -600, 1e-9);
    EXPECT_NEAR(A().rmsDb, -600, 1e-9);
    Set(kParamRmsPlus3Db, 0);
    Feed(Report(0, 0));
    EXPECT_NEAR(A().rmsDb, -603, 1e-9);
    EXPECT_NEAR(B().rmsDb, -603, 1e-9);
}

TEST_F(StereoTest, HalfPowerReadsMinus3dbOrMinus6dbWithoutThePlus3) {
    Feed(Report(0.5, 0.5));
    EXPECT_NEAR(A().rmsDb, -3.0103, 1e-4);
    EXPECT_NEAR(A().peakDb, -6.0206, 1e-4);
    Set(kParamRmsPlus3Db, 0.49);
    Feed(Report(0, 0.5));
    EXPECT_NEAR(A().rmsDb, -6.0103, 1e-4);
}

TEST_F(StereoTest, AssignsRmsAPeakAPeakBRmsB) {
    LevelReport report = Report(0.5, 0.25);
    report.peakB = 0.1;
    report.meanSquareB = 0.01;
    Feed(report);
    const ChannelBallistics& rmsA = columns_[0].ballistics;
    const ChannelBallistics& rmsB = columns_[3].ballistics;
    EXPECT_NEAR(B().peakDb, -20, 1e-9);
    EXPECT_NEAR(B().rmsDb, -20, 1e-9);
    EXPECT_EQ(rmsA.barValue, A().rmsDb);
    EXPECT_EQ(rmsA.readoutValue, A().rmsDb);
    EXPECT_EQ(A().barValue, A().peakDb);
    EXPECT_EQ(A().readoutValue, A().holdDb);
    EXPECT_EQ(B().barValue, B().peakDb);
    EXPECT_EQ(B().readoutValue, B().holdDb);
    EXPECT_EQ(rmsB.barValue, B().rmsDb);
    EXPECT_EQ(rmsB.readoutValue, B().rmsDb);
    EXPECT_EQ(rmsA.peak, 0); // the RMS columns keep no state of their own
}

TEST_F(StereoTest, PeakFallsAtTheReleaseRateAndAnExpiredHoldAtHalfOfIt) {
    // 20 dB/s at 0.05 s a report: the peak falls 1 dB a report, an expired hold 0.5 dB.
    Feed(Report(1, 0));
    double holdAtPeak = A().holdDb;
    Feed(Report(0, 0));
    EXPECT_NEAR(A().peakDb, -1, 1e-9);
    for (int i = 1; i < 20; ++i) // the hold time of 1 s
        Feed(Report(0, 0));
    EXPECT_EQ(A().holdDb, holdAtPeak);
    Feed(Report(0, 0));
    double expired = A().holdDb;
    Feed(Report(0, 0));
    EXPECT_NEAR(A().holdDb, expired - 0.5, 1e-9);
}

TEST_F(StereoTest, ResetHoldsClearsTheHoldsAndTheNextReportReArmsThem) {
    Feed(Report(0.9, 0));
    Feed(Report(0.1, 0));
    double timeLeft = A().holdTimeLeft;
    ResetHolds(std::span(columns_).subspan(1, 2));
    EXPECT_EQ(A().hold, 0);
    EXPECT_EQ(A().holdTimeLeft, timeLeft);
    Feed(Report(0.2, 0));
    EXPECT_GT(A().peakDb, Db(0.2)); // the fallen 0.9 is still above the new peak
    EXPECT_EQ(A().holdDb, A().peakDb);
    EXPECT_EQ(A().holdTimeLeft, 1);
}

TEST(ProcessStereoReport, OverWhenTheCountReachesTheWholeThreshold) {
    const struct {
        double threshold;
        int32_t count;
        bool over;
    } cases[] = {{3, 3, true},    {3, 2, false}, {3.7, 3, true},
                 {3.7, 2, false}, {1, 0, false}, {9, 15, true}};
    for (const auto& c : cases) {
        StereoParamStore params;
        FindParamById(params.Table(), kParamFscCount)->value = c.threshold;
        std::array<Column, kStereoColumnCount> columns{};
        ProcessStereoReport(std::span(columns), Report(0.25, 0, 0.05, c.count), kSingleSpeed,
                            params.Table());
        const ChannelBallistics& a = columns[1].ballistics;
        EXPECT_NEAR(a.peakDb, c.over ? Db(kOverPeak) : Db(0.25), 1e-9) << c.threshold << c.count;
        EXPECT_EQ(a.holdDb, a.peakDb);
        EXPECT_EQ(a.fscCount, c.count);
    }
}

TEST(ProcessChannel, APeakEqualToTheHoldReArmsTheHoldTime) {
    BallisticParams params{.release = 20, .peakHold = 1.5, .fscThreshold = 3};
    ChannelBallistics state{.peak = 0.5, .hold = 0.5, .holdTimeLeft = 0.01};
    ProcessChannel(state, 0.05, PeakDecayFactor(20, 0.05), params);
    EXPECT_EQ(state.holdTimeLeft, 1.5);
}

TEST(ProcessChannel, InstantHoldFreezesTheCountdownWhichResumesWhenSwitchedOff) {
    BallisticParams params{.release = 20, .peakHold = 1, .fscThreshold = 3};
    const double g = PeakDecayFactor(20, 0.25);
    ChannelBallistics state{.peak = 0.8};
    ProcessChannel(state, 0.25, g, params);
    ProcessChannel(state, 0.25, g, params);
    EXPECT_DOUBLE_EQ(state.holdTimeLeft, 0.75);
    params.instantHold = true;
    for (int i = 0; i < 100; ++i)
        ProcessChannel(state, 0.25, g, params);
    EXPECT_DOUBLE_EQ(state.holdTimeLeft, 0.75);
    EXPECT_EQ(state.hold, 0.8);
    state.peak = 0.9; // a louder peak still raises a frozen hold
    ProcessChannel(state, 0.25, g, params);
    EXPECT_EQ(state.hold, 0.9);
    ProcessChannel(state, 0.25, g, params);
    params.instantHold = false;
    ProcessChannel(state, 0.25, g, params);
    EXPECT_DOUBLE_EQ(state.holdTimeLeft, 0.75);
}

TEST(ProcessChannel, AFallingHoldStopsAtThePeak) {
    BallisticParams params{.release = 100, .peakHold = 0.1, .fscThreshold = 3};
    ChannelBallistics state{.peak = 0.4, .hold = 0.41, .holdTimeLeft = 0};
    ProcessChannel(state, 1, PeakDecayFactor(100, 1), params);
    EXPECT_EQ(state.hold, 0.4);
}

TEST(ProcessStereoReport, TreatsAnElapsedBeyondTheBoundsAsTheBound) {
    const struct {
        double elapsed, bound;
    } cases[] = {{0, kMinElapsed}, {-1, kMinElapsed}, {kNaN, kMinElapsed}, {60, kMaxElapsed}};
    for (const auto& c : cases) {
        StereoParamStore params;
        std::array<Column, kStereoColumnCount> beyond{}, atBound{};
        for (double peak : {1.0, 0.0, 0.5, 0.0, 0.0}) {
            ProcessStereoReport(std::span(beyond), Report(peak, 0.5, c.elapsed), kQuadSpeed,
                                params.Table());
            ProcessStereoReport(std::span(atBound), Report(peak, 0.5, c.bound), kQuadSpeed,
                                params.Table());
        }
        const ChannelBallistics& a = beyond[1].ballistics;
        const ChannelBallistics& b = atBound[1].ballistics;
        EXPECT_EQ(a.peak, b.peak) << c.elapsed;
        EXPECT_EQ(a.hold, b.hold) << c.elapsed;
        EXPECT_EQ(a.holdTimeLeft, b.holdTimeLeft) << c.elapsed;
        EXPECT_EQ(a.meanSquare, b.meanSquare) << c.elapsed;
    }
}

TEST(MergeReport, CopiesTheMeanSquareAtSingleSpeedAndSmoothsItAbove) {
    const double a = SmoothingCoefficient(0.05);
    EXPECT_NEAR(a, 0.2501, 1e-4);
    for (auto [rateCode, expected] :
         {std::pair{0, 1.0}, {kSingleSpeed, 1.0}, {kDoubleSpeed, a}, {kQuadSpeed, a}}) {
        ChannelBallistics state;
        MergeReport(state, 0, 0, 1.0, rateCode, a);
        EXPECT_NEAR(state.meanSquare, expected, 1e-15) << rateCode;
    }
    ChannelBallistics state{.meanSquare = 1.0};
    for (int i = 0; i < 20; ++i)
        MergeReport(state, 0, 0, 0.0, kQuadSpeed, a);
    EXPECT_NEAR(state.meanSquare, std::pow(10, -2.5), 1e-12); // the weight left after 1 s
}

class MultiChannelTest : public testing::Test {
protected:
    bool Feed(int32_t cookie, const LevelReport& report) {
        return ProcessMultiChannelReport(std::span(columns_), cookie, report, kSingleSpeed,
                                         params_.Table());
    }
    void Set(int32_t id, double value) { FindParamById(params_.Table(), id)->value = value; }

    MultiChannelParamStore params_;
    std::array<Column, 64> columns_{};
};

TEST_F(MultiChannelTest, FeedsTheColumnsOfThePairAndOnlyThose) {
    LevelReport report = Report(0.5, 0.1);
    report.peakB = 0.25;
    ASSERT_TRUE(Feed(3, report));
    EXPECT_EQ(columns_[6].ballistics.hold, 0.5);
    EXPECT_EQ(columns_[7].ballistics.hold, 0.25);
    EXPECT_EQ(columns_[5].ballistics.hold, 0);
    EXPECT_EQ(columns_[8].ballistics.hold, 0);
}

TEST_F(MultiChannelTest, IgnoresAPairWhoseFirstColumnIsDisabledOrOutside) {
    columns_[4].enabled = 0;
    for (int32_t cookie : {2, -1, 32, 1 << 30})
        EXPECT_FALSE(Feed(cookie, Report(0.5, 0.1))) << cookie;
    EXPECT_EQ(columns_[4].ballistics.peak, 0);
    EXPECT_EQ(columns_[5].ballistics.barValue, 0);
}

TEST_F(MultiChannelTest, ChoosesWhatTheBarAndTheReadoutShow) {
    const struct {
        double barType, textType;
        bool barIsRms, readoutIsRms;
    } cases[] = {
        {0, 0, false, false}, {1, 0, true, false}, {0, 1, false, true}, {0, 2, false, true}};
    for (const auto& c : cases) {
        Set(kParamBarLevelType, c.barType);
        Set(kParamTextLevelType, c.textType);
        Feed(0, Report(0.5, 0.01));
        const ChannelBallistics& a = columns_[0].ballistics;
        EXPECT_EQ(a.barValue, c.barIsRms ? a.rmsDb : a.peakDb) << c.barType;
        EXPECT_EQ(a.readoutValue, c.readoutIsRms ? a.rmsDb : a.holdDb) << c.textType;
    }
}

TEST_F(MultiChannelTest, WithAnRmsBarTheHoldNeverSitsBelowTheBar) {
    Set(kParamBarLevelType, 1);
    // Powers above the squared peak, as a card may report them.
    const double peaks[] = {0.1, 0.0, 0.0, 0.3, 0.0, 0.05};
    const double powers[] = {0.5, 0.9, 0.2, 0.01, 0.6, 0.0};
    for (size_t round = 0; round < 30; ++round) {
        Feed(0, Report(peaks[round % 6], powers[round % 6], 0.2));
        const ChannelBallistics& a = columns_[0].ballistics;
        EXPECT_GE(a.holdDb, a.barValue) << round;
        EXPECT_EQ(a.readoutValue, a.holdDb) << round;
    }
}

} // namespace
