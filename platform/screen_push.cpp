#include "platform/screen_push.h"

#include "platform/pixel_staging.h"
#include "platform/push_plan.h"
#include "platform/screen_visibility.h"

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <utility>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {

constexpr uint32_t kPutImageHeaderBytes = 24;

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Segments passed as file descriptors came with version 1.2 of the extension, and only a
// local socket carries descriptors (sending one over TCP would break the connection).
bool ServerTakesSegmentFds(xcb_connection_t* connection) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(xcb_get_file_descriptor(connection), reinterpret_cast<sockaddr*>(&address),
                    &length) != 0 ||
        address.ss_family != AF_UNIX)
        return false;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (!extension || !extension->present)
        return false;
    xcb_shm_query_version_reply_t* version =
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr);
    const bool fds = version && (version->major_version > 1 ||
                                 (version->major_version == 1 && version->minor_version >= 2));
    std::free(version);
    return fds;
}

// One ring for all windows of the display, made at the first window; it lives as long as the
// connection, which Qt closes after the last window is gone.
PixelStaging* StagingFor(xcb_connection_t* connection) {
    static PixelStaging* staging = nullptr;
    static bool tried = false;
    if (!std::exchange(tried, true) && ServerTakesSegmentFds(connection)) {
        staging = new PixelStaging(connection);
        if (!staging->Valid()) {
            delete staging;
            staging = nullptr;
        }
    }
    return staging;
}

} // namespace

ScreenPush::ScreenPush(QWidget* widget) : QObject(widget), widget_(widget) {
    connection_ = X11Connection();
    if (!connection_)
        return;
    widget_->setAttribute(Qt::WA_NativeWindow);
    // Until a push says otherwise (see Paint).
    widget_->setAttribute(Qt::WA_PaintOnScreen);
    widget_->installEventFilter(this);
    staging_ = StagingFor(connection_);
    WatchScreenStacking(connection_);
    // Once for all windows; nested loops (modal dialogs) share the dispatcher.
    static const bool sending = QObject::connect(QAbstractEventDispatcher::instance(),
                                                 &QAbstractEventDispatcher::aboutToBlock, qApp,
                                                 &ScreenPush::SendAllPending);
    Q_UNUSED(sending);
}

namespace {

// The pushes with rectangles to send, all sent once the events being handled are done.
std::vector<ScreenPush*> waiting;

} // namespace

ScreenPush::~ScreenPush() {
    std::erase(waiting, this);
}

bool ScreenPush::Direct() const {
    return connection_ && widget_->isVisible() && unscaled_ && window_ != 0 &&
           window_ == widget_->winId() && (depth_ == 24 || depth_ == 32);
}

bool ScreenPush::Prepare() {
    if (!connection_ || !widget_->isVisible())
        return false;
    const auto window = static_cast<uint32_t>(widget_->winId());
    if (window != window_) {
        if (gc_ != 0)
            xcb_free_gc(connection_, gc_);
        window_ = window;
        gc_ = xcb_generate_id(connection_);
        xcb_create_gc(connection_, gc_, window_, 0, nullptr);
        // Once per native window: its depth decides whether our pixels fit it.
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr);
        depth_ = geometry ? geometry->depth : 0;
        std::free(geometry);
        maxRequestBytes_ = xcb_get_maximum_request_length(connection_) * 4;
        if (QWindow* handle = widget_->windowHandle(); handle != watchedWindow_) {
            if (watchedWindow_)
                watchedWindow_->removeEventFilter(this);
            watchedWindow_ = handle;
            if (handle) {
                handle->installEventFilter(this);
                // Asking for the pixel ratio at every push would cost more than the push.
                connect(handle, &QWindow::screenChanged, this, &ScreenPush::ReadScale);
            }
        }
        ReadScale();
    }
    return Direct();
}

void ScreenPush::ReadScale() {
    unscaled_ = widget_->devicePixelRatioF() == 1.0;
    // Back on a screen of scale 1 the view paints itself again.
    PaintOnScreen(unscaled_);
}

void ScreenPush::PaintOnScreen(bool on) {
    if (widget_->testAttribute(Qt::WA_PaintOnScreen) == on)
        return;
    widget_->setAttribute(Qt::WA_PaintOnScreen, on);
    widget_->update();
}

