#pragma once

#include <QColor>
#include <QWidget>

// A static black frame with a colour painted one pixel inside it on every side, so the frame
// stays visible round the colour.
class ColorSwatch : public QWidget {
    Q_OBJECT

public:
    explicit ColorSwatch(QWidget* parent = nullptr) : QWidget(parent) {}

    QColor color() const { return color_; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};
