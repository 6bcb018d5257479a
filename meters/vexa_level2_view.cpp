#include "meters/vexa_level2_view.h"

#include "app/command_ids.h"
#include "device/channel_names.h"
#include "doc/vexa_doc.h"
#include "meters/column_drawing.h"
#include "platform/muldiv.h"

namespace {

constexpr int32_t kStereoFontHeight = -13;
constexpr double kReadoutPeriod = 0.09; // seconds between readout repaints
constexpr COLORREF kBlack = 0;

} // namespace

CVexaLevel2View::CVexaLevel2View(Profile& profile) : CVexaMeterView(profile, kStereoFontHeight) {
    BindParams(parameters_.Table());
}

int CVexaLevel2View::HelpTopic() const {
    return help::kStereoMeter;
}

void CVexaLevel2View::SetChannelSelection(int, const ChannelSelection& selection) {
    rateCode_ = selection.rateCode;
    ChannelNames::PairName(selection, pairName_);
}

void CVexaLevel2View::LayoutColumns() {
    const StereoTextMetrics text{
        .narrow = TextWidth(" -100 "), .wide = TextWidth(" -188.8 "), .height = FontHeight()};
    textHeight_ = text.height;
    minWidth_ = LayoutStereoColumns(columns_, text, width(), height(), CurrentScale());
}

void CVexaLevel2View::ResetHolds() {
    ::ResetHolds(std::span(columns_));
}

void CVexaLevel2View::OnDraw(DrawingContext& dc) {
    const MeterColumn& first = columns_[0];
    const int32_t s = columns_[1].centerX - first.centerX;
    const int32_t wcol = first.bar.right - first.bar.left;
    const int32_t top = first.bar.top;
    const int32_t bottom = first.bar.bottom;
    const int32_t h = textHeight_;
    const int32_t cx = width() / 2;

    dc.SelectFont(font_);
    dc.FillSolidRect({0, 0, width(), height()}, backgroundColor_);
    for (size_t j = 0; j < columns_.size(); ++j) {
        const MeterColumn& column = columns_[j];
        const ColumnRect& bar = column.bar;
        dc.SetBkColor(backgroundColor_);
        dc.SetTextColor(labelColor_);
        DrawScale(column, dc, s, j == 0, false);
        DrawSunkenFrame(dc, {bar.left - MulDiv(wcol, 3, 10), top - h / 2 + 1,
                             bar.right + MulDiv(wcol, 3, 10), bottom + h / 3});
        dc.FillSolidRect({bar.left, bar.top, bar.right, bar.bottom}, kBlack);
    }
    dc.SetBkColor(backgroundColor_);
    dc.SetTextColor(labelColor_);
    dc.SetTextAlign(TA_RIGHT);
    dc.TextOut(cx - 2 * s, top - MulDiv(h, 3, 2), "dBfs");
    dc.SetTextAlign(TA_CENTER);
    const int32_t captions = bottom + h / 2;
    dc.TextOut(first.centerX, captions, "RMS");
    dc.TextOut(columns_[3].centerX, captions, "RMS");
    dc.TextOut(cx, captions, "peak");
    dc.TextOut(cx - MulDiv(s, 3, 4), captions, "left");
    dc.TextOut(cx + MulDiv(s, 3, 4), captions, "right");
    dc.TextOut(cx, bottom + 3 * h / 2, pairName_);
}

void CVexaLevel2View::OnLevelReport(const LevelReport& report, int32_t) {
    if (!IsLive())
        return;
    std::optional<DrawingContext> dc = ClientContext();
    MeterColumn* const all[] = {&columns_[0], &columns_[1], &columns_[2], &columns_[3]};
    if (dc)
        PrefetchLevels(*dc, all);
    ProcessStereoReport(std::span(columns_), report, rateCode_, Table());
    if (!dc)
        return;
    readoutTimer_ += report.elapsed;
    const bool readouts = readoutTimer_ > kReadoutPeriod;
    if (readouts)
        readoutTimer_ = 0;
    DrawLevels(*dc, all, readouts);
    if (CVexaDoc* doc = GetDocument(); doc && readouts)
        doc->UpdateAllViews(this);
}

CVexaMeterView::LevelStyle CVexaLevel2View::StyleOf(const MeterColumn& column) const {
    // The peak columns, between the two RMS columns, carry the hold markers and may say "OVR".
    const bool peak = &column == &columns_[1] || &column == &columns_[2];
    return {.marker = peak, .readout = true, .allowOver = peak};
}
