#pragma once

#include "platform/drawing_context.h"

#include <QImage>
#include <QRect>
#include <optional>

class QPaintEvent;
class QWidget;

// The backing image of a window's client area. Full repaints and incremental drawing both go
// into the image through a DrawingContext; the widget's paint event only copies it out, so
// what incremental drawing leaves unpainted keeps what the last full repaint put there.
// The image is in client pixels. A pixel-exact canvas (the setup windows' bitmaps) is shown at
// the nearest whole multiple of the screen's device-pixel ratio so it stays sharp, and its
// window is sized for that; otherwise the image covers the client area one to one.
class ClientCanvas {
public:
    enum class Scaling { ClientPixels, WholeMultiple };
    explicit ClientCanvas(QWidget* widget, Scaling scaling = Scaling::ClientPixels);

    // Keeps the image at the client size; new pixels are the widget's background colour.
    void Resize(QSize size);
    bool HasImage() const { return !image_.isNull(); }
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

    // "Take a client drawing context": none while the window has no backing image yet.
    std::optional<DrawingContext> Context();

    // Marks a rectangle of the image for copying to the screen.
    void Invalidate(const QRect& rect);
    void InvalidateAll();

    // Call from the widget's paintEvent.
    void Paint(QPaintEvent* event);

    // Device pixels per image pixel: a whole number for a WholeMultiple canvas.
    int Scale() const;
    // Logical widget pixels per image pixel.
    double LogicalScale() const;

private:
    QWidget* widget_;
    Scaling scaling_;
    QImage image_;
};
