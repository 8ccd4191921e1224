#pragma once

// The LPCM fixtures of tests/fixtures/lpcm (tools/make_lpcm_fixtures.sh): NAME.vob, a program
// stream holding one LPCM stream, and NAME.raw, ffmpeg's decoding of it as little-endian
// samples (16 bits, or 24 for 20 and 24 bits).

#include <filesystem>
#include <string>
#include <vector>

#include "DemuxData.h"
#include "engine/LpcmSamples.h"
#include "engine/WavHeader.h"

namespace tessary::test {

struct LpcmFixture {
    std::string name;
    LpcmFormat format;
};

// 16, 20 and 24 bits; 2 and 6 channels; 48 and 96 kHz.
inline std::vector<LpcmFixture> lpcmFixtures() {
    std::vector<LpcmFixture> fixtures;
    for (int bits : {16, 20, 24})
        for (int channels : {2, 6})
            for (int rate : {48000, 96000})
                fixtures.push_back({"lpcm_" + std::to_string(bits) + "_" +
                                        std::to_string(channels) + "ch_" +
                                        std::to_string(rate / 1000) + "k",
                                    {bits, rate, channels}});
    return fixtures;
}

inline std::filesystem::path lpcmFixturePath(const std::string& file) {
    return std::filesystem::path(TESSARY_SOURCE_DIR) / "tests" / "fixtures" / "lpcm" / file;
}

// A WAV file as Demux writes it: the header, then the samples.
inline Bytes wavFile(const LpcmFormat& format, const Bytes& pcm) {
    const auto header = wavHeader(format, pcm.size());
    return concat({Bytes(header.begin(), header.end()), pcm});
}

} // namespace tessary::test
