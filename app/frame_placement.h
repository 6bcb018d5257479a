#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <optional>
#include <utility>

class QWidget;
class QWindow;

// Places a top-level window by its outer rectangle (the window manager's frame included) and
// holds its size locks. Under X11 the frame's margins are known only once the window manager
// has framed the window, after it was mapped: a hidden window is placed with the margins of
// the last framed one, and a placement stays on hand until the window's exposure applies it
// with the real margins.
class FramePlacement : public QObject {
public:
    explicit FramePlacement(QWidget& window);

    // What the window system tells of the window: its frame's margins and whether the
    // window is exposed. Tests stand in for a window manager that frames the window late.
    struct FrameReport {
        QMargins margins;
        bool exposed = false;
    };
    using FrameProbe = std::function<FrameReport()>;
    void SetFrameProbe(FrameProbe probe);

    // The outer rectangle, as it is or as a waiting placement will make it.
    QRect Outer() const;
    // The outer rectangle of the normal (not maximized or minimized) window.
    QRect NormalOuter() const;
    void Place(const QRect& outer);
    // A new outer size; the window stays where it is, or where the window manager puts it.
    void Resize(const QSize& outer);
    // Locks the width and the height of the client area (0 leaves a dimension free): the
    // window manager gets them as minimum and maximum, so no drag or maximize can change them.
    // A changed dimension is centred on the old one. True when the window moved.
    bool Lock(int clientWidth, int clientHeight);
    // The locked outer width and height, 0 where free.
    int LockedOuterWidth() const;
    int LockedOuterHeight() const;
    // Moves the window, title bar included, onto the virtual screen (Qt's screens together).
    void KeepOnScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Request {
        std::optional<QPoint> topLeft; // none: where the window manager places it
        QSize size;
        bool keepOnScreen = false;
    };

    // The frame's margins as far as they are known, and whether they are final.
    struct Frame {
        QMargins margins;
        bool settled = false;
    };
    Frame CurrentFrame() const;
    QMargins Decoration() const;
    QRect Target(const QRect& outer, const QMargins& decoration) const;
    void Apply();
    void ApplyLimits(const QMargins& decoration);
    void OnWindowChange();

    QWidget& window_;
    QPointer<QWindow> watched_;
    FrameProbe probe_;
    std::optional<Request> request_;
    // Where the program last placed the window: all a client knows of its position where the
    // compositor places windows.
    std::optional<QPoint> placedAt_;
    std::optional<QMargins> normalDecoration_;
    QSize lock_{0, 0};
    // The minimum and maximum size last handed to the window.
    std::pair<QSize, QSize> limits_;
    // Set while the placement itself moves or resizes the window.
    int applying_ = 0;
    // A request or lock changed while it was being applied.
    bool reapply_ = false;
};
