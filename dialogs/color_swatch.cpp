#include "dialogs/color_swatch.h"

#include <QPainter>

void ColorSwatch::setColor(const QColor& color) {
    if (color == color_)
        return;
    color_ = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect();
    painter.fillRect(frame, Qt::black);
    painter.fillRect(frame.adjusted(1, 1, -1, -1), color_);
}
