// Damaged and cut-short video payloads: every video inspector stays inside the block (run
// under AddressSanitizer to see a read past its end), keeps its loops bounded and leaves a
// finite frame rate.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "VideoInspectorTesting.h"

namespace tessary::test {
namespace {

constexpr InspectedCodec kVideoCodecs[] = {InspectedCodec::Mpeg2Video, InspectedCodec::Vc1Video,
                                           InspectedCodec::H264Video};

void inspectAll(const std::vector<uint8_t>& block, std::size_t position, std::size_t length) {
    for (InspectedCodec codec : kVideoCodecs) {
        InspectorRun run;
        const auto& lines = run.run(codec, block, position, length);
        EXPECT_LE(lines.size(), 32u);
        EXPECT_TRUE(std::isfinite(run.result.frameRate.value_or(0)));
    }
}

TEST(VideoInspectorRobustness, RandomBytesAroundStartCodes) {
    // Sequence header and SPS start codes in random bytes, often right at the block's end;
    // runs of zeros make long exp-Golomb prefixes and emulation-prevention patterns.
    const std::vector<std::vector<uint8_t>> codes = {
        {0x00, 0x00, 0x01, 0x0F}, {0x00, 0x00, 0x01, 0x67}, {0x00, 0x00, 0x01, 0x27},
        {0x00, 0x00, 0x01, 0xB3}, {0x00, 0x00, 0x01, 0xB5}, {0x00, 0x00, 0x01, 0x00}};
    std::mt19937 random(4711);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> block(random() % 96);
        const bool sparse = round % 3 == 0;
        for (auto& b : block)
            b = static_cast<uint8_t>(sparse && random() % 4 != 0 ? 0 : random());
        for (int planted = 0; planted < 2 && !block.empty(); ++planted) {
            const auto& code = codes[random() % codes.size()];
            const std::size_t at = random() % block.size();
            for (std::size_t i = 0; i < code.size() && at + i < block.size(); ++i)
                block[at + i] = code[i];
        }
        const std::size_t position = block.empty() ? 0 : random() % (block.size() + 1);
        const std::size_t length = random() % (block.size() - position + 8);
        inspectAll(block, position, length);
    }
}

TEST(VideoInspectorRobustness, DamagedEncoderSnippets) {
    std::mt19937 random(1234);
    for (const char* name : {"h264_1080p_23976_high41.264", "h264_1080i_2997_high41.264",
                             "h264_720p_30_high444.264", "m2v_1080i_2997_16x9.m2v"}) {
        const auto snippet = readSnippet(name);
        ASSERT_FALSE(snippet.empty()) << name;
        for (int round = 0; round < 500; ++round) {
            // Cut anywhere in the headers, with a few bytes changed.
            std::vector<uint8_t> block(snippet.begin(),
                                       snippet.begin() + static_cast<long>(random() % 80));
            for (int flips = 0; flips < 3 && !block.empty(); ++flips)
                block[random() % block.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
            inspectAll(block, 0, block.size());
        }
    }
}

} // namespace
} // namespace tessary::test
