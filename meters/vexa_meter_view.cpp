#include "meters/vexa_meter_view.h"

#include "app/command_ids.h"
#include "app/global_settings.h"
#include "app/main_frame.h"
#include "dialogs/modal_run.h"
#include "doc/line_archive.h"
#include "doc/setup_block.h"
#include "doc/vexa_doc.h"
#include "meters/column_drawing.h"
#include "meters/meter_font_dialog.h"
#include "meters/not_live_drawing.h"
#include "platform/glyph_cache.h"
#include "platform/profile.h"
#include "setup/param_lines.h"
#include "setup/param_registry.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegion>
#include <utility>
#include <vector>

namespace {

constexpr const char* kFontValue = "Font";
constexpr double kLevelGapDb = 10; // Top and Bottom Level keep at least this distance
constexpr COLORREF kBlack = 0;

} // namespace

CVexaMeterView::CVexaMeterView(Profile& profile, int32_t fontHeight)
    : CVexaView(profile), backgroundColor_(GetSysColor(COLOR_BTNFACE)),
      readoutBackColor_(GetSysColor(COLOR_BTNFACE)), font_(MakeArialFont(fontHeight)) {}

void CVexaMeterView::SaveSettings(const std::string& section) {
    SaveParamsToRegistry(Table(), profile(), section);
    profile().WriteBinary(section, kFontValue, font_.ToBytes());
}

void CVexaMeterView::LoadSettings(const std::string& section) {
    LoadParamsFromRegistry(Table(), profile(), section);
    std::vector<uint8_t> bytes;
    if (profile().ReadBinary(section, kFontValue, bytes))
        font_.FromBytes(bytes.data(), bytes.size());
}

void CVexaMeterView::Serialize(LineWriter& archive) {
    archive.Write(FormatFontLine(font_));
    WriteParamLines(Table(), archive);
    archive.Write("\n\n");
}

void CVexaMeterView::Serialize(LineReader& archive) {
    std::string line;
    archive.ReadLine(line);
    ReadFontLine(line, font_);
    ReadParamLines(Table(), archive);
    OnParamsChanged(1);
}

int CVexaMeterView::OnParamsChanged(int force) {
    bool relayout = false;
    // Moves the other end of the scale away when the two ends meet or cross.
    auto keepApart = [this](int32_t otherId, auto crossed, double moved) {
        ParamDesc* other = FindParamById(Table(), otherId);
        if (other && crossed(other->value)) {
            other->value = moved;
            other->flags |= PF_CHANGED | PF_REDRAW;
        }
    };
    for (ParamDesc& record : Table().records) {
        if (!(record.flags & PF_CHANGED))
            continue;
        record.flags &= ~PF_CHANGED;
        const double value = record.value;
        switch (record.id) {
        case kParamTopLevel:
            keepApart(
                kParamBottomLevel, [value](double bottom) { return bottom >= value; },
                value - kLevelGapDb);
            relayout = true;
            break;
        case kParamBottomLevel:
            keepApart(
                kParamTopLevel, [value](double top) { return value >= top; }, value + kLevelGapDb);
            relayout = true;
            break;
        case kParamSwitchLevel:
        case kParamCompressedScale:
        case kParamTextLevelType:
            relayout = true;
            break;
        case kParamHoldReset:
            ResetHolds();
            ShowParamById(0, kParamHoldReset, Table());
            break;
        default:
            break;
        }
    }
    if (!relayout && force == 0)
        return 0;
    Relayout();
    return 1;
}

bool CVexaMeterView::OnCommand(int id) {
    switch (id) {
    case cmd::kFont:
        ChooseFont();
        return true;
    case cmd::kFilePrint:
        Print();
        return true;
    default:
        return CVexaView::OnCommand(id);
    }
}

bool CVexaMeterView::OnUpdateCommand(int id, CommandState& state) {
    return id == cmd::kFont || id == cmd::kFilePrint || CVexaView::OnUpdateCommand(id, state);
}