bool ScreenPush::Paint(const QImage& image, const QRegion& region) {
    if (!widget_->testAttribute(Qt::WA_PaintOnScreen))
        return false;
    if (!Push(image, std::span(region.begin(), region.end())))
        PaintOnScreen(false); // Qt paints again, through its backing store
    return true;
}

ScreenPush::Showing ScreenPush::Shown() {
    if (!connection_)
        return {true, nullptr};
    if (!widget_->isVisible())
        return {false, nullptr};
    // Elsewhere (a scaled window) Qt paints, and shows what it paints.
    if (!Prepare())
        return {true, nullptr};
    const QRegion& visible = Visible();
    return {visibleWhole_, visible.isEmpty() || visibleWhole_ ? nullptr : &visible};
}

bool ScreenPush::eventFilter(QObject* watched, QEvent* event) {
    // Qt shows an exposed window from its backing store, which incremental drawing skipped,
    // and more of the window may be on the screen now.
    if (watched == watchedWindow_ && event->type() == QEvent::Expose) {
        widget_->update();
        visibleKnown_ = false;
    }
    if (watched == widget_) {
        switch (event->type()) {
        case QEvent::WinIdChange:
            // A re-created native window: the next push looks at the new one.
            window_ = 0;
            visibleKnown_ = false;
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            visibleKnown_ = false;
            break;
        default:
            break;
        }
    }
    return false;
}

const QRegion& ScreenPush::Visible() {
    if (!visibleKnown_ || visibleGeneration_ != ScreenStackingGeneration()) {
        visibleGeneration_ = ScreenStackingGeneration();
        visible_ = ReadVisibleRegion(connection_, window_);
        visibleWhole_ = QRegion(widget_->rect()).subtracted(visible_).isEmpty();
        visibleKnown_ = true;
    }
    return visible_;
}

void ScreenPush::PutRows(const QImage& image, const QRect& rect) {
    const int rowBytes = rect.width() * 4;
    const int rowsPerRequest =
        std::max(1, static_cast<int>((maxRequestBytes_ - kPutImageHeaderBytes) / rowBytes));
    for (int top = rect.top(); top <= rect.bottom(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, rect.bottom() + 1 - top);
        const size_t bytes = static_cast<size_t>(rowBytes) * rows;
        if (rows_.size() < bytes)
            rows_.resize(bytes);
        for (int r = 0; r < rows; ++r)
            std::memcpy(rows_.data() + static_cast<size_t>(r) * rowBytes,
                        image.constScanLine(top + r) + rect.left() * 4, rowBytes);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                      static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(rows),
                      static_cast<int16_t>(rect.left()), static_cast<int16_t>(top), 0, depth_,
                      static_cast<uint32_t>(bytes), rows_.data());
    }
}

bool ScreenPush::Push(const QImage& image, std::span<const QRect> rects) {
    if (!Prepare())
        return false;
    if (pending_.empty())
        waiting.push_back(this);
    pendingImage_ = &image;
    pending_.insert(pending_.end(), rects.begin(), rects.end());
    return true;
}

void ScreenPush::SendAllPending() {
    if (waiting.empty())
        return;
    xcb_connection_t* connection = waiting.front()->connection_;
    static std::vector<ScreenPush*> sending; // keeps its room from poll to poll
    sending.swap(waiting);
    for (ScreenPush* push : sending)
        push->SendPending();
    sending.clear();
    // The display's own flush before the wait may have run already.
    xcb_flush(connection);
}

void ScreenPush::SendPending() {
    const QImage& image = *pendingImage_;
    if (!Prepare()) {
        // Hidden or scaled since: Qt repaints what is still to be shown.
        for (const QRect& rect : pending_)
            widget_->update(rect);
        pending_.clear();
        return;
    }
    const QRegion seen = Visible() & (image.rect() & widget_->rect());
    for (const QRect& visible : PlanPushes(pending_, seen)) {
        if (staging_)
            staging_->Put(image, visible, window_, gc_, depth_);
        else
            PutRows(image, visible);
    }
    pending_.clear();
}
