#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

class QWidget;
struct wl_buffer;
struct wl_surface;
struct wl_subsurface;

// Shows rectangles of a widget's backing image on a Wayland desktop through a surface of its
// own, stacked over the widget as a subsurface of its window. Qt's backing store takes a
// fresh buffer whenever the compositor still holds the last one, and a software compositor
// holds it until the next arrives, so every repaint of a meter window, fifty a second,
// copied the whole window first. Here two buffers take turns and each is brought up to
// date with only the rectangles that changed since it was last shown; the compositor is
// told of those rectangles alone, in one commit once the events being handled are done.
// The surface takes no input: clicks go to the widget below it. Full repaints come here too
// (from the widget's paint event), so the surface always shows what the widget would.
// Weston's software renderer draws a subsurface's damage of a commit as one bounding box and
// filtered, so there the compositor spends about twice what it did (yet less than the copies
// cost the program). Surfaces cut into strips two bars wide shrank those boxes by only a
// third, the bars of a strip ending at different heights, and their commits cost as much.
// LEVORA_PLAIN_WAYLAND=1 leaves everything to Qt.
class WaylandPush : public QObject {
public:
    explicit WaylandPush(QWidget* widget);
    ~WaylandPush() override;

    // Copies the rectangles of `image` (widget pixels, shown one to one in logical pixels)
    // to the surface before the event loop waits again. The image must live until then and
    // keep its address. False when it cannot (another display, a hidden widget, an image
    // of another format): the caller then asks Qt to repaint them.
    bool Push(const QImage& image, std::span<const QRect> rects);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        uchar* pixels = nullptr;
        bool busy = false;         // the compositor may still read it
        bool stale = true;         // all of it lags behind the image
        std::vector<QRect> behind; // else these rectangles do
    };

    bool Ready();
    bool MakeSurface(wl_surface* parent);
    void DropSurface();
    bool MakeBuffers(const QRect& shown, int scale);
    void DropBuffers();
    void Send();
    void CopyRect(Buffer& buffer, const QRect& rect) const;

    QWidget* widget_;
    wl_surface* parent_ = nullptr; // the window's surface, while it is shown
    wl_surface* surface_ = nullptr;
    wl_subsurface* subsurface_ = nullptr;
    QObject* watchedWindow_ = nullptr; // the window whose native surface events drop ours
    QPoint position_;
    int scale_ = 1; // buffer pixels per logical pixel
    QRect shown_;   // the part of the image the buffers hold, in logical pixels
    int stride_ = 0;
    uchar* pool_ = nullptr;
    size_t poolBytes_ = 0;
    std::array<Buffer, 2> buffers_;
    const QImage* image_ = nullptr;
    std::vector<QRect> pending_; // pushed since the last commit
    bool damageAll_ = false;     // new buffers: the compositor has seen none of their pixels
    bool failed_ = false;        // no buffers to be had: Qt draws
};
