#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

// The per-user store of the program's settings: one key holding named values of two types,
// 32-bit integers (booleans are stored as 1 and 0) and strings. The Qt face implements it
// with QSettings; tests keep it in memory.
class SettingsStore {
public:
    enum class ReadStatus { Missing, Ok, WrongType };

    virtual ~SettingsStore() = default;
    // Whether the key exists at all (a first start has none).
    virtual bool keyExists() = 0;
    virtual ReadStatus readInteger(std::string_view name, int32_t& value) = 0;
    virtual ReadStatus readString(std::string_view name, std::string& value) = 0;
    // False when the value could not be written.
    virtual bool writeInteger(std::string_view name, int32_t value) = 0;
    virtual bool writeString(std::string_view name, std::string_view value) = 0;
};

} // namespace tessary
