#include "tools/setup_bitmaps/setup_bitmaps.h"

#include "setup/param_templates.h"
#include "tools/setup_bitmaps/pixel_canvas.h"

#include <map>
#include <span>

namespace {

// The panel: dark slate, labels in light grey; the text boxes are green-on-black displays
// set into the panel.
constexpr QRgb kPanel = qRgb(58, 64, 72);
constexpr QRgb kPanelLight = qRgb(86, 93, 103);
constexpr QRgb kPanelDark = qRgb(33, 37, 42);
constexpr QRgb kLabel = qRgb(214, 218, 223);
constexpr QRgb kWellDark = qRgb(26, 29, 33);
constexpr QRgb kWellLight = qRgb(98, 106, 116);
constexpr QRgb kDisplay = qRgb(12, 21, 17);
constexpr QRgb kDisplayInk = qRgb(140, 240, 168);

constexpr int kCell = 6;
constexpr int kCellHeight = 10;
constexpr int kFirstCode = 32;
constexpr int kLastCode = 122;
// Labels end this far left of their control; their capitals line up with the display's.
constexpr int kLabelGap = 4;
constexpr int kTextTop = 1;

constexpr int kSwitchWidth = 18;
constexpr int kFaceHeight = 10;
constexpr int kButtonWidth = 26;

// What the panel writes beside each control (the push button carries its own legend).
const std::map<int32_t, const char*>& Labels() {
    static const std::map<int32_t, const char*> labels{
        {kParamTopLevel, "Top Level"},
        {kParamSwitchLevel, "Switch Level"},
        {kParamBottomLevel, "Bottom Level"},
        {kParamPeakHold, "Peak Hold"},
        {kParamRelease, "Release"},
        {kParamFscCount, "FSC Count"},
        {kParamCompressedScale, "Compressed"},
        {kParamInstantHold, "Instant Hold"},
        {kParamRmsPlus3Db, "RMS +3dB"},
        {kParamTextLevelType, "Text Level"},
        {kParamBarLevelType, "Bar Level"},
    };
    return labels;
}

QImage GlyphStrip() {
    const int cells = kLastCode - kFirstCode + 1;
    PixelCanvas strip(cells * kCell, kCellHeight, kDisplay);
    for (int code = kFirstCode; code <= kLastCode; ++code)
        strip.Glyph(DisplayFont().At(static_cast<char>(code)), (code - kFirstCode) * kCell,
                    kTextTop, kDisplayInk);
    return strip.image();
}

// A rounded outline of w x h at (x, y): the two pixels of each corner that a radius of two
// cuts off take the colour below.
bool InRoundedShape(int x, int y, int w, int h) {
    const int dx = std::min(x, w - 1 - x);
    const int dy = std::min(y, h - 1 - y);
    return dx + dy >= 1 || (dx > 0 && dy > 0);
}

void RoundedShape(PixelCanvas& c, int left, int top, int w, int h, QRgb border, QRgb fill) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!InRoundedShape(x, y, w, h))
                continue;
            const bool edge = !InRoundedShape(x - 1, y, w, h) || !InRoundedShape(x + 1, y, w, h) ||
                              !InRoundedShape(x, y - 1, w, h) || !InRoundedShape(x, y + 1, w, h) ||
                              x == 0 || y == 0 || x == w - 1 || y == h - 1;
            c.Pixel(left + x, top + y, edge ? border : fill);
        }
}

// A slide switch: the knob right on a green track for on, left on a dark one for off.
void SwitchFace(PixelCanvas& c, int top, bool on) {
    const QRgb trackBorder = on ? qRgb(25, 92, 52) : qRgb(24, 27, 31);
    const QRgb track = on ? qRgb(56, 170, 96) : qRgb(40, 45, 51);
    RoundedShape(c, 0, top, kSwitchWidth, kFaceHeight, trackBorder, track);
    const int knobLeft = on ? kSwitchWidth - 9 : 1;
    RoundedShape(c, knobLeft, top + 1, 8, 8, qRgb(30, 33, 37), qRgb(178, 185, 194));
    // Light from above: a highlight on the knob's upper rows, a shade on its lowest.
    c.Fill(knobLeft + 2, top + 2, knobLeft + 6, top + 3, qRgb(222, 227, 232));
    c.Fill(knobLeft + 1, top + 3, knobLeft + 2, top + 5, qRgb(206, 212, 218));
    c.Fill(knobLeft + 2, top + 7, knobLeft + 6, top + 8, qRgb(124, 131, 140));
}

