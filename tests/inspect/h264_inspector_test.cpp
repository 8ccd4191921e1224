#include <gtest/gtest.h>

#include <algorithm>

#include "VideoInspectorTesting.h"

namespace tessary::test {
namespace {

using Lines = std::vector<std::string>;

// The fields of a sequence parameter set (ISO/IEC 14496-10, 7.3.2.1.1) and its VUI as the
// tests vary them; the defaults are 1920x1080 progressive High@4.1 4:2:0 at 24000/1001.
struct Sps {
    uint8_t nalHeader = 0x67;
    unsigned profileIdc = 100, constraintSet3 = 0, levelIdc = 41;
    uint32_t spsId = 0;
    uint32_t chromaFormatIdc = 1, separateColourPlane = 0, bitDepthLuma = 8, bitDepthChroma = 8;
    // Per list: empty = not present, else the delta_scale values to code.
    std::vector<std::vector<int32_t>> scalingLists;
    bool scalingMatrix = false;
    uint32_t pocType = 0;
    uint32_t pocCycle = 0; // num_ref_frames_in_pic_order_cnt_cycle
    uint32_t widthMbsMinus1 = 119, heightMapUnitsMinus1 = 67, frameMbsOnly = 1;
    bool cropping = true;
    uint32_t cropLeft = 0, cropRight = 0, cropTop = 0, cropBottom = 4;
    bool vui = true;
    bool aspectInfo = true;
    bool overscanInfo = true;
    unsigned aspectIdc = 1, sarWidth = 0, sarHeight = 0;
    bool videoSignal = false;
    unsigned videoFormat = 5;
    bool chromaLoc = false;
    bool timing = true;
    uint32_t numUnitsInTick = 1001, timeScale = 48000;

    bool chromaFields() const {
        for (unsigned p : {100, 110, 122, 244, 44, 83, 86, 118, 128, 138, 139, 134, 135, 144})
            if (profileIdc == p) return true;
        return false;
    }

