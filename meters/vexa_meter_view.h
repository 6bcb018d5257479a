#pragma once

#include "meters/column_layout.h"
#include "meters/meter_column.h"
#include "meters/vexa_view.h"
#include "platform/client_canvas.h"
#include "platform/log_font.h"
#include "platform/screen_push.h"
#include "platform/wayland_push.h"

#include <QRect>
#include <array>
#include <span>

class DrawingContext;
class QPaintDevice;

// What the stereo and the multi-channel meter views share: the backing image with its full
// repaint and incremental drawing, the meter font and colours, the parameter reactions, the
// settings and setup-file parts, the font dialog, the Ctrl keys, the double click and
// printing.
class CVexaMeterView : public CVexaView {
    Q_OBJECT

public:
    void SaveSettings(const std::string& section) override;
    void LoadSettings(const std::string& section) override;
    int OnParamsChanged(int force) override;
    void Serialize(LineWriter& archive) override;
    void Serialize(LineReader& archive) override;
    ParamTable* Params() override { return params_; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;
    // Going not-live also forgets the levels, so that none of them returns with the card.
    void ShowNotLive(const QString& message) override;
    bool IsLive() const { return notLiveMessage_.empty(); }

    const LOGFONT& Font() const { return font_; }
    int32_t MinWidth() const { return minWidth_; }
    int32_t TextHeight() const { return textHeight_; }
    // The backing image: what the window shows.
    const QImage& Image() const { return canvas_.image(); }

    // The full repaint into an image of the client size, without bars, markers or readouts.
    QImage RenderFullRepaint();
    // What the window shows now (bars, markers and readouts included), scaled onto the device
    // as large as it fits.
    void PrintPage(QPaintDevice& device);

protected:
    // `params` belongs to the derived view, which binds it in its constructor.
    CVexaMeterView(Profile& profile, int32_t fontHeight);
    void BindParams(ParamTable& params) { params_ = &params; }
    ParamTable& Table() const { return *params_; }

    // The layout step: column geometry from the font and the client size.
    virtual void LayoutColumns() = 0;
    // The full repaint of everything but bars, markers and readouts.
    virtual void OnDraw(DrawingContext& dc) = 0;
    virtual void ResetHolds() = 0;
    virtual std::span<MeterColumn> Columns() = 0;

    // The scale parameters every column copies.
    ScaleParams CurrentScale() const;
    // Width of `text` in the meter font.
    int32_t TextWidth(std::string_view text) const;
    // Height of the meter font's text boxes.
    int32_t FontHeight() const;
    // Takes the client drawing context; none while the window has no backing image.
    std::optional<DrawingContext> ClientContext() { return canvas_.Context(); }
    // Copies what incremental drawing changed in a column, its bar and its marker, to the
    // screen: at once where the display allows it (X11, or a surface of the view's own on
    // Wayland), else through Qt's repaint once the poll is over. There a column's bar rectangles
    // are copied out as one, its marker rectangles as another (together they would often span most
    // of the bar), and all readouts as one.
    void MarkColumnPainted(const MeterColumn& column, const QRect& bar, const QRect& marker);
    void MarkReadoutPainted(const QRect& rect);

    // What a column of the view shows besides its bar.
    struct LevelStyle {
        bool marker = false;
        bool readout = false;
        bool allowOver = false; // the readout may say "OVR"
    };
    virtual LevelStyle StyleOf(const MeterColumn& column) const = 0;
    // Fetches the pixels the next levels of `columns` will likely change, where they can be
    // seen.
    void PrefetchLevels(const DrawingContext& dc, std::span<MeterColumn* const> columns);
    // Draws the levels of `columns`: bars, markers and, when `readouts`, readouts, and copies
    // them to the screen. What the screen does not show at all is left behind, and drawn
    // once it shows again (at the paint event its expose brings).
    void DrawLevels(DrawingContext& dc, std::span<MeterColumn* const> columns, bool readouts);

    void resizeEvent(QResizeEvent* event) override;
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    COLORREF backgroundColor_;
    COLORREF labelColor_ = 0;
    COLORREF readoutTextColor_ = 0;
    COLORREF readoutBackColor_;
    int32_t minWidth_ = 0;
    int32_t textHeight_ = 0;
    LOGFONT font_;

private:
    // Relayout and repaint of the whole client area.
    void Relayout();
    void FullRepaint();
    void QueueFlush();
    void FlushPainted();
    void CatchUpLevels();
    void ToggleSwitch(int32_t id);
    void ChooseFont();
    void Print();
    QImage PrintedImage();
    static void PrintImage(const QImage& page, QPaintDevice& device);

    ParamTable* params_ = nullptr;
    ClientCanvas canvas_{this};
    ScreenPush screen_{this};
    WaylandPush surface_{this};
    // What was painted since the last copy to the screen: bars and markers by column, and
    // the readouts.
    std::array<QRect, 64> barsPainted_;
    std::array<QRect, 64> markersPainted_;
    QRect readoutsPainted_;
    bool flushQueued_ = false;
    bool levelsBehind_ = false; // some column's trace says levelsBehind
    std::string notLiveMessage_;
};
