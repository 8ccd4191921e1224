// Damaged and cut-short audio payloads: every inspector stays inside the block (run under
// AddressSanitizer to see a read past its end) and keeps its loops bounded.
#include <gtest/gtest.h>

#include <random>

#include "AudioInspectorTesting.h"

using namespace tessary;
using namespace tessary::test;

TEST(AudioInspectorRobustness, RandomPayloadsAroundSyncWords) {
    // Sync words of every format, planted in random bytes so that headers get read, often
    // right at the end of the block.
    const std::vector<Bytes> syncs = {{0x0B, 0x77},
                                      {0x7F, 0xFE, 0x80, 0x01},
                                      {0x5A, 0x5A, 0x5A, 0x5A},
                                      {0xF8, 0x72, 0x6F, 0xBA},
                                      {0xF8, 0x72, 0x6F, 0xBB}};
    const InspectedCodec codecs[] = {InspectedCodec::Ac3, InspectedCodec::Dts,
                                     InspectedCodec::MlpTrueHd, InspectedCodec::Lpcm};
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        Bytes block(random() % 48);
        for (auto& b : block)
            b = static_cast<uint8_t>(random());
        if (!block.empty()) {
            const Bytes& sync = syncs[random() % syncs.size()];
            const std::size_t at = random() % block.size();
            for (std::size_t i = 0; i < sync.size() && at + i < block.size(); ++i)
                block[at + i] = sync[i];
        }
        AudioChunk chunk;
        chunk.position = block.empty() ? 0 : random() % (block.size() + 1);
        // Lengths that end inside the block, at its end, and past it.
        chunk.length = random() % (block.size() - chunk.position + 8);
        for (InspectedCodec codec : codecs) {
            const Lines lines = inspectAudio(codec, block, chunk);
            EXPECT_LE(lines.size(), 64u);
        }
    }
}
