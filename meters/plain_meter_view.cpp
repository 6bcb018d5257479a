#include "meters/plain_meter_view.h"

#include "app/command_ids.h"
#include "app/vexa_app.h"
#include "device/channel_names.h"
#include "doc/line_archive.h"
#include "doc/meter_function.h"
#include "doc/setup_block.h"
#include "doc/vexa_doc.h"
#include "platform/profile.h"
#include "setup/param_lines.h"
#include "setup/param_registry.h"

#include <QPainter>
#include <cmath>
#include <utility>

namespace {

constexpr const char* kBusNames[] = {"Input", "Playback", "Output"};

QString CardText(const ChannelSelection& s) {
    if (s.cardKind < 0)
        return QString("Card %1: no card answers").arg(s.CardNumber + 1);
    const int number = s.CardNumber < 3 ? s.CardNumber + 1 : s.CardNumber - 2;
    return QString::asprintf(ChannelNames::ModelNameFormat(s.cardKind), number);
}

QString ChannelText(int32_t function, const ChannelSelection& s) {
    char name[20] = {};
    if (function == 0)
        return ChannelNames::PairName(s, name) ? QString("Channels %1").arg(name)
                                               : QString("No such channel pair");
    if (function == 1)
        return ChannelNames::GroupName(s, name) ? QString("Group %1").arg(name)
                                                : QString("No such channel group");
    return QString("All %1 channels of the bus").arg(2 * ChannelNames::PairCount(s));
}

} // namespace

PlainMeterView::PlainMeterView(int32_t function, Profile& profile)
    : CVexaView(profile), function_(function), font_(MakeArialFont(function == 0 ? -13 : -10)) {
    if (function == 0)
        stereo_ = std::make_unique<StereoParams>();
    else
        multi_ = std::make_unique<MultiParams>();
    rateClock_.start();
}

ParamTable* PlainMeterView::Params() {
    return stereo_ ? &stereo_->Table() : &multi_->Table();
}

void PlainMeterView::Serialize(LineWriter& archive) {
    archive.Write(FormatFontLine(font_));
    WriteParamLines(*Params(), archive);
    archive.Write("\n\n");
}

void PlainMeterView::Serialize(LineReader& archive) {
    std::string line;
    archive.ReadLine(line);
    ReadFontLine(line, font_);
    ReadParamLines(*Params(), archive);
    OnParamsChanged(1);
}

int PlainMeterView::HelpTopic() const {
    if (function_ == 0)
        return help::kStereoMeter;
    return channelCount_ <= 8 ? help::kMultiMeter : help::kGlobalMeter;
}

void PlainMeterView::SetChannelSelection(int channelCount, const ChannelSelection& selection) {
    channelCount_ = channelCount;
    selection_ = selection;
    update();
}

void PlainMeterView::SaveSettings(const std::string& section) {
    SaveParamsToRegistry(*Params(), profile(), section);
    profile().WriteBinary(section, "Font", font_.ToBytes());
}

void PlainMeterView::LoadSettings(const std::string& section) {
    LoadParamsFromRegistry(*Params(), profile(), section);
    std::vector<uint8_t> bytes;
    if (profile().ReadBinary(section, "Font", bytes))
        font_.FromBytes(bytes.data(), bytes.size());
}

int PlainMeterView::OnParamsChanged(int) {
    for (ParamDesc& record : (*Params()).records)
        record.flags &= ~PF_CHANGED;
    update();
    return 1;
}

void PlainMeterView::OnLevelReport(const LevelReport& report, int32_t) {
    ++reportsInSecond_;
    peakInSecond_ = std::max({peakInSecond_, report.peakA, report.peakB});
    const qint64 ms = rateClock_.elapsed();
    if (ms >= 1000) {
        reportsPerSecond_ = reportsInSecond_ * 1000.0 / ms;
        reportsInSecond_ = 0;
        peak_ = std::exchange(peakInSecond_, 0.0);
        rateClock_.restart();
        update();
    }
}

void PlainMeterView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    const int bus = selection_.BusType;
    const QString lines[] = {
        MeterFunctions()[function_].title,
        CardText(selection_),
        QString("Bus: %1").arg(bus >= 0 && bus < 3 ? kBusNames[bus] : "unknown"),
        ChannelText(function_, selection_),
        QString("Level reports: %1 per second").arg(reportsPerSecond_, 0, 'f', 0),
        QString("Loudest peak: %1 dBFS").arg(20 * std::log10(peak_ + 1e-30), 0, 'f', 1),
    };
    const int lineHeight = fontMetrics().height() + 4;
    int y = 12 + fontMetrics().ascent();
    for (const QString& line : lines) {
        p.drawText(12, y, line);
        y += lineHeight;
    }
}
