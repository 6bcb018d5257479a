#include "platform/screen_push.h"

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
#include <xcb/xcb.h>

namespace {

constexpr uint32_t kPutImageHeaderBytes = 24;

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

ScreenPush::ScreenPush(QWidget* widget) : QObject(widget), widget_(widget) {
    connection_ = X11Connection();
    if (connection_)
        widget_->setAttribute(Qt::WA_NativeWindow);
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
}

bool ScreenPush::eventFilter(QObject* watched, QEvent* event) {
    // Qt shows an exposed window from its backing store, which incremental drawing skipped.
    if (watched == watchedWindow_ && event->type() == QEvent::Expose)
        widget_->update();
    return false;
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
    const QRect bounds = image.rect() & widget_->rect();
    for (const QRect& rect : rects) {
        const QRect visible = rect & bounds;
        if (!visible.isEmpty())
            PutRows(image, visible);
    }
    // Qt flushes the connection before its event loop waits again: one write for all windows.
    return true;
}
