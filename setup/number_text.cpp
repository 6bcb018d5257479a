#include "setup/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr int kMaxDecimals = 20;

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "0x" counts as a prefix only when a hex mantissa follows, as for strtod: "0xg" is 0.
bool HasHexPrefix(std::string_view text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return false;
    return IsHexDigit(text[2]) || (text[2] == '.' && text.size() > 3 && IsHexDigit(text[3]));
}

} // namespace

std::string FormatFixed(double value, int decimals) {
    // Room for the 309 integer digits of the largest double, sign, point and decimals.
    char buffer[320 + kMaxDecimals];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                std::clamp(decimals, 0, kMaxDecimals));
    return std::string(buffer, result.ptr);
}

bool ParseFiniteNumber(std::string_view text, double& value) {
    size_t start = 0;
    while (start < text.size() && IsCSpace(text[start]))
        ++start;
    text.remove_prefix(start);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    // from_chars takes neither a second sign nor a "+", so only the mantissa is left here.
    if (text.empty() || text[0] == '+' || text[0] == '-')
        return false;
    std::chars_format format = std::chars_format::general;
    if (HasHexPrefix(text)) {
        text.remove_prefix(2);
        format = std::chars_format::hex;
    }
    double parsed = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, format);
    if (result.ec != std::errc() || !std::isfinite(parsed))
        return false;
    value = negative ? -parsed : parsed;
    return true;
}
