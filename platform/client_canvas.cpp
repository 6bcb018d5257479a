#include "platform/client_canvas.h"

#include "platform/pixel_memory.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <cmath>

ClientCanvas::ClientCanvas(QWidget* widget, Scaling scaling) : widget_(widget), scaling_(scaling) {}

void ClientCanvas::Resize(QSize size) {
    if (size.isEmpty()) {
        image_ = QImage();
        return;
    }
    if (image_.size() == size)
        return;
    QImage resized = MakeBackingImage(size);
    resized.fill(widget_->palette().color(QPalette::Window));
    if (!image_.isNull()) {
        QPainter p(&resized);
        p.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
}

std::optional<DrawingContext> ClientCanvas::Context() {
    if (image_.isNull())
        return std::nullopt;
    return std::optional<DrawingContext>(std::in_place, image_);
}

int ClientCanvas::Scale() const {
    if (scaling_ == Scaling::ClientPixels)
        return 1;
    return std::max(1, static_cast<int>(std::lround(widget_->devicePixelRatioF())));
}

double ClientCanvas::LogicalScale() const {
    return scaling_ == Scaling::ClientPixels ? 1.0 : Scale() / widget_->devicePixelRatioF();
}

void ClientCanvas::Invalidate(const QRect& rect) {
    const double f = LogicalScale();
    if (f == 1.0) {
        widget_->update(rect);
        return;
    }
    QRect logical(static_cast<int>(std::floor(rect.left() * f)),
                  static_cast<int>(std::floor(rect.top() * f)),
                  static_cast<int>(std::ceil(rect.width() * f)) + 1,
                  static_cast<int>(std::ceil(rect.height() * f)) + 1);
    widget_->update(logical);
}

void ClientCanvas::InvalidateAll() {
    widget_->update();
}

void ClientCanvas::Paint(QPaintEvent* event) {
    QPainter p(widget_);
    if (image_.isNull()) {
        p.fillRect(event->rect(), widget_->palette().color(QPalette::Window));
        return;
    }
    const double f = LogicalScale();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (f == 1.0) {
        // Rectangle by rectangle: the bounding rectangle of a meter's changed bars is most of
        // the window.
        for (const QRect& rect : event->region())
            p.drawImage(rect.topLeft(), image_, rect);
        return;
    }
    p.scale(f, f);
    p.drawImage(0, 0, image_);
}