ScaleParams CVexaMeterView::CurrentScale() const {
    return {.compressed = ParamValue(Table(), kParamCompressedScale) >= 0.5,
            .topLevel = ParamValue(Table(), kParamTopLevel),
            .switchLevel = ParamValue(Table(), kParamSwitchLevel),
            .bottomLevel = ParamValue(Table(), kParamBottomLevel)};
}

int32_t CVexaMeterView::TextWidth(std::string_view text) const {
    return GlyphsFor(font_)->Width(text);
}

int32_t CVexaMeterView::FontHeight() const {
    return GlyphsFor(font_)->Height();
}

void CVexaMeterView::Relayout() {
    LayoutColumns();
    FullRepaint();
}

void CVexaMeterView::FullRepaint() {
    // The window's width follows the layout; a resize this causes repaints on its own.
    if (CVexaDoc* doc = GetDocument(); doc && doc->GetFrame()->ActiveView() == this)
        doc->GetFrame()->FitClientSize(minWidth_, 0);
    std::optional<DrawingContext> dc = canvas_.Context();
    if (!dc)
        return;
    for (MeterColumn& column : Columns())
        ForgetDrawing(column);
    OnDraw(*dc);
    if (!IsLive()) {
        dc->SelectFont(font_);
        DrawNotLive(*dc, Columns(), notLiveMessage_, size());
    }
    canvas_.InvalidateAll();
}

void CVexaMeterView::ShowNotLive(const QString& message) {
    std::string text = message.toStdString();
    if (text == notLiveMessage_)
        return;
    if (!text.empty()) {
        for (MeterColumn& column : Columns())
            column.ballistics = ChannelBallistics{};
    }
    notLiveMessage_ = std::move(text);
    FullRepaint();
}

QImage CVexaMeterView::RenderFullRepaint() {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!image.isNull()) {
        DrawingContext dc(image);
        OnDraw(dc);
    }
    return image;
}

void CVexaMeterView::MarkColumnPainted(const MeterColumn& column, const QRect& bar,
                                       const QRect& marker) {
    const QRect rects[] = {bar, marker};
    if ((bar.isEmpty() && marker.isEmpty()) || screen_.Push(canvas_.image(), rects) ||
        surface_.Push(canvas_.image(), rects))
        return;
    const auto index = static_cast<size_t>(&column - Columns().data());
    barsPainted_[index] |= bar;
    markersPainted_[index] |= marker;
    QueueFlush();
}

void CVexaMeterView::MarkReadoutPainted(const QRect& rect) {
    if (rect.isEmpty() || screen_.Push(canvas_.image(), std::span(&rect, 1)) ||
        surface_.Push(canvas_.image(), std::span(&rect, 1)))
        return;
    readoutsPainted_ |= rect;
    QueueFlush();
}

void CVexaMeterView::PrefetchLevels(const DrawingContext& dc,
                                    std::span<MeterColumn* const> columns) {
    const ScreenPush::Showing shown = screen_.Shown();
    if (shown.Nothing())
        return;
    for (const MeterColumn* column : columns)
        if (shown.Shows(LevelArea(*column)))
            PrefetchColumn(*column, dc);
}

void CVexaMeterView::DrawLevels(DrawingContext& dc, std::span<MeterColumn* const> columns,
                                bool readouts) {
    const ScreenPush::Showing shown = screen_.Shown();
    if (shown.Nothing()) {
        // Each trace still says what the image holds: the next drawing paints the difference.
        for (MeterColumn* column : columns)
            column->trace.levelsBehind = true;
        levelsBehind_ = levelsBehind_ || !columns.empty();
        return;
    }
    dc.SetBkColor(backgroundColor_);
    dc.SelectPen(kBlack);
    if (readouts) {
        const LOGFONT previous = dc.SelectFont(font_);
        dc.SetBkColor(readoutBackColor_);
        dc.SetTextColor(readoutTextColor_);
        for (MeterColumn* column : columns) {
            const LevelStyle style = StyleOf(*column);
            if (!style.readout)
                continue;
            const ColumnRect& r = column->readout;
            if (shown.Shows(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1))))
                MarkReadoutPainted(DrawReadout(*column, dc, style.allowOver));
            else
                levelsBehind_ = column->trace.levelsBehind = true;
        }
        dc.SelectFont(previous);
    }
    const COLORREF warning = Globals().WarningColor;
    const COLORREF normal = Globals().NormalColor;
    for (MeterColumn* column : columns) {
        if (!shown.Shows(LevelArea(*column))) {
            levelsBehind_ = column->trace.levelsBehind = true;
            continue;
        }
        const QRect bar = DrawBar(*column, dc);
        MarkColumnPainted(*column, bar,
                          StyleOf(*column).marker ? DrawHoldMarker(*column, dc, warning, normal)
                                                  : QRect());
    }
}

