// The named values of the details: every inspector hands over the values its lines show.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Fakes.h"
#include "FieldAgreement.h"
#include "VideoInspectorTesting.h"
#include "shell/MessageLog.h"

using namespace tessary;
using namespace tessary::test;

namespace {

struct Case {
    std::string name;
    InspectedCodec codec;
    std::vector<uint8_t> block;
    std::size_t position = 0;
    LocaleSettings locale{};
};

// Encoder snippets of every codec, then damaged payloads: random bytes around sync words and
// start codes, so that reserved and odd table entries show up too.
std::vector<Case> cases() {
    std::vector<Case> all = {
        {"ac3", InspectedCodec::Ac3, readSnippet("ac3_51_448k_48k.ac3")},
        {"eac3", InspectedCodec::Ac3, readSnippet("eac3_20_192k_44k.eac3")},
        {"dts 44.1 kHz", InspectedCodec::Dts, readSnippet("dts_20_1411k_44k.dts")},
        {"dts", InspectedCodec::Dts, readSnippet("dts_51_768k_48k.dts")},
        {"mlp", InspectedCodec::MlpTrueHd, readSnippet("mlp_20_44k.mlp")},
        {"truehd", InspectedCodec::MlpTrueHd, readSnippet("truehd_51_48k.thd")},
        {"h264", InspectedCodec::H264Video, readSnippet("h264_1080i_2997_high41.264")},
        {"h264 4:2:2", InspectedCodec::H264Video,
         readSnippet("h264_1916x1076_50_high422_poc2.264")},
        {"m2v", InspectedCodec::Mpeg2Video, readSnippet("m2v_1080p_23976_16x9.m2v")},
    };
    const std::vector<std::vector<uint8_t>> syncs = {{0x0B, 0x77},
                                                     {0x7F, 0xFE, 0x80, 0x01},
                                                     {0xF8, 0x72, 0x6F, 0xBA},
                                                     {0xF8, 0x72, 0x6F, 0xBB},
                                                     {0, 0, 1, 0x67},
                                                     {0, 0, 1, 0x0F},
                                                     {0, 0, 1, 0xB3},
                                                     {0, 0, 1, 0xB5},
                                                     {0, 0, 1, 0x00}};
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        Case damaged{"damaged " + std::to_string(i), static_cast<InspectedCodec>(i % 7), {}};
        damaged.block.resize(random() % 300);
        for (uint8_t& byte : damaged.block)
            byte = static_cast<uint8_t>(random());
        for (int s = 0; s < 3; ++s) {
            const auto& sync = syncs[random() % syncs.size()];
            damaged.block.insert(damaged.block.begin() + random() % (damaged.block.size() + 1),
                                 sync.begin(), sync.end());
        }
        damaged.position = random() % 16; // LPCM reads its header before the payload
        damaged.locale.decimalSeparator = i % 2 ? ',' : '.';
        all.push_back(std::move(damaged));
    }
    return all;
}

} // namespace

TEST(ReportFields, EveryDetailLineShowsTheValuesHandedOver) {
    int named = 0;
    for (const Case& c : cases()) {
        InspectorRun run;
        const auto& lines = run.run(c.codec, c.block, std::min(c.position, c.block.size()),
                                    SIZE_MAX, 0, 0x0001ADB0, c.locale);
        std::vector<std::string> plain;
        for (const std::string& line : lines)
            plain.push_back(renderMarkup(line).plainText());
        EXPECT_EQ(fieldDisagreement(plain, run.out.fields), "") << c.name;
        named += static_cast<int>(run.out.fields.size());
    }
    EXPECT_GT(named, 5000); // the damaged payloads reach the inspectors' lines
}

TEST(ReportFields, ValuesUnderAHeadingKeepIt) {
    InspectorRun truehd;
    truehd.run(InspectedCodec::MlpTrueHd, readSnippet("truehd_20_48k.thd"));
    ASSERT_GE(truehd.out.fields.size(), 7u);
    EXPECT_EQ(std::vector<ReportField>(truehd.out.fields.begin(), truehd.out.fields.begin() + 7),
              (std::vector<ReportField>{
                  {"Sampling frequency", 48000.0, "Hz", ""},
                  {"channel modifier", 0.0, "", "2 ch. decoder"},
                  {"channel modifier", 0.0, "", "6 ch. decoder"},
                  {"channel arrangement", "???1", "", "6 ch. decoder"},
                  {"channel modifier", 0.0, "", "8 ch. decoder"},
                  {"channel arrangement", "???1", "", "8 ch. decoder"},
                  {"Dynamic range control", std::vector<double>{-10.6371, 8.4282}, "dB", ""}}));
}