    // Start code, NAL header and RBSP, escaped as an encoder writes it.
    std::vector<uint8_t> bytes() const {
        BitWriter w;
        w.bits(profileIdc, 8).bits(0, 3).bits(constraintSet3, 1).bits(0, 4).bits(levelIdc, 8);
        w.ue(spsId);
        if (chromaFields()) {
            w.ue(chromaFormatIdc);
            if (chromaFormatIdc == 3) w.bits(separateColourPlane, 1);
            w.ue(bitDepthLuma - 8).ue(bitDepthChroma - 8).bits(0, 1);
            w.bits(scalingMatrix ? 1 : 0, 1);
            if (scalingMatrix) {
                for (const auto& list : scalingLists) {
                    w.bits(list.empty() ? 0 : 1, 1);
                    for (int32_t delta : list)
                        w.se(delta);
                }
            }
        }
        w.ue(0).ue(pocType); // log2_max_frame_num_minus4
        if (pocType == 0) {
            w.ue(2);
        } else if (pocType == 1) {
            w.bits(0, 1).se(-1).se(2).ue(pocCycle);
            for (uint32_t i = 0; i < std::min<uint32_t>(pocCycle, 255); ++i)
                w.se(static_cast<int32_t>(i % 5) - 2);
        }
        w.ue(4).bits(0, 1); // max_num_ref_frames, gaps_in_frame_num_value_allowed_flag
        w.ue(widthMbsMinus1).ue(heightMapUnitsMinus1).bits(frameMbsOnly, 1);
        if (frameMbsOnly == 0) w.bits(1, 1);
        w.bits(1, 1).bits(cropping ? 1 : 0, 1);
        if (cropping) w.ue(cropLeft).ue(cropRight).ue(cropTop).ue(cropBottom);
        w.bits(vui ? 1 : 0, 1);
        if (vui) {
            w.bits(aspectInfo ? 1 : 0, 1);
            if (aspectInfo) {
                w.bits(aspectIdc, 8);
                if (aspectIdc == 255) w.bits(sarWidth, 16).bits(sarHeight, 16);
            }
            w.bits(overscanInfo ? 1 : 0, 1);
            if (overscanInfo) w.bits(0, 1); // overscan_appropriate_flag
            w.bits(videoSignal ? 1 : 0, 1);
            if (videoSignal) w.bits(videoFormat, 3).bits(0, 1).bits(1, 1).bits(0x010101, 24);
            w.bits(chromaLoc ? 1 : 0, 1);
            if (chromaLoc) w.ue(1).ue(1);
            w.bits(timing ? 1 : 0, 1);
            if (timing) w.bits(numUnitsInTick, 32).bits(timeScale, 32).bits(1, 1);
            w.bits(0, 4); // no HRD, pic_struct_present_flag, bitstream_restriction_flag 0
        }
        return concat({0x00, 0x00, 0x00, 0x01, nalHeader}, escape(w.trailing().data()));
    }
};

// The lines that follow the profile and level lines.
Lines after(const Lines& lines, std::size_t skip = 2) {
    return lines.size() < skip ? Lines{}
                               : Lines(lines.begin() + static_cast<long>(skip), lines.end());
}

const std::string kSize1080 = "   Size = [bl]1920[/bl]x[bl]1080[/bl]";
const std::string kSquare = "   Aspect ratio = [bl]1:1[/bl] (square samples)";

// Snippets of libx264 encodes: the values are what each encode was asked for and what
// ffprobe reports for the same bytes (profile, level, size, sample aspect ratio, r_frame_rate).
TEST(H264Inspector, EncoderSnippets) {
    struct Case {
        const char* file;
        Lines lines;
        double rate;
    };
    const Case cases[] = {
        {"h264_1080p_23976_high41.264",
         {"   Profile = High", "   Level = 4.1",
          "   Chroma format = [bl]4:2:0[/bl]  (l, c) = 8, 8 bit", kSize1080, kSquare,
          "   Time scale = 48000 Hz", "   Frame rate = 23.976 fps"},
         24000.0 / 1001},
        {"h264_1080i_2997_high41.264",
         {"   Profile = High", "   Level = 4.1",
          "   Chroma format = [bl]4:2:0[/bl]  (l, c) = 8, 8 bit", kSize1080, kSquare,
          "   Time scale = 60000 Hz", "   Frame rate = 29.97 fps"},
         30000.0 / 1001},
        {"h264_1080p_25_main40.264",
         {"   Profile = Main", "   Level = 4.0", kSize1080, kSquare, "   Time scale = 50 Hz",
          "   Frame rate = 25 fps"},
         25.0},
        // High 4:2:2, pic_order_cnt_type 2, cropped by 2 x 2 columns on the right.
        {"h264_1916x1076_50_high422_poc2.264",
         {"   Profile = High 4:2:2", "   Level = 4.2",
          "   Chroma format = [bl]4:2:2[/bl]  (l, c) = 8, 8 bit",
          "   Size = [bl]1916[/bl]x[bl]1076[/bl]", kSquare, "   Time scale = 100 Hz",
          "   Frame rate = 50 fps"},
         50.0},
        // High 4:4:4 Predictive (244) has no name of its own but its chroma fields are read.
        {"h264_720p_30_high444.264",
         {"   Profile = Unknown", "   Level = 3.1",
          "   Chroma format = [bl]4:4:4[/bl]  (l, c) = 8, 8 bit",
          "   Size = [bl]1280[/bl]x[bl]720[/bl]", kSquare, "   Time scale = 60 Hz",
          "   Frame rate = 30 fps"},
         30.0},
    };
    for (const Case& c : cases) {
        const auto bytes = readSnippet(c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        InspectorRun run;
        EXPECT_EQ(run.run(InspectedCodec::H264Video, bytes), c.lines) << c.file;
        EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), c.rate) << c.file;
    }
}

TEST(H264Inspector, ProfilesAndLevels) {
    struct Case {
        unsigned profile, cs3, level;
        const char *profileLine, *levelLine;
    };
    const Case cases[] = {
        {77, 1, 11, "   Profile = Main", "   Level = 1b"},
        {77, 0, 11, "   Profile = Main", "   Level = 1.1"},
        {66, 1, 30, "   Profile = Baseline ", "   Level = 3.0"},
        {88, 0, 51, "   Profile = Extended", "   Level = 5.1"},
        {110, 0, 40, "   Profile = High 10", "   Level = 4.0"},
        {144, 0, 9, "   Profile = High 4:4:4", "   Level = 0.9"},
        {118, 0, 41, "   Profile = Unknown", "   Level = 4.1"},
    };
    for (const Case& c : cases) {
        Sps sps;
        sps.profileIdc = c.profile;
        sps.constraintSet3 = c.cs3;
        sps.levelIdc = c.level;
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::H264Video, sps.bytes());
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], c.profileLine);
        EXPECT_EQ(lines[1], c.levelLine);
        // Whatever the profile, the fields behind it are found.
        EXPECT_EQ(lines.back(), "   Frame rate = 23.976 fps") << c.profile;
    }
}

