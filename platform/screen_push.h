#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <span>
#include <vector>

class PixelStaging;
class QWindow;
class QWidget;
struct xcb_connection_t;

// Copies rectangles of a widget's backing image straight into its window on an X11 display,
// past Qt's backing store. A meter window changes a few small rectangles fifty times a
// second; Qt's repaint of a widget costs a synchronous round trip to the X server and more
// than all of the drawing, so incremental drawing is shown this way. Full repaints, and
// whatever Qt paints for its own reasons, still take the widget's paint event, which copies
// the same image; an exposed window is repainted from the image too.
// Where the server offers shared memory, rectangles reach it through a shared ring (see
// pixel_staging.h) and cost a short request instead of their pixels on the socket.
// The rectangles of a poll go out together once the poll is over, joined where that is
// cheaper and only where the screen shows the window (see screen_visibility.h, push_plan.h).
class ScreenPush : public QObject {
public:
    // Makes the widget a native window when the display is X11.
    explicit ScreenPush(QWidget* widget);
    ~ScreenPush() override;

    // Copies the rectangles of `image` (in widget pixels, as the widget shows it one to one)
    // to the window once the events being handled are done; they are sent off before the
    // event loop waits again (see display_flush.h). The image must live until then. False when
    // it cannot (another display, a scaled or hidden window): the caller then asks Qt to
    // repaint them.
    bool Push(const QImage& image, std::span<const QRect> rects);

    // For the widget's paint event. Where pushes reach the window, Qt paints the widget on
    // the screen (Qt::WA_PaintOnScreen, with paintEngine() returning null) and this copies
    // the region from `image` instead: the window's pixels then exist once, in the image,
    // not also in the top-level window's backing store, and Qt never shows that store's
    // stale copy of the meter. False when the paint event is Qt's to handle (another
    // display, a scaled window). A paint into another device (a grab) is always Qt's.
    bool Paint(const QImage& image, const QRegion& region);

    // What the screen shows of the widget now, read once for the many rectangles of a poll
    // (valid until the events being handled are done). A rectangle (widget pixels) it does
    // not show is covered, in a minimised window or a hidden widget, and nothing else will
    // show it: drawing there can wait for the expose that comes when it shows again.
    class Showing {
    public:
        bool Nothing() const { return !part_ && !all_; }
        bool Shows(const QRect& rect) const { return part_ ? part_->intersects(rect) : all_; }

    private:
        friend class ScreenPush;
        Showing(bool all, const QRegion* part) : all_(all), part_(part) {}
        bool all_;
        const QRegion* part_; // null when the widget shows all or nothing of itself
    };
    Showing Shown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Prepare();
    bool Direct() const;
    void ReadScale();
    void PaintOnScreen(bool on);
    static void SendAllPending();
    void SendPending();
    const QRegion& Visible();
    void PutRows(const QImage& image, const QRect& rect);

    QWidget* widget_;
    xcb_connection_t* connection_ = nullptr;
    uint32_t window_ = 0;
    uint32_t gc_ = 0;
    uint8_t depth_ = 0;
    uint32_t maxRequestBytes_ = 0;
    QWindow* watchedWindow_ = nullptr;
    bool unscaled_ = false;     // one window pixel per image pixel
    std::vector<uint8_t> rows_; // a rectangle's rows side by side, as X wants them
    const QImage* pendingImage_ = nullptr;
    std::vector<QRect> pending_; // pushed since the last send
    QRegion visible_;            // what the screen shows of the window
    bool visibleWhole_ = false;  // ... and that is all of it
    bool visibleKnown_ = false;
    uint64_t visibleGeneration_ = 0;  // of ScreenStackingGeneration() when visible_ was read
    PixelStaging* staging_ = nullptr; // null where the server takes no shared memory
};
