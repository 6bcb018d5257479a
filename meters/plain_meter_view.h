#pragma once

#include "meters/vexa_view.h"
#include "platform/log_font.h"
#include "setup/param_templates.h"

#include <QElapsedTimer>
#include <memory>

// A meter view that tells in words what its window meters and how many level reports per
// second arrive: the stand-in for the bar meters while they are built.
class PlainMeterView final : public CVexaView {
    Q_OBJECT

public:
    PlainMeterView(int32_t function, Profile& profile);

    void SetChannelSelection(int channelCount, const ChannelSelection& selection) override;
    void SaveSettings(const std::string& section) override;
    void LoadSettings(const std::string& section) override;
    int OnParamsChanged(int force) override;
    void OnLevelReport(const LevelReport& report, int32_t cookie) override;

    double ReportsPerSecond() const { return reportsPerSecond_; }
    int HelpTopic() const override;
    ParamTable* Params() override;
    void Serialize(LineWriter& archive) override;
    void Serialize(LineReader& archive) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    using StereoParams = ParamStore<kStereoParamTemplate, kStereoIndexSize>;
    using MultiParams = ParamStore<kMultiChannelParamTemplate, kMultiChannelIndexSize>;

    int32_t function_;
    LOGFONT font_;
    int channelCount_ = 0;
    ChannelSelection selection_;
    std::unique_ptr<StereoParams> stereo_;
    std::unique_ptr<MultiParams> multi_;
    QElapsedTimer rateClock_;
    int reportsInSecond_ = 0;
    double reportsPerSecond_ = 0;
    double peakInSecond_ = 0;
    double peak_ = 0;
};