TEST(H264Inspector, ChromaFieldsOfEveryProfileThatHasThem) {
    for (unsigned profile : {100, 110, 122, 244, 44, 83, 86, 118, 128, 138, 139, 134, 135, 144}) {
        Sps sps;
        sps.profileIdc = profile;
        sps.chromaFormatIdc = 2;
        sps.cropBottom = 8; // one row per unit in 4:2:2
        sps.bitDepthLuma = 10;
        sps.bitDepthChroma = 9;
        InspectorRun run;
        const Lines expected = {"   Chroma format = [bl]4:2:2[/bl]  (l, c) = 10, 9 bit", kSize1080,
                                kSquare, "   Time scale = 48000 Hz", "   Frame rate = 23.976 fps"};
        EXPECT_EQ(after(run.run(InspectedCodec::H264Video, sps.bytes())), expected) << profile;
    }
    // Profiles without them, including numbers that merely occur inside "100 110 122 144".
    for (unsigned profile : {66, 77, 88, 0, 1, 10, 12, 14, 22}) {
        Sps sps;
        sps.profileIdc = profile;
        InspectorRun run;
        const Lines expected = {kSize1080, kSquare, "   Time scale = 48000 Hz",
                                "   Frame rate = 23.976 fps"};
        EXPECT_EQ(after(run.run(InspectedCodec::H264Video, sps.bytes())), expected) << profile;
    }
}

TEST(H264Inspector, ChromaFormatsAndTheirCropUnits) {
    struct Case {
        uint32_t chromaFormatIdc, separatePlanes, frameMbsOnly;
        const char *chromaLine, *sizeLine;
    };
    // 1920x1088 coded (68 map units, or 34 for field pairs), cropped by left 1, right 2,
    // top 3 and bottom 1 units.
    const Case cases[] = {
        {0, 0, 1, "   Chroma format = [bl]monochrome[/bl]  (l, c) = 8, 8 bit",
         "   Size = [bl]1917[/bl]x[bl]1084[/bl]"},
        {1, 0, 1, "   Chroma format = [bl]4:2:0[/bl]  (l, c) = 8, 8 bit",
         "   Size = [bl]1914[/bl]x[bl]1080[/bl]"},
        {1, 0, 0, "   Chroma format = [bl]4:2:0[/bl]  (l, c) = 8, 8 bit",
         "   Size = [bl]1914[/bl]x[bl]1072[/bl]"},
        {2, 0, 1, "   Chroma format = [bl]4:2:2[/bl]  (l, c) = 8, 8 bit",
         "   Size = [bl]1914[/bl]x[bl]1084[/bl]"},
        {3, 0, 0, "   Chroma format = [bl]4:4:4[/bl]  (l, c) = 8, 8 bit",
         "   Size = [bl]1917[/bl]x[bl]1080[/bl]"},
        {3, 1, 1, "   Chroma format = [bl]4:4:4[/bl]  (l, c) = 8, 8 bit",
         "   Size = [bl]1917[/bl]x[bl]1084[/bl]"},
        {4, 0, 1, "   Chroma format = [bl]Invalid[/bl]  (l, c) = 8, 8 bit",
         "   Size = [bl]1917[/bl]x[bl]1084[/bl]"},
    };
    for (const Case& c : cases) {
        Sps sps;
        sps.profileIdc = 244;
        sps.chromaFormatIdc = c.chromaFormatIdc;
        sps.separateColourPlane = c.separatePlanes;
        sps.frameMbsOnly = c.frameMbsOnly;
        sps.heightMapUnitsMinus1 = c.frameMbsOnly ? 67 : 33;
        sps.cropLeft = 1;
        sps.cropRight = 2;
        sps.cropTop = 3;
        sps.cropBottom = 1;
        InspectorRun run;
        const auto lines = after(run.run(InspectedCodec::H264Video, sps.bytes()));
        ASSERT_EQ(lines.size(), 5u) << c.chromaFormatIdc;
        EXPECT_EQ(lines[0], c.chromaLine);
        EXPECT_EQ(lines[1], c.sizeLine) << c.chromaFormatIdc << " " << c.frameMbsOnly;
        EXPECT_EQ(lines[4], "   Frame rate = 23.976 fps");
    }
}

