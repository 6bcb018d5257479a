#include "platform/profile.h"

#include <charconv>

namespace profile_path {

std::string Normalize(std::string_view key) {
    std::string out;
    out.reserve(key.size());
    for (char c : key) {
        if (c == '\\' || c == '/') {
            if (!out.empty() && out.back() != '/')
                out.push_back('/');
        } else {
            out.push_back(c);
        }
    }
    if (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

bool ParseInt(std::string_view text, int32_t& value) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int64_t wide = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), wide);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return false;
    if (wide < INT32_MIN || wide > static_cast<int64_t>(UINT32_MAX))
        return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(wide));
    return true;
}

} // namespace profile_path
