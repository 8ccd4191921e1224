#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>

#include "platform/SettingsStore.h"

namespace tessary::test {

// A settings store in memory: each name holds an integer or a string, like a registry key.
// Reading a name with the other type answers WrongType. `failWrites` makes every write fail.
class MemorySettingsStore : public SettingsStore {
public:
    using Value = std::variant<int32_t, std::string>;

    bool keyExists() override { return !values.empty(); }

    ReadStatus readInteger(std::string_view name, int32_t& value) override {
        return read(name, value);
    }
    ReadStatus readString(std::string_view name, std::string& value) override {
        return read(name, value);
    }
    bool writeInteger(std::string_view name, int32_t value) override { return write(name, value); }
    bool writeString(std::string_view name, std::string_view value) override {
        return write(name, std::string(value));
    }

    // The stored value of a name, for checks; nullptr when it is missing or of the other type.
    const int32_t* integer(const std::string& name) const { return get<int32_t>(name); }
    const std::string* string(const std::string& name) const { return get<std::string>(name); }

    std::map<std::string, Value, std::less<>> values;
    bool failWrites = false;
    int writes = 0;

private:
    template <class T> ReadStatus read(std::string_view name, T& value) const {
        const auto it = values.find(name);
        if (it == values.end()) return ReadStatus::Missing;
        const T* stored = std::get_if<T>(&it->second);
        if (stored == nullptr) return ReadStatus::WrongType;
        value = *stored;
        return ReadStatus::Ok;
    }
    bool write(std::string_view name, Value value) {
        if (failWrites) return false;
        ++writes;
        values.insert_or_assign(std::string(name), std::move(value));
        return true;
    }
    template <class T> const T* get(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : std::get_if<T>(&it->second);
    }
};

} // namespace tessary::test