TEST(H264Inspector, HdSizesProgressiveAndInterlaced) {
    for (unsigned profile : {100, 77}) {
        Sps progressive;
        progressive.profileIdc = profile;
        InspectorRun p;
        const auto& pLines = p.run(InspectedCodec::H264Video, progressive.bytes());
        EXPECT_NE(std::find(pLines.begin(), pLines.end(), kSize1080), pLines.end()) << profile;

        Sps fields = progressive;
        fields.heightMapUnitsMinus1 = 33;
        fields.frameMbsOnly = 0;
        fields.cropBottom = 2;
        InspectorRun i;
        const auto& iLines = i.run(InspectedCodec::H264Video, fields.bytes());
        EXPECT_NE(std::find(iLines.begin(), iLines.end(), kSize1080), iLines.end()) << profile;
    }
    Sps uncropped;
    uncropped.cropping = false;
    InspectorRun run;
    EXPECT_EQ(run.run(InspectedCodec::H264Video, uncropped.bytes()).at(3),
              "   Size = [bl]1920[/bl]x[bl]1088[/bl]");
}

TEST(H264Inspector, ScalingListsAreSkipped) {
    // Lists with explicit values, lists that stop early (delta to 0: use the default) and
    // absent lists; twelve of them for 4:4:4.
    const std::vector<int32_t> full16(16, 1); // 9, 10, ... 24
    std::vector<int32_t> full64;              // 9, 8, 9, ... 135, 7, 8, 7, ...
    for (int j = 0; j < 64; ++j)
        full64.push_back(j == 10 ? 127 : j == 11 ? -128 : j % 2 == 0 ? 1 : -1);
    for (uint32_t chroma : {1u, 3u}) {
        Sps sps;
        sps.chromaFormatIdc = chroma;
        sps.cropBottom = chroma == 3 ? 8 : 4;
        sps.scalingMatrix = true;
        sps.scalingLists = {full16, {-8}, {}, {5, -3, 0 - 10}, {}, full16, full64, {}};
        if (chroma == 3)
            sps.scalingLists.insert(sps.scalingLists.end(), {{}, full64, {-8}, full64});
        sps.pocType = 1;
        sps.pocCycle = 3;
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::H264Video, sps.bytes());
        EXPECT_EQ(lines.at(3), kSize1080) << chroma;
        EXPECT_EQ(lines.back(), "   Frame rate = 23.976 fps") << chroma;
    }
}

TEST(H264Inspector, PictureOrderCountTypes) {
    for (uint32_t type : {0u, 1u, 2u}) {
        for (uint32_t cycle : {0u, 1u, 255u}) {
            Sps sps;
            sps.pocType = type;
            sps.pocCycle = cycle;
            InspectorRun run;
            const auto& lines = run.run(InspectedCodec::H264Video, sps.bytes());
            EXPECT_EQ(lines.at(3), kSize1080) << type << " " << cycle;
            EXPECT_EQ(lines.back(), "   Frame rate = 23.976 fps") << type << " " << cycle;
        }
    }
    // A damaged count: the loop ends after 255 offsets, where the writer stopped too.
    Sps damaged;
    damaged.pocType = 1;
    damaged.pocCycle = 0xFFFFFFFE;
    InspectorRun run;
    const auto& lines = run.run(InspectedCodec::H264Video, damaged.bytes());
    EXPECT_EQ(lines.at(3), kSize1080);
    EXPECT_EQ(lines.back(), "   Frame rate = 23.976 fps");
}

