// Helpers of the video inspector tests: snippet files, a bit writer for hand-built headers
// and a runner that hands bytes to an inspector the way the details report does.
#pragma once

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

inline std::vector<uint8_t> readSnippet(const std::string& name) {
    const auto path =
        std::filesystem::path(TESSARY_SOURCE_DIR) / "tests" / "inspect" / "data" / name;
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes fields most-significant bit first, with exp-Golomb codes.
class BitWriter {
public:
    BitWriter& bits(uint64_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bit(static_cast<unsigned>((value >> i) & 1));
        return *this;
    }
    BitWriter& ue(uint32_t value) {
        const uint64_t code = uint64_t{value} + 1;
        int length = 0;
        while ((code >> length) > 1)
            ++length;
        bits(0, length);
        return bits(code, length + 1);
    }
    BitWriter& se(int32_t value) {
        return ue(value > 0 ? static_cast<uint32_t>(2 * value - 1)
                            : static_cast<uint32_t>(-2 * int64_t{value}));
    }
    BitWriter& bytes(const std::vector<uint8_t>& data) {
        for (uint8_t b : data)
            bits(b, 8);
        return *this;
    }
    // Ends with a one bit and zeros up to the byte boundary (rbsp_trailing_bits).
    BitWriter& trailing() {
        bit(1);
        while (used_ != 0)
            bit(0);
        return *this;
    }
    std::vector<uint8_t> data() const { return out_; }

private:
    void bit(unsigned b) {
        if (used_ == 0) out_.push_back(0);
        if (b) out_.back() |= static_cast<uint8_t>(0x80 >> used_);
        used_ = (used_ + 1) % 8;
    }
    std::vector<uint8_t> out_;
    int used_ = 0;
};

// Inserts the emulation-prevention bytes that an encoder adds (a 0x03 before any byte of
// 0 to 3 that follows two zero bytes).
inline std::vector<uint8_t> escape(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out;
    int zeros = 0;
    for (uint8_t b : raw) {
        if (zeros >= 2 && b <= 3) {
            out.push_back(3);
            zeros = 0;
        }
        out.push_back(b);
        zeros = b == 0 ? zeros + 1 : 0;
    }
    return out;
}

inline std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct InspectorRun {
    RecordingReporter out;
    InspectorResult result; // of the last run

    // Hands block[position .. position + length) (the rest of the block by default) to the
    // inspector. The block is copied into a heap buffer of exactly its size, so that a read
    // past its end is caught by AddressSanitizer.
    std::vector<std::string>& run(InspectedCodec codec, const std::vector<uint8_t>& block,
                                  std::size_t position = 0, std::size_t length = SIZE_MAX,
                                  int number = 0, uint32_t firstPts = 0x0001ADB0,
                                  LocaleSettings locale = {}) {
        const auto exact = std::make_unique<uint8_t[]>(block.size() + (block.empty() ? 1 : 0));
        std::copy(block.begin(), block.end(), exact.get());
        InspectorInput input{};
        input.codec = codec;
        input.block = exact.get();
        input.blockLength = block.size();
        input.position = position;
        input.length = length == SIZE_MAX ? block.size() - position : length;
        input.number = number;
        input.firstPts = firstPts;
        input.locale = locale;
        result = inspectStream(input, out);
        return out.lines;
    }
};

} // namespace tessary::test
