#pragma once

#include "platform/profile.h"

#include <map>
#include <variant>

// A Profile held in memory: the test twin of the settings file, with the same semantics.
class MemoryProfile final : public Profile {
public:
    int32_t ReadInt(std::string_view section, std::string_view name,
                    int32_t defaultValue) const override;
    void WriteInt(std::string_view section, std::string_view name, int32_t value) override;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view defaultValue) const override;
    void WriteString(std::string_view section, std::string_view name,
                     std::string_view value) override;
    bool ReadBinary(std::string_view section, std::string_view name,
                    std::vector<uint8_t>& out) const override;
    void WriteBinary(std::string_view section, std::string_view name,
                     std::span<const uint8_t> value) override;
    void DeleteKey(std::string_view key) override;

    bool Contains(std::string_view section, std::string_view name) const;
    size_t ValueCount() const { return values_.size(); }

private:
    using Value = std::variant<std::string, std::vector<uint8_t>>;
    const Value* Find(std::string_view section, std::string_view name) const;

    // Full path "Section/Sub/name" -> value. Integers are kept as their decimal text, as the
    // settings file keeps them, so a string that is not a number reads as the default.
    std::map<std::string, Value, std::less<>> values_;
};
