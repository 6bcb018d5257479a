#include "app/frame_placement.h"

#include "platform/window_placement.h"

#include "app/frame_geometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace {

// The widest a free frame may be dragged or maximized, in outer pixels.
constexpr int kMaxTrackWidth = 1300;

// The margins of the normal frame the window manager drew last: the best guess for a window
// it has not framed yet, as the program's frames all look alike.
QMargins& LastDecoration() {
    static QMargins margins;
    return margins;
}

int Horizontal(const QMargins& m) {
    return m.left() + m.right();
}

int Vertical(const QMargins& m) {
    return m.top() + m.bottom();
}

bool IsNormal(const QWidget& window) {
    return !(window.windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

} // namespace

FramePlacement::FramePlacement(QWidget& window) : window_(window) {
    window_.installEventFilter(this);
    ApplyLimits(Decoration());
}

void FramePlacement::SetFrameProbe(FrameProbe probe) {
    probe_ = std::move(probe);
}

FramePlacement::Frame FramePlacement::CurrentFrame() const {
    FrameReport report;
    if (probe_) {
        report = probe_();
    } else {
        const QWindow* window = window_.windowHandle();
        if (!window || !window->handle())
            return {LastDecoration(), false};
        report = {window->frameMargins(), window->isExposed()};
    }
    // Until the window manager has framed the window X11 reports margins of 0, and while it
    // builds the frame ones measured against a frame of no size yet. Once the window is
    // exposed they are the real ones, 0 where no window manager runs.
    const QMargins& m = report.margins;
    const bool sane = m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0;
    if (sane && report.exposed)
        return {m, true};
    return {sane && !m.isNull() ? m : LastDecoration(), false};
}

QMargins FramePlacement::Decoration() const {
    return CurrentFrame().margins;
}

QRect FramePlacement::Target(const QRect& outer, const QMargins& m) const {
    return frame_geometry::CentreResize(outer, lock_.width() ? lock_.width() + Horizontal(m) : 0,
                                        lock_.height() ? lock_.height() + Vertical(m) : 0);
}

QRect FramePlacement::Outer() const {
    const QMargins m = Decoration();
    if (request_ && request_->topLeft)
        return Target(QRect(*request_->topLeft, request_->size), m);
    QRect outer = window_.geometry().marginsAdded(m);
    if (placedAt_ && CompositorPlacesWindows())
        outer.moveTopLeft(*placedAt_);
    return outer;
}

QRect FramePlacement::NormalOuter() const {
    if (request_ || IsNormal(window_))
        return Outer();
    return window_.normalGeometry().marginsAdded(normalDecoration_.value_or(Decoration()));
}

int FramePlacement::LockedOuterWidth() const {
    return lock_.width() ? lock_.width() + Horizontal(Decoration()) : 0;
}

int FramePlacement::LockedOuterHeight() const {
    return lock_.height() ? lock_.height() + Vertical(Decoration()) : 0;
}

void FramePlacement::Place(const QRect& outer) {
    request_ = Request{outer.topLeft(), outer.size()};
    Apply();
}

void FramePlacement::Resize(const QSize& outer) {
    if (request_)
        request_->size = outer;
    else if (CurrentFrame().settled)
        request_ = Request{Outer().topLeft(), outer};
    else
        request_ = Request{std::nullopt, outer};
    Apply();
}

bool FramePlacement::Lock(int clientWidth, int clientHeight) {
    const QRect before = Outer();
    lock_ = QSize(std::max(clientWidth, 0), std::max(clientHeight, 0));
    if (request_) {
        Apply();
        return Outer() != before;
    }
    const QMargins m = Decoration();
    // Placed only when the lock changes the size: the geometry at hand may be one the window
    // manager has already replaced, and placing it again would undo the newer one.
    const QRect target = Target(before, m);
    if (target == before) {
        ApplyLimits(m);
        return false;
    }
    Place(target);
    return true;
}

void FramePlacement::KeepOnScreen() {
    if (request_ && !request_->topLeft) {
        // Where the window manager puts the window is known once it has done so.
        request_->keepOnScreen = true;
        return;
    }
    QRect screen;
    for (const QScreen* s : QGuiApplication::screens())
        screen |= s->geometry();
    if (auto moved = frame_geometry::KeepOnScreen(Outer(), screen))
        Place(*moved);
}

void FramePlacement::Apply() {
    // The layout answering a resize below may lock or place anew; the running Apply takes
    // that up once its own request is out, so no step works from a half-applied geometry.
    if (applying_ > 0) {
        reapply_ = true;
        return;
    }
    Frame frame;
    Request request;
    do {
        reapply_ = false;
        frame = CurrentFrame();
        // While the window manager frames a shown window it may replace what is asked
        // meanwhile; the window's exposure applies the request.
        if (window_.isVisible() && !frame.settled)
            return;
        request = *request_;
        const QRect outer =
            Target(QRect(request.topLeft.value_or(QPoint()), request.size), frame.margins);
        const QRect client = outer.marginsRemoved(frame.margins);
        const QSize size(std::max(1, client.width()), std::max(1, client.height()));
        ++applying_;
        ApplyLimits(frame.margins);
        if (request.topLeft) {
            placedAt_ = outer.topLeft();
            window_.setGeometry(QRect(client.topLeft(), size));
        } else
            window_.resize(size);
        --applying_;
    } while (reapply_);
    if (!frame.settled)
        return;
    request_.reset();
    if (request.keepOnScreen)
        KeepOnScreen();
}

void FramePlacement::ApplyLimits(const QMargins& m) {
    const QSize min = lock_;
    const QSize max(lock_.width() ? lock_.width() : std::max(1, kMaxTrackWidth - Horizontal(m)),
                    lock_.height() ? lock_.height() : QWIDGETSIZE_MAX);
    if (min == limits_.first && max == limits_.second)
        return;
    limits_ = {min, max};
    // Loosen first: a limit set against the old other one would not take.
    window_.setMinimumSize(0, 0);
    window_.setMaximumSize(max);
    window_.setMinimumSize(min);
}

void FramePlacement::OnWindowChange() {
    if (applying_ > 0)
        return;
    if (const auto [margins, settled] = CurrentFrame(); settled && IsNormal(window_)) {
        normalDecoration_ = margins;
        LastDecoration() = margins;
    }
    if (request_)
        Apply();
    else
        ApplyLimits(Decoration());
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
            // The native window may be a new one; its first exposure tells its frame.
            if (QWindow* window = window_.windowHandle(); window != watched_) {
                if (watched_)
                    watched_->removeEventFilter(this);
                watched_ = window;
                if (window)
                    window->installEventFilter(this);
            }
            OnWindowChange();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            OnWindowChange();
            break;
        default:
            break;
        }
    } else if (watched == watched_ && event->type() == QEvent::Expose) {
        OnWindowChange();
    }
    return false;
}
