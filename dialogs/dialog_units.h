#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// A rectangle in dialog units, as the dialog templates give their controls.
struct DluRect {
    int x;
    int y;
    int cx;
    int cy;
};

// Dialog units as Windows derives them from a dialog's font: a horizontal unit is a quarter of
// the average character width, a vertical unit an eighth of the character height. Sizing
// dialogs this way keeps their proportions whatever font the desktop uses.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

    QSize ToPixels(int cx, int cy) const;
    QRect ToPixels(const DluRect& rect) const;

private:
    int baseX_;
    int baseY_;
};
