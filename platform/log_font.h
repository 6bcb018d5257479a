#pragma once

#include <array>
#include <cstdint>
#include <cstring>

// A font description with the 60-byte layout the settings store and setup files keep:
// height, width, escapement, orientation, weight (int32 each), italic, underline, strike-out,
// character set, output precision, clip precision, quality, pitch-and-family (one byte each)
// and a face name of 32 bytes (31 characters and the terminator).
struct LOGFONT {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};

    static constexpr size_t kFaceNameMax = 31;

    // Copies at most 31 characters; a longer name is cut.
    void SetFaceName(const char* name) {
        std::memset(lfFaceName, 0, sizeof lfFaceName);
        std::strncpy(lfFaceName, name, kFaceNameMax);
    }

    std::array<uint8_t, 60> ToBytes() const;
    // Replaces the whole font with the 60 bytes, the height clamped; a value of any other
    // size is refused.
    bool FromBytes(const uint8_t* bytes, size_t size);
};
static_assert(sizeof(LOGFONT) == 60);

// The largest font height, in pixels either sign, that files, the settings store and the
// font dialog may set. A meter window is about fourteen character heights wide, so 200
// already asks for a window wider than most screens, while each larger size only costs glyph
// memory (a height of 50000 took gigabytes and many seconds to render).
inline constexpr int32_t kMaxFontHeight = 200;

// The height clamped to [-kMaxFontHeight, kMaxFontHeight]; its sign (character or cell
// height) and 0 (the default height) stay.
constexpr int32_t ClampFontHeight(int32_t height) {
    return height > kMaxFontHeight ? kMaxFontHeight
                                   : (height < -kMaxFontHeight ? -kMaxFontHeight : height);
}

// The meters' initial font: height h, face "ARIAL", everything else 0.
LOGFONT MakeArialFont(int32_t height);
