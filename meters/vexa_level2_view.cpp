#include "meters/vexa_level2_view.h"

#include "app/command_ids.h"
#include "app/global_settings.h"
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
    if (dc) {
        for (const MeterColumn& column : columns_)
            PrefetchColumn(column, *dc);
    }
    ProcessStereoReport(std::span(columns_), report, rateCode_, Table());
    if (!dc)
        return;
    dc->SetBkColor(backgroundColor_);
    dc->SelectPen(kBlack);
    readoutTimer_ += report.elapsed;
    if (readoutTimer_ > kReadoutPeriod) {
        const LOGFONT previous = dc->SelectFont(font_);
        dc->SetBkColor(readoutBackColor_);
        dc->SetTextColor(readoutTextColor_);
        for (size_t j = 0; j < columns_.size(); ++j)
            MarkReadoutPainted(DrawReadout(columns_[j], *dc, j == 1 || j == 2));
        dc->SelectFont(previous);
        if (CVexaDoc* doc = GetDocument())
            doc->UpdateAllViews(this);
        readoutTimer_ = 0;
    }
    const COLORREF warning = Globals().WarningColor;
    const COLORREF normal = Globals().NormalColor;
    for (size_t j = 0; j < columns_.size(); ++j) {
        MeterColumn& column = columns_[j];
        const QRect bar = DrawBar(column, *dc);
        // Only the peak columns carry a hold marker.
        const bool peak = j == 1 || j == 2;
        MarkColumnPainted(column, bar,
                          peak ? DrawHoldMarker(column, *dc, warning, normal) : QRect());
    }
}
