#include <gtest/gtest.h>

#include "VideoInspectorTesting.h"

namespace tessary::test {
namespace {

using Lines = std::vector<std::string>;

// sequence_header: 00 00 01 B3, horizontal_size (12), vertical_size (12),
// aspect_ratio_information (4), frame_rate_code (4), bit_rate_value (18), marker (1),
// vbv_buffer_size_value (10), constrained_parameters_flag (1), two matrix flags (2).
std::vector<uint8_t> sequenceHeader(unsigned width, unsigned height, unsigned aspect,
                                    unsigned rateCode, unsigned bitRateValue) {
    return BitWriter()
        .bytes({0x00, 0x00, 0x01, 0xB3})
        .bits(width, 12)
        .bits(height, 12)
        .bits(aspect, 4)
        .bits(rateCode, 4)
        .bits(bitRateValue, 18)
        .bits(1, 1)
        .bits(112, 10)
        .bits(0, 3)
        .data();
}

// sequence_extension: identifier 1, profile_and_level_indication 0x48 (Main@High),
// progressive_sequence, chroma_format 1, the rest zero but the marker.
std::vector<uint8_t> sequenceExtension(unsigned progressive) {
    return BitWriter()
        .bytes({0x00, 0x00, 0x01, 0xB5})
        .bits(1, 4)
        .bits(0x48, 8)
        .bits(progressive, 1)
        .bits(1, 2)
        .bits(0, 2 + 2 + 12)
        .bits(1, 1)
        .bits(0, 8 + 1 + 2 + 5)
        .data();
}

// picture_header (temporal_reference 0, picture_coding_type, vbv_delay 0xFFFF) followed by a
// picture_coding_extension (identifier 8, the rest of its fields as a frame picture).
std::vector<uint8_t> picture(unsigned codingType) {
    const auto header = BitWriter()
                            .bytes({0x00, 0x00, 0x01, 0x00})
                            .bits(0, 10)
                            .bits(codingType, 3)
                            .bits(0xFFFF, 16)
                            .bits(0, 3)
                            .data();
    const auto extension = BitWriter()
                               .bytes({0x00, 0x00, 0x01, 0xB5})
                               .bits(8, 4)
                               .bits(0xFFFF, 16)
                               .bits(0, 2)
                               .bits(3, 2)
                               .bits(0x12, 8)
                               .bits(0x80, 8)
                               .data();
    return concat(header, extension);
}

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all = concat(all, part);
    return all;
}

// The snippets hold the headers of an ffmpeg mpeg2video encode; the expected values are what
// the encode was asked for and what ffprobe reports for the same bytes (size, display aspect
// ratio, frame rate, max_bitrate of the CPB side data, field order).
TEST(Mpeg2VideoInspector, EncoderSnippets) {
    struct Case {
        const char* file;
        Lines lines;
        double rate;
    };
    const Case cases[] = {
        {"m2v_576p_25_4x3.m2v",
         {"   Sequence Header found", "   size = [bl]720[/bl]x[bl]576[/bl]",
          "   Aspect ratio = [bl]4:3[/bl]", "   Frame rate = [bl]25[/bl] fps",
          "  Sequence header bitrate = [bl]8000[/bl] kbps", "   Progressive Sequence = 1",
          "   First Video PTS = 0001ADB0"},
         25.0},
        {"m2v_1080i_2997_16x9.m2v",
         {"   Sequence Header found", "   size = [bl]1920[/bl]x[bl]1080[/bl]",
          "   Aspect ratio = [bl]16:9[/bl]", "   Frame rate = [bl]29.97[/bl] fps",
          "  Sequence header bitrate = [bl]30000[/bl] kbps", "   Progressive Sequence = 0",
          "   First Video PTS = 0001ADB0"},
         30000.0 / 1001},
        {"m2v_1080p_23976_16x9.m2v",
         {"   Sequence Header found", "   size = [bl]1920[/bl]x[bl]1080[/bl]",
          "   Aspect ratio = [bl]16:9[/bl]", "   Frame rate = [bl]23.976[/bl] fps",
          "  Sequence header bitrate = [bl]25000[/bl] kbps", "   Progressive Sequence = 1",
          "   First Video PTS = 0001ADB0"},
         24000.0 / 1001},
    };
    for (const Case& c : cases) {
        const auto bytes = readSnippet(c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        InspectorRun run;
        EXPECT_EQ(run.run(InspectedCodec::Mpeg2Video, bytes), c.lines) << c.file;
        EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), c.rate) << c.file;
    }
}

