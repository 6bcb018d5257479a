#pragma once

#include "meters/vexa_meter_view.h"
#include "setup/param_templates.h"

#include <array>

// The stereo level meter: one channel pair with an RMS and a peak bar per channel, hold
// markers on the peak bars, readouts, a dB scale and captions.
class CVexaLevel2View final : public CVexaMeterView {
    Q_OBJECT

public:
    explicit CVexaLevel2View(Profile& profile);

    void SetChannelSelection(int channelCount, const ChannelSelection& selection) override;
    void OnLevelReport(const LevelReport& report, int32_t cookie) override;
    int HelpTopic() const override;

    // Left to right: RMS of A, peak of A, peak of B, RMS of B.
    const std::array<MeterColumn, 4>& MeterColumns() const { return columns_; }
    const char* PairName() const { return pairName_; }

protected:
    void LayoutColumns() override;
    void OnDraw(DrawingContext& dc) override;
    void ResetHolds() override;
    std::span<MeterColumn> Columns() override { return columns_; }
    LevelStyle StyleOf(const MeterColumn& column) const override;

private:
    StereoParamStore parameters_;
    std::array<MeterColumn, 4> columns_{};
    char pairName_[20] = {};
    int32_t rateCode_ = 0;
    double readoutTimer_ = 0; // seconds since the readouts were last painted
};
