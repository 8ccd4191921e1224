#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace tessary::test {

// A fresh directory under the system's temporary folder, removed with everything in it when
// the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(std::string_view name) const { return path_ / name; }

    // Write a file in the directory (replacing it) and return its full path.
    std::filesystem::path writeFile(std::string_view name, std::span<const uint8_t> data) const;
    std::filesystem::path writeFile(std::string_view name, std::string_view text) const;

private:
    std::filesystem::path path_;
};

} // namespace tessary::test