TEST(Mpeg2VideoInspector, PicturesBeforeTheFirstSequenceHeaderAndARepeatedHeader) {
    const auto bytes =
        join({picture(2), picture(3), sequenceHeader(1920, 1080, 3, 4, 75000), sequenceExtension(0),
              picture(1), sequenceHeader(720, 480, 2, 1, 1), sequenceExtension(1), picture(2)});
    InspectorRun run;
    const Lines expected = {"   Sequence Header found",
                            "   2 frames before first Sequence Header",
                            "   size = [bl]1920[/bl]x[bl]1080[/bl]",
                            "   Aspect ratio = [bl]16:9[/bl]",
                            "   Frame rate = [bl]29.97[/bl] fps",
                            "  Sequence header bitrate = [bl]30000[/bl] kbps",
                            "   Progressive Sequence = 0",
                            "   First Video PTS = 12345678"};
    EXPECT_EQ(run.run(InspectedCodec::Mpeg2Video, bytes, 0, SIZE_MAX, 1, 0x12345678), expected);
    // The second sequence header neither reports nor changes the rate.
    EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), 30000.0 / 1001);
}

TEST(Mpeg2VideoInspector, CodeTablesAndLimits) {
    struct Case {
        unsigned aspect, rateCode, bitRateValue;
        const char *aspectLine, *rateLine, *bitRateLine;
        double stored;
    };
    const Case cases[] = {
        {0, 7, 0x3FFFF, "   Aspect ratio = forbidden", "   Frame rate = [bl]59.94[/bl] fps",
         "  Sequence header bitrate = [bl]104857[/bl] kbps", 60000.0 / 1001},
        {1, 9, 0, "   Aspect ratio = [bl]1:1[/bl] (square samples)", "   Frame rate = reserved",
         "  Sequence header bitrate = [bl]0[/bl] kbps", 1.0},
        {4, 0, 1, "   Aspect ratio = [bl]2.21:1[/bl]", "   Frame rate = forbidden",
         "  Sequence header bitrate = [bl]0[/bl] kbps", 1.0},
        {5, 8, 3, "   Aspect ratio = reserved", "   Frame rate = [bl]60[/bl] fps",
         "  Sequence header bitrate = [bl]1[/bl] kbps", 60.0},
    };
    for (const Case& c : cases) {
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::Mpeg2Video,
                                    sequenceHeader(352, 288, c.aspect, c.rateCode, c.bitRateValue));
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[1], "   size = [bl]352[/bl]x[bl]288[/bl]");
        EXPECT_EQ(lines[2], c.aspectLine);
        EXPECT_EQ(lines[3], c.rateLine);
        EXPECT_EQ(lines[4], c.bitRateLine);
        EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), c.stored);
    }
}

TEST(Mpeg2VideoInspector, FrameRateUsesTheDecimalSeparator) {
    InspectorRun run;
    const auto& lines = run.run(InspectedCodec::Mpeg2Video, sequenceHeader(720, 480, 2, 4, 1), 0,
                                SIZE_MAX, 0, 0, LocaleSettings{',', ':'});
    EXPECT_EQ(lines.at(3), "   Frame rate = [bl]29,97[/bl] fps");
}

TEST(Mpeg2VideoInspector, IllegalPictureCodingTypes) {
    const auto bytes =
        join({picture(0), picture(1), picture(2), picture(3), picture(4), picture(7)});
    InspectorRun run;
    const Lines expected = {"   illegal picture_coding_type = 0",
                            "   illegal picture_coding_type = 4",
                            "   illegal picture_coding_type = 7"};
    EXPECT_EQ(run.run(InspectedCodec::Mpeg2Video, bytes), expected);
}

TEST(Mpeg2VideoInspector, StaysWithinThePayloadAndTheBlock) {
    const auto header = concat(sequenceHeader(1920, 1080, 3, 1, 75000), sequenceExtension(1));
    {
        // Cut after the size: the rest of the block is never read, no rate returned.
        InspectorRun run;
        const Lines expected = {"   Sequence Header found",
                                "   size = [bl]1920[/bl]x[bl]1080[/bl]"};
        EXPECT_EQ(run.run(InspectedCodec::Mpeg2Video, header, 0, 7), expected);
        EXPECT_FALSE(run.result.frameRate);
    }
    {
        // A length that runs past the block ends at the block's end. Without its start code
        // the sequence header is not seen; the sequence extension still is.
        InspectorRun run;
        const Lines expected = {"   Progressive Sequence = 1"};
        EXPECT_EQ(run.run(InspectedCodec::Mpeg2Video, header, 4, 100000), expected);
        InspectorRun whole;
        EXPECT_EQ(whole.run(InspectedCodec::Mpeg2Video, header, 0, 100000).size(), 6u);
    }
    {
        InspectorRun run;
        EXPECT_TRUE(run.run(InspectedCodec::Mpeg2Video, header, header.size(), 10).empty());
        EXPECT_TRUE(run.run(InspectedCodec::Mpeg2Video, {}, 0, 0).empty());
    }
}

} // namespace
} // namespace tessary::test