QImage SwitchFaces() {
    PixelCanvas faces(kSwitchWidth, 2 * kFaceHeight, kPanel);
    SwitchFace(faces, 0, true);
    SwitchFace(faces, kFaceHeight, false);
    return faces.image();
}

// The hold-reset button: raised with a white legend, or pressed in with an amber one.
void ButtonFace(PixelCanvas& c, int top, bool pressed) {
    const QRgb fill = pressed ? qRgb(70, 77, 86) : qRgb(94, 102, 112);
    const QRgb upper = pressed ? qRgb(40, 44, 49) : qRgb(128, 136, 146);
    const QRgb lower = pressed ? qRgb(86, 94, 104) : qRgb(62, 68, 76);
    RoundedShape(c, 0, top, kButtonWidth, kFaceHeight, qRgb(22, 25, 29), fill);
    c.Fill(2, top + 1, kButtonWidth - 2, top + 2, upper);
    c.Fill(2, top + kFaceHeight - 2, kButtonWidth - 2, top + kFaceHeight - 1, lower);
    const int shift = pressed ? 1 : 0;
    const int left = (kButtonWidth - ButtonFont().TextWidth("RESET")) / 2;
    c.Text(ButtonFont(), "RESET", left + shift, top + 2 + shift,
           pressed ? qRgb(255, 192, 84) : qRgb(236, 239, 242));
}

QImage ButtonFaces() {
    PixelCanvas faces(kButtonWidth, 2 * kFaceHeight, kPanel);
    ButtonFace(faces, 0, true);
    ButtonFace(faces, kFaceHeight, false);
    return faces.image();
}

// The program's mark in the lower right corner: four rising level bars and the name.
void Mark(PixelCanvas& c, int right, int top) {
    const char* name = "Levora";
    const int textLeft = right - LabelFont().TextWidth(name);
    c.Text(LabelFont(), name, textLeft, top, kLabel);
    const QRgb bars[] = {qRgb(86, 210, 120), qRgb(86, 210, 120), qRgb(232, 196, 80),
                         qRgb(226, 88, 74)};
    const int baseline = top + 7;
    int x = textLeft - 4 - 4 * 3;
    for (int i = 0; i < 4; ++i, x += 3)
        c.Fill(x, baseline - 2 * (i + 1), x + 2, baseline, bars[i]);
}

QImage Background(std::span<const ParamDesc> records) {
    const ParamDesc& panel = records.front();
    PixelCanvas bg(panel.w, panel.h, kPanel);
    bg.Frame(0, 0, panel.w, panel.h, kPanelLight, kPanelDark);
    // A groove between the column of values and the column of switches.
    bg.Fill(131, 4, 132, panel.h - 4, kPanelDark);
    bg.Fill(132, 4, 133, panel.h - 4, kPanelLight);
    for (const ParamDesc& r : records) {
        if (r.type == kControlNumericBox || r.type == kControlSelection) {
            bg.Frame(r.x - 1, r.y - 1, r.x + r.w + 1, r.y + r.h + 1, kWellDark, kWellLight);
            bg.Fill(r.x, r.y, r.x + r.w, r.y + r.h, kDisplay);
        }
        if (auto label = Labels().find(r.id); label != Labels().end() && r.type != kControlEmpty)
            bg.Text(LabelFont(), label->second, r.x - kLabelGap, r.y + kTextTop, kLabel, true);
    }
    Mark(bg, 244, 81 + kTextTop);
    return bg.image();
}

} // namespace

std::vector<SetupBitmap> BuildSetupBitmaps() {
    return {
        {"stereo_setup_background.png", Background(kStereoParamTemplate)},
        {"multichannel_setup_background.png", Background(kMultiChannelParamTemplate)},
        {"text_box_glyphs.png", GlyphStrip()},
        {"check_box_faces.png", SwitchFaces()},
        {"push_button_faces.png", ButtonFaces()},
    };
}