TEST(H264Inspector, VuiFields) {
    Sps sps;
    sps.aspectIdc = 255;
    sps.sarWidth = 64;
    sps.sarHeight = 45;
    sps.videoSignal = true;
    sps.videoFormat = 2;
    sps.chromaLoc = true;
    InspectorRun run;
    const Lines expected = {kSize1080, "   Aspect ratio = 64:45", "   Video format = NTSC",
                            "   Time scale = 48000 Hz", "   Frame rate = 23.976 fps"};
    EXPECT_EQ(after(run.run(InspectedCodec::H264Video, sps.bytes()), 3), expected);

    sps.aspectIdc = 200; // reserved: no aspect line
    sps.videoFormat = 6; // no name
    InspectorRun reserved;
    const Lines reservedLines = {kSize1080, "   Video format = ", "   Time scale = 48000 Hz",
                                 "   Frame rate = 23.976 fps"};
    EXPECT_EQ(after(reserved.run(InspectedCodec::H264Video, sps.bytes()), 3), reservedLines);

    sps.aspectIdc = 14;
    sps.videoFormat = 0;
    InspectorRun named;
    const auto& lines = named.run(InspectedCodec::H264Video, sps.bytes());
    EXPECT_EQ(lines.at(4), "   Aspect ratio = [bl]4:3[/bl]");
    EXPECT_EQ(lines.at(5), "   Video format = Component");
}

TEST(H264Inspector, FrameRateIsHalfTheTickRateAndReturned) {
    struct Case {
        uint32_t numUnitsInTick, timeScale;
        const char *scaleLine, *rateLine;
        double stored;
    };
    const Case cases[] = {
        {1001, 48000, "   Time scale = 48000 Hz", "   Frame rate = 23.976 fps", 24000.0 / 1001},
        {1, 50, "   Time scale = 50 Hz", "   Frame rate = 25 fps", 25.0},
        {1001, 60000, "   Time scale = 60000 Hz", "   Frame rate = 29.97 fps", 30000.0 / 1001},
        {1000, 120000, "   Time scale = 120000 Hz", "   Frame rate = 60 fps", 60.0},
        // 32-bit fields are unsigned.
        {0x80000000, 0xFFFFFFFF, "   Time scale = 4294967295 Hz", "   Frame rate = 1 fps",
         0xFFFFFFFF / (2.0 * 0x80000000)},
    };
    for (const Case& c : cases) {
        Sps sps;
        sps.numUnitsInTick = c.numUnitsInTick;
        sps.timeScale = c.timeScale;
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::H264Video, sps.bytes(), 0, SIZE_MAX, 1);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2], c.scaleLine);
        EXPECT_EQ(lines.back(), c.rateLine);
        EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), c.stored) << c.rateLine;
    }
}

TEST(H264Inspector, FrameRateWithoutTimingOrWithoutTicks) {
    Sps noTiming;
    noTiming.timing = false;
    InspectorRun a;
    EXPECT_EQ(a.run(InspectedCodec::H264Video, noTiming.bytes()).back(), kSquare);
    EXPECT_DOUBLE_EQ(a.result.frameRate.value_or(0), 24000.0 / 1001);

    Sps noVui;
    noVui.vui = false;
    InspectorRun b;
    EXPECT_EQ(b.run(InspectedCodec::H264Video, noVui.bytes()).back(), kSize1080);
    EXPECT_DOUBLE_EQ(b.result.frameRate.value_or(0), 24000.0 / 1001);

    Sps noTicks;
    noTicks.numUnitsInTick = 0;
    InspectorRun c;
    const auto& lines = c.run(InspectedCodec::H264Video, noTicks.bytes());
    EXPECT_EQ(lines.back(), "   Frame rate = invalid");
    EXPECT_FALSE(c.result.frameRate);

    InspectorRun comma;
    comma.run(InspectedCodec::H264Video, Sps{}.bytes(), 0, SIZE_MAX, 0, 0,
              LocaleSettings{',', ':'});
    EXPECT_EQ(comma.out.lines.back(), "   Frame rate = 23,976 fps");
}

