#include "platform/memory_profile.h"

namespace {

std::string FullName(std::string_view section, std::string_view name) {
    std::string path = profile_path::Normalize(section);
    if (!path.empty())
        path.push_back('/');
    path.append(name);
    return path;
}

} // namespace

const MemoryProfile::Value* MemoryProfile::Find(std::string_view section,
                                                std::string_view name) const {
    auto it = values_.find(FullName(section, name));
    return it == values_.end() ? nullptr : &it->second;
}

bool MemoryProfile::Contains(std::string_view section, std::string_view name) const {
    return Find(section, name) != nullptr;
}

int32_t MemoryProfile::ReadInt(std::string_view section, std::string_view name,
                               int32_t defaultValue) const {
    const Value* v = Find(section, name);
    int32_t value = 0;
    if (v && std::holds_alternative<std::string>(*v) &&
        profile_path::ParseInt(std::get<std::string>(*v), value))
        return value;
    return defaultValue;
}

void MemoryProfile::WriteInt(std::string_view section, std::string_view name, int32_t value) {
    values_[FullName(section, name)] = std::to_string(value);
}

std::string MemoryProfile::ReadString(std::string_view section, std::string_view name,
                                      std::string_view defaultValue) const {
    const Value* v = Find(section, name);
    if (v && std::holds_alternative<std::string>(*v))
        return std::get<std::string>(*v);
    return std::string(defaultValue);
}

void MemoryProfile::WriteString(std::string_view section, std::string_view name,
                                std::string_view value) {
    values_[FullName(section, name)] = std::string(value);
}

bool MemoryProfile::ReadBinary(std::string_view section, std::string_view name,
                               std::vector<uint8_t>& out) const {
    const Value* v = Find(section, name);
    if (!v || !std::holds_alternative<std::vector<uint8_t>>(*v))
        return false;
    out = std::get<std::vector<uint8_t>>(*v);
    return true;
}

void MemoryProfile::WriteBinary(std::string_view section, std::string_view name,
                                std::span<const uint8_t> value) {
    values_[FullName(section, name)] = std::vector<uint8_t>(value.begin(), value.end());
}

void MemoryProfile::DeleteKey(std::string_view key) {
    const std::string prefix = profile_path::Normalize(key) + '/';
    auto it = values_.lower_bound(prefix);
    while (it != values_.end() && it->first.starts_with(prefix))
        it = values_.erase(it);
}
