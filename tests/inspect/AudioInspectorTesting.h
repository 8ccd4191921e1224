// Helpers of the audio inspector tests: encoder snippets and a runner that hands bytes to an
// inspector the way the details report does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Fakes.h"
#include "inspect/InspectorSeam.h"

namespace tessary::test {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

inline Bytes audioSnippet(const std::string& name) {
    const auto path =
        std::filesystem::path(TESSARY_SOURCE_DIR) / "tests" / "inspect" / "data" / name;
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline Bytes join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct AudioChunk {
    std::size_t position = 0;
    std::size_t length = SIZE_MAX; // the rest of the block
    int number = 0;
    LocaleSettings locale{};
};

// Runs an inspector over block[position .. position + length). The block is copied into a
// heap buffer of exactly its size, so that a read past its end is caught by AddressSanitizer.
inline Lines inspectAudio(InspectedCodec codec, const Bytes& block, AudioChunk chunk = {}) {
    const auto exact = std::make_unique<uint8_t[]>(std::max<std::size_t>(block.size(), 1));
    std::copy(block.begin(), block.end(), exact.get());
    InspectorInput input{};
    input.codec = codec;
    input.block = exact.get();
    input.blockLength = block.size();
    input.position = chunk.position;
    input.length = chunk.length == SIZE_MAX ? block.size() - chunk.position : chunk.length;
    input.number = chunk.number;
    input.locale = chunk.locale;
    RecordingReporter out;
    // Audio carries no frame rate.
    EXPECT_FALSE(inspectStream(input, out).frameRate);
    return out.lines;
}

inline LocaleSettings commaLocale() {
    LocaleSettings locale;
    locale.decimalSeparator = ',';
    return locale;
}

} // namespace tessary::test