TEST(H264Inspector, TimingAtEveryBitOffsetAndEscaped) {
    // seq_parameter_set_id (1, 3, 5 or 7 bits) and the overscan fields (1 or 2 bits) shift
    // the fields behind them to every bit offset; byte-aligned, num_units_in_tick 1001 is
    // coded 00 00 03 03 E9.
    bool sawEscapedTick = false;
    const uint8_t escapedTick[] = {0x00, 0x00, 0x03, 0x03, 0xE9};
    for (uint32_t shift = 0; shift < 8; ++shift) {
        Sps sps;
        const uint32_t id = shift % 4 == 0 ? 0 : shift % 4 == 1 ? 1 : shift % 4 == 2 ? 3 : 7;
        sps.spsId = id;
        sps.overscanInfo = shift >= 4;
        const auto bytes = sps.bytes();
        sawEscapedTick |= std::search(bytes.begin(), bytes.end(), std::begin(escapedTick),
                                      std::end(escapedTick)) != bytes.end();
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::H264Video, bytes);
        EXPECT_EQ(lines.back(), "   Frame rate = 23.976 fps") << id;
        EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), 24000.0 / 1001) << id;
    }
    EXPECT_TRUE(sawEscapedTick);
}

TEST(H264Inspector, FindsTheSequenceParameterSet) {
    const auto sps = Sps{}.bytes();
    // Behind an access unit delimiter and other data, with nal_ref_idc 1, 2 or 3.
    for (uint8_t header : {0x27, 0x47, 0x67}) {
        Sps s;
        s.nalHeader = header;
        const auto bytes =
            concat({0x00, 0x00, 0x01, 0x09, 0x10, 0x00, 0x00, 0x01, 0x68, 0xEE}, s.bytes());
        InspectorRun run;
        EXPECT_EQ(run.run(InspectedCodec::H264Video, bytes).size(), 7u) << int{header};
    }
    // nal_ref_idc 0 is no sequence parameter set; nor is a PPS. Nothing is reported then,
    // and the rate is the one assumed without timing.
    Sps zeroRef;
    zeroRef.nalHeader = 0x07;
    InspectorRun none;
    EXPECT_TRUE(none.run(InspectedCodec::H264Video, zeroRef.bytes()).empty());
    EXPECT_DOUBLE_EQ(none.result.frameRate.value_or(0), 24000.0 / 1001);
    EXPECT_TRUE(none.run(InspectedCodec::H264Video, {0x00, 0x00, 0x01, 0x68, 0xCE}).empty());
    EXPECT_TRUE(none.run(InspectedCodec::H264Video, {}, 0, 0).empty());
    // The start code must lie inside the payload.
    EXPECT_TRUE(none.run(InspectedCodec::H264Video, sps, 0, 4).empty());
    InspectorRun atEnd;
    EXPECT_EQ(atEnd.run(InspectedCodec::H264Video, sps, 0, 5).size(), 7u);
}

TEST(H264Inspector, BlockEndsInsideTheHeader) {
    const auto sps = Sps{}.bytes();
    for (std::size_t cut = 6; cut < sps.size(); ++cut) {
        const std::vector<uint8_t> block(sps.begin(), sps.begin() + static_cast<long>(cut));
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::H264Video, block);
        ASSERT_GE(lines.size(), 3u) << cut;
        EXPECT_EQ(lines[0], "   Profile = High");
    }
    // A start code at the block's end: every field reads as zero bits, and the inspector ends.
    InspectorRun bare;
    const auto& lines = bare.run(InspectedCodec::H264Video, {0x00, 0x00, 0x01, 0x67});
    EXPECT_EQ(lines.at(0), "   Profile = Unknown");
    EXPECT_EQ(lines.at(1), "   Level = 0.0");
}

} // namespace
} // namespace tessary::test
