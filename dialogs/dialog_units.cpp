#include "dialogs/dialog_units.h"

#include "platform/muldiv.h"

#include <QFontMetrics>

namespace {

// Windows averages the widths of the 52 letters and rounds the half up.
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    baseX_ = (metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)) / 26 + 1) / 2;
    baseY_ = metrics.height();
}

QSize DialogUnits::ToPixels(int cx, int cy) const {
    return {MulDiv(cx, baseX_, 4), MulDiv(cy, baseY_, 8)};
}

QRect DialogUnits::ToPixels(const DluRect& rect) const {
    return {MulDiv(rect.x, baseX_, 4), MulDiv(rect.y, baseY_, 8), MulDiv(rect.cx, baseX_, 4),
            MulDiv(rect.cy, baseY_, 8)};
}
