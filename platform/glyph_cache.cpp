#include "platform/glyph_cache.h"

#include "platform/drawing_context.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kMaxFonts = 16;

bool SameFont(const LOGFONT& a, const LOGFONT& b) {
    return std::memcmp(&a, &b, sizeof(LOGFONT)) == 0;
}

std::vector<std::shared_ptr<GlyphSet>>& Cache() {
    // Most recently asked for first. Emptied with the application, while fonts still work.
    static std::vector<std::shared_ptr<GlyphSet>> cache;
    static const bool cleared = [] {
        qAddPostRoutine([] { Cache().clear(); });
        return true;
    }();
    (void)cleared;
    return cache;
}

} // namespace

GlyphSet::GlyphSet(const LOGFONT& font) : logFont_(font), font_(ToQFont(font)) {
    QFontMetrics metrics(font_);
    ascent_ = metrics.ascent();
    height_ = metrics.height();
}

const GlyphSet::Glyph& GlyphSet::At(unsigned char c) {
    Glyph& glyph = glyphs_[c];
    if (!glyph.rendered)
        Render(c, glyph);
    return glyph;
}

void GlyphSet::Render(unsigned char c, Glyph& glyph) {
    const QString text(QChar(static_cast<char16_t>(c)));
    glyph.rendered = true;
    glyph.advance = QFontMetrics(font_).horizontalAdvance(text);
    // Room on every side for overhanging strokes (italics, accents).
    const int pad = height_;
    QImage scratch(glyph.advance + 2 * pad, height_ + 2 * pad, QImage::Format_RGB32);
    scratch.fill(Qt::black);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font_);
        painter.setPen(Qt::white);
        painter.drawText(pad, pad + ascent_, text);
    }
    QRect ink;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x)
            if (qRed(row[x]) != 0)
                ink |= QRect(x, y, 1, 1);
    }
    if (ink.isEmpty())
        return;
    glyph.box = ink.translated(-pad, -pad);
    glyph.ink.resize(static_cast<size_t>(ink.width()) * ink.height());
    for (int y = 0; y < ink.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(ink.top() + y));
        for (int x = 0; x < ink.width(); ++x)
            glyph.ink[static_cast<size_t>(y) * ink.width() + x] = qRed(row[ink.left() + x]) != 0;
    }
}

int GlyphSet::Width(std::string_view text) {
    int width = 0;
    for (char c : text)
        width += At(static_cast<unsigned char>(c)).advance;
    return width;
}

void GlyphSet::Paint(QImage& image, int left, int top, std::string_view text, QRgb color,
                     const QRect& clip) {
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    int pen = left;
    for (char c : text) {
        const Glyph& glyph = At(static_cast<unsigned char>(c));
        const QRect box = glyph.box.translated(pen, top);
        const QRect visible = box & clip;
        for (int y = visible.top(); y <= visible.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
            const uint8_t* ink =
                glyph.ink.data() + static_cast<size_t>(y - box.top()) * box.width();
            for (int x = visible.left(); x <= visible.right(); ++x)
                if (ink[x - box.left()])
                    row[x] = color;
        }
        pen += glyph.advance;
    }
}

std::shared_ptr<GlyphSet> GlyphsFor(const LOGFONT& font) {
    std::vector<std::shared_ptr<GlyphSet>>& cache = Cache();
    auto hit = std::find_if(cache.begin(), cache.end(),
                            [&](const auto& set) { return SameFont(set->Font(), font); });
    if (hit == cache.end()) {
        if (cache.size() == kMaxFonts)
            cache.pop_back();
        cache.insert(cache.begin(), std::make_shared<GlyphSet>(font));
        return cache.front();
    }
    std::rotate(cache.begin(), hit, hit + 1);
    return cache.front();
}
