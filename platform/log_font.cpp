#include "platform/log_font.h"

std::array<uint8_t, 60> LOGFONT::ToBytes() const {
    std::array<uint8_t, 60> bytes{};
    std::memcpy(bytes.data(), this, bytes.size());
    return bytes;
}

bool LOGFONT::FromBytes(const uint8_t* bytes, size_t size) {
    if (size != sizeof(LOGFONT))
        return false;
    std::memcpy(this, bytes, sizeof(LOGFONT));
    lfFaceName[kFaceNameMax] = '\0'; // never trust a stored name to be terminated
    lfHeight = ClampFontHeight(lfHeight);
    return true;
}

LOGFONT MakeArialFont(int32_t height) {
    LOGFONT font;
    font.lfHeight = height;
    font.SetFaceName("ARIAL");
    return font;
}
