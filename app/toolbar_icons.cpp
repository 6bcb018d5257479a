#include "app/toolbar_icons.h"

#include "app/command_ids.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;

const QColor kInk(40, 40, 40);
const QColor kGreen(0, 200, 0);
const QColor kYellow(230, 190, 40);
const QColor kRed(220, 30, 30);
const QColor kBlue(40, 90, 200);
const QColor kPaper(250, 250, 240);
const QColor kFolder(230, 200, 90);

void DrawOpen(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kFolder);
    p.drawRect(1, 4, 11, 8); // folder body
    p.drawLine(1, 4, 3, 2);
    p.drawLine(3, 2, 6, 2);
    p.drawLine(6, 2, 7, 4);
    const QPoint flap[] = {{3, 7}, {15, 7}, {12, 12}, {1, 12}};
    p.setBrush(kFolder.lighter(120));
    p.drawPolygon(flap, 4); // open flap
}

void DrawSave(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kBlue);
    p.drawRect(1, 1, 13, 12); // disk
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5); // label
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(4, 9, 7, 4); // shutter
    p.fillRect(8, 10, 2, 2, kInk);
}

void DrawLevelProcessing(QPainter& p) {
    // Four meter bars of different heights, the loudest reaching into the red.
    const int heights[] = {6, 10, 13, 8};
    for (int i = 0; i < 4; ++i) {
        const int x = 1 + i * 4, h = heights[i];
        p.fillRect(x, kHeight - h, 3, h, kGreen);
        if (h > 9)
            p.fillRect(x, kHeight - h, 3, h - 9, h > 12 ? kRed : kYellow);
    }
}

void DrawFunctionSelect(QPainter& p) {
    // Three windows: a stereo, an eight-bar and a many-bar meter.
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(0, 0, 7, 6);
    p.drawRect(8, 0, 7, 6);
    p.drawRect(0, 8, 15, 6);
    p.fillRect(2, 2, 1, 4, kGreen);
    p.fillRect(4, 3, 1, 3, kGreen);
    for (int x = 9; x < 15; x += 2)
        p.fillRect(x, 2 + (x % 3), 1, 4 - (x % 3), kGreen);
    for (int x = 2; x < 15; ++x)
        p.fillRect(x, 10 + (x * 7) % 4, 1, 4 - (x * 7) % 4, kGreen);
}

void DrawChannelSetup(QPainter& p) {
    // A card edge with its connectors.
    p.setPen(kInk);
    p.setBrush(QColor(60, 140, 70));
    p.drawRect(1, 3, 13, 8);
    p.setBrush(kYellow);
    for (int x = 3; x < 14; x += 3)
        p.drawRect(x, 11, 1, 2);
    p.fillRect(3, 5, 4, 3, kInk);
    p.fillRect(9, 5, 3, 2, QColor(200, 200, 200));
}

void DrawLevelMeterSetup(QPainter& p) {
    // Three sliders.
    p.setPen(kInk);
    for (int i = 0; i < 3; ++i) {
        const int x = 3 + i * 5;
        p.drawLine(x, 1, x, 13);
        const int knob = (i == 0) ? 9 : (i == 1 ? 3 : 7);
        p.fillRect(x - 2, knob, 5, 3, kBlue);
    }
}

void DrawAbout(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kBlue);
    p.drawEllipse(1, 0, 13, 13);
    p.fillRect(7, 3, 2, 2, Qt::white);
    p.fillRect(7, 6, 2, 5, Qt::white);
}

} // namespace

QIcon ToolbarIcon(int commandId) {
    void (*draw)(QPainter&) = nullptr;
    switch (commandId) {
    case cmd::kFileOpenSetup:
        draw = DrawOpen;
        break;
    case cmd::kFileSaveSetup:
        draw = DrawSave;
        break;
    case cmd::kActivateLevelProcessing:
        draw = DrawLevelProcessing;
        break;
    case cmd::kFunctionSelect:
        draw = DrawFunctionSelect;
        break;
    case cmd::kChannelSetup:
        draw = DrawChannelSetup;
        break;
    case cmd::kLevelMeterSetup:
        draw = DrawLevelMeterSetup;
        break;
    case cmd::kAppAbout:
        draw = DrawAbout;
        break;
    default:
        return {};
    }
    QPixmap pixmap(kWidth, kHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    p.end();
    QIcon icon(pixmap);
    // Disabled buttons get a washed-out copy rather than Qt's default etching.
    QPixmap disabled = pixmap;
    QPainter d(&disabled);
    d.setCompositionMode(QPainter::CompositionMode_SourceIn);
    d.fillRect(disabled.rect(), QColor(160, 160, 160, 150));
    d.end();
    icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}
