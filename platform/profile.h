#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The application's settings store: integer, string and binary values in sections below the
// application key. A section such as "Default\Settings\lev2" names nested keys; "\" and "/"
// both separate them. Reads return the default when a value is absent or does not convert.
class Profile {
public:
    virtual ~Profile() = default;

    virtual int32_t ReadInt(std::string_view section, std::string_view name,
                            int32_t defaultValue) const = 0;
    virtual void WriteInt(std::string_view section, std::string_view name, int32_t value) = 0;

    virtual std::string ReadString(std::string_view section, std::string_view name,
                                   std::string_view defaultValue) const = 0;
    virtual void WriteString(std::string_view section, std::string_view name,
                             std::string_view value) = 0;

    // False and `out` untouched when the value is absent.
    virtual bool ReadBinary(std::string_view section, std::string_view name,
                            std::vector<uint8_t>& out) const = 0;
    virtual void WriteBinary(std::string_view section, std::string_view name,
                             std::span<const uint8_t> value) = 0;

    // Removes the key with all values and subkeys below it.
    virtual void DeleteKey(std::string_view key) = 0;

    // Writes pending changes out and takes in what another process wrote meanwhile. False
    // when they could not be written whole; the stored file then stays as it was.
    virtual bool Sync() { return true; }

    // The same value as ReadInt, for the places that compare it unsigned.
    uint32_t ReadUInt(std::string_view section, std::string_view name,
                      uint32_t defaultValue) const {
        return static_cast<uint32_t>(ReadInt(section, name, static_cast<int32_t>(defaultValue)));
    }
};

namespace profile_path {

// "A\B/C" -> "A/B/C", without empty components.
std::string Normalize(std::string_view key);

// Parses a whole decimal integer (optional sign), as stored by WriteInt. Values beyond 32 bits
// wrap as a registry DWORD would; anything else is not a number.
bool ParseInt(std::string_view text, int32_t& value);

} // namespace profile_path
