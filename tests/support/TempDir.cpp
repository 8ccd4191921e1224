#include "TempDir.h"

#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "PackWriter.h"

namespace tessary::test {

TempDir::TempDir() {
    const auto base = std::filesystem::temp_directory_path();
    std::random_device salt;
    std::mt19937_64 random(salt());
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("tessary-test-" + std::to_string(random() % 1000000000000ULL));
        // create_directory is false when the name is taken: try another.
        if (std::filesystem::create_directory(candidate)) {
            path_ = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory in " + base.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::writeFile(std::string_view name,
                                         std::span<const uint8_t> data) const {
    auto full = file(name);
    test::writeFile(full, data);
    return full;
}

std::filesystem::path TempDir::writeFile(std::string_view name, std::string_view text) const {
    return writeFile(name, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

} // namespace tessary::test
