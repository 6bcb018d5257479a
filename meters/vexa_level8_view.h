#pragma once

#include "meters/vexa_meter_view.h"
#include "setup/param_templates.h"

#include <array>

// The multi-channel level meter of one group of eight channels and the global level meter of
// every channel of a bus: one bar per active channel with hold marker, readout, channel label
// and, without readouts, group labels.
class CVexaLevel8View final : public CVexaMeterView {
    Q_OBJECT

public:
    explicit CVexaLevel8View(Profile& profile);

    void SetChannelSelection(int channelCount, const ChannelSelection& selection) override;
    void OnLevelReport(const LevelReport& report, int32_t cookie) override;
    int HelpTopic() const override;

    // Column i shows bus channel FirstChannel() + i; columns 2p and 2p + 1 are pair p.
    const std::array<MeterColumn, 64>& MeterColumns() const { return columns_; }
    int32_t ChannelCount() const { return channelCount_; }
    int32_t FirstChannel() const { return firstChannel_; }
    int32_t ColumnPitch() const { return columnPitch_; }

protected:
    void LayoutColumns() override;
    void OnDraw(DrawingContext& dc) override;
    void ResetHolds() override;
    std::span<MeterColumn> Columns() override { return columns_; }
    LevelStyle StyleOf(const MeterColumn& column) const override;

private:
    static constexpr size_t kPairs = 32;

    bool ReadoutsOff() const;

    MultiChannelParamStore parameters_;
    std::array<MeterColumn, 64> columns_{};
    std::array<double, kPairs> readoutTimers_{}; // per pair: seconds since its readouts
    int32_t channelCount_ = 26;
    int32_t columnPitch_ = 0;
    int32_t firstChannel_ = 0;
    ChannelSelection selection_;
};