void CVexaMeterView::CatchUpLevels() {
    if (!std::exchange(levelsBehind_, false) || !IsLive())
        return;
    std::optional<DrawingContext> dc = canvas_.Context();
    if (!dc)
        return;
    std::vector<MeterColumn*> behind;
    for (MeterColumn& column : Columns())
        if (std::exchange(column.trace.levelsBehind, false))
            behind.push_back(&column);
    DrawLevels(*dc, behind, true);
}

void CVexaMeterView::QueueFlush() {
    // One repaint for all reports of a poll, once the poll is over.
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &CVexaMeterView::FlushPainted, Qt::QueuedConnection);
    }
}

void CVexaMeterView::FlushPainted() {
    flushQueued_ = false;
    QRegion region = std::exchange(readoutsPainted_, QRect());
    for (auto* painted : {&barsPainted_, &markersPainted_})
        for (QRect& rect : *painted)
            region += std::exchange(rect, QRect());
    update(region);
}

void CVexaMeterView::resizeEvent(QResizeEvent* event) {
    CVexaView::resizeEvent(event);
    canvas_.Resize(size());
    Relayout();
}

QPaintEngine* CVexaMeterView::paintEngine() const {
    // Only asked while the view paints on the screen itself (see ScreenPush::Paint).
    return nullptr;
}

void CVexaMeterView::paintEvent(QPaintEvent* event) {
    CatchUpLevels();
    if (!redirected(nullptr) && !sharedPainter() && screen_.Paint(canvas_.image(), event->region()))
        return;
    canvas_.Paint(event);
    // The surface over the window shows whatever Qt repaints, too.
    const QRegion& region = event->region();
    surface_.Push(canvas_.image(), std::span(region.begin(), region.end()));
}

void CVexaMeterView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = IsCtrlHeld() || (event->modifiers() & Qt::ControlModifier);
    if (key == Qt::Key_Control || !ctrl) {
        CVexaView::keyPressEvent(event);
        return;
    }
    // With Ctrl a key never switches the function.
    if (key == Qt::Key_C)
        ToggleSwitch(kParamCompressedScale);
    else if (key == Qt::Key_I)
        ToggleSwitch(kParamInstantHold);
}

void CVexaMeterView::ToggleSwitch(int32_t id) {
    if (!SetParamById(1 - ParamValue(Table(), id), id, Table()))
        return;
    OnParamsChanged(0);
    if (CVexaDoc* doc = GetDocument())
        doc->UpdateAllViews(nullptr);
}

void CVexaMeterView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        ResetHolds();
    CVexaView::mouseDoubleClickEvent(event);
}

void CVexaMeterView::ChooseFont() {
    if (ChooseMeterFont(font_, this))
        OnParamsChanged(1);
}

void CVexaMeterView::Print() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    // The meters go on moving while the preview is open; the page shows the moment of Ctrl+P.
    const QImage page = PrintedImage();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&page](QPrinter* target) { PrintImage(page, *target); });
    RunModal(preview);
}

QImage CVexaMeterView::PrintedImage() {
    if (!canvas_.HasImage())
        return RenderFullRepaint();
    CatchUpLevels();
    // A copy: the meters go on drawing into the backing image.
    return canvas_.image().copy();
}

void CVexaMeterView::PrintPage(QPaintDevice& device) {
    PrintImage(PrintedImage(), device);
}

void CVexaMeterView::PrintImage(const QImage& page, QPaintDevice& device) {
    QPainter painter(&device);
    const QRect area = painter.viewport();
    const QSize fitted = page.size().scaled(area.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(area.topLeft(), fitted), page);
}
