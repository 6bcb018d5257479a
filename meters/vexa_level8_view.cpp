#include "meters/vexa_level8_view.h"

#include "app/command_ids.h"
#include "app/global_settings.h"
#include "device/channel_names.h"
#include "doc/vexa_doc.h"
#include "meters/column_drawing.h"
#include "platform/muldiv.h"

#include <algorithm>

namespace {

constexpr int32_t kMultiChannelFontHeight = -10;
constexpr double kReadoutPeriod = 0.09; // seconds between readout repaints of a pair
constexpr COLORREF kBlack = 0;
constexpr double kTextLevelOffAbove = 1.5;
constexpr double kTextLevelRmsFrom = 0.5;

} // namespace

CVexaLevel8View::CVexaLevel8View(Profile& profile)
    : CVexaMeterView(profile, kMultiChannelFontHeight) {
    BindParams(parameters_.Table());
}

int CVexaLevel8View::HelpTopic() const {
    return channelCount_ <= 8 ? help::kMultiMeter : help::kGlobalMeter;
}

bool CVexaLevel8View::ReadoutsOff() const {
    return ParamValue(Table(), kParamTextLevelType) > kTextLevelOffAbove;
}

void CVexaLevel8View::SetChannelSelection(int channelCount, const ChannelSelection& selection) {
    selection_ = selection;
    firstChannel_ = 0;
    if (channelCount == 8) {
        const int32_t firstPair = ChannelNames::GroupFirstPair(selection);
        // A group the card does not have shows an empty meter.
        channelCount_ = firstPair < 0 ? 0 : 8;
        firstChannel_ = std::max(firstPair, 0) * 2;
    } else if (channelCount == 26) {
        channelCount_ = 2 * ChannelNames::PairCount(selection);
    }
}

void CVexaLevel8View::LayoutColumns() {
    const bool off = ReadoutsOff();
    const MultiChannelTextMetrics text{.narrow = TextWidth(" -100 "),
                                       .pitch = TextWidth(off ? " 55 " : "-188.8 "),
                                       .height = FontHeight()};
    columnPitch_ = text.pitch;
    textHeight_ = text.height;
    const ChannelRange range{.channelCount = channelCount_,
                             .firstChannel = firstChannel_,
                             .readoutsOff = off,
                             .adatContinuous = Globals().ADATContinious != 0};
    minWidth_ =
        LayoutMultiChannelColumns(columns_, text, height(), CurrentScale(), range, selection_);
}

void CVexaLevel8View::ResetHolds() {
    const auto count = static_cast<size_t>(std::clamp<int32_t>(channelCount_, 0, 64));
    ::ResetHolds(std::span(columns_).first(count));
}

void CVexaLevel8View::OnDraw(DrawingContext& dc) {
    const MeterColumn& first = columns_[0];
    const int32_t wb = first.bar.right - first.bar.left;
    const int32_t h = textHeight_;
    const int32_t w = columnPitch_;
    const int32_t labelRow = first.bar.top - MulDiv(h, 3, 2);
    const bool off = ReadoutsOff();
    dc.SelectFont(font_);
    dc.FillSolidRect({0, 0, width(), height()}, backgroundColor_);

    const MeterColumn* firstEnabled = nullptr;
    const MeterColumn* lastEnabled = nullptr;
    const auto count = static_cast<size_t>(std::clamp<int32_t>(channelCount_, 0, 64));
    for (const MeterColumn& column : std::span(columns_).first(count)) {
        if (!column.enabled)
            continue;
        firstEnabled = firstEnabled ? firstEnabled : &column;
        lastEnabled = &column;
        const ColumnRect& bar = column.bar;
        dc.SetBkColor(backgroundColor_);
        dc.SetTextColor(labelColor_);
        DrawScale(column, dc, w, false, false);
        dc.SetTextAlign(TA_CENTER);
        if (off && column.groupLabel[0] != '\0')
            dc.TextOut(column.centerX + w / 2, labelRow, column.groupLabel);
        dc.TextOut(column.centerX, bar.bottom + MulDiv(h, 1, 2), column.numberLabel);
        DrawSunkenFrame(dc, {bar.left - MulDiv(wb, 3, 10), bar.top - h / 2 + 1,
                             bar.right + MulDiv(wb, 3, 10), bar.bottom + h / 3});
        dc.FillSolidRect({bar.left, bar.top, bar.right, bar.bottom}, kBlack);
    }
    if (!firstEnabled)
        return;
    // The bars' black fills left black as the background colour; the numbers and captions
    // stand on the window background like the labels.
    dc.SetBkColor(backgroundColor_);
    dc.SetTextColor(labelColor_);
    DrawScale(*firstEnabled, dc, w, true, true);
    dc.SetTextAlign(TA_RIGHT);
    dc.TextOut(first.centerX - w / 2, labelRow, "dBfs");
    DrawScale(*lastEnabled, dc, w, false, true);
    dc.SetTextAlign(TA_LEFT);
    dc.TextOut(lastEnabled->centerX + w / 2, labelRow, "dBfs");
}

void CVexaLevel8View::OnLevelReport(const LevelReport& report, int32_t cookie) {
    if (!IsLive())
        return;
    std::optional<DrawingContext> dc = ClientContext();
    const bool known = cookie >= 0 && 2 * cookie + 1 < static_cast<int32_t>(columns_.size());
    MeterColumn* const pair[] = {known ? &columns_[2 * cookie] : nullptr,
                                 known ? &columns_[2 * cookie + 1] : nullptr};
    if (dc && known)
        PrefetchLevels(*dc, pair);
    if (!ProcessMultiChannelReport(std::span(columns_), cookie, report, selection_.rateCode,
                                   Table()))
        return;
    if (!dc)
        return;
    double& timer = readoutTimers_[cookie];
    timer += report.elapsed;
    const bool readouts = timer > kReadoutPeriod;
    if (readouts)
        timer = 0;
    DrawLevels(*dc, pair, readouts);
    if (CVexaDoc* doc = GetDocument(); doc && readouts)
        doc->UpdateAllViews(this);
}

CVexaMeterView::LevelStyle CVexaLevel8View::StyleOf(const MeterColumn&) const {
    return {.marker = true,
            .readout = !ReadoutsOff(),
            .allowOver = ParamValue(Table(), kParamTextLevelType) < kTextLevelRmsFrom};
}
