#include <gtest/gtest.h>

#include "VideoInspectorTesting.h"
#include "inspect/NameTables.h"

namespace tessary::test {
namespace {

using Lines = std::vector<std::string>;

// The fields of an Advanced-profile sequence header (SMPTE 421M), as the tests vary them.
struct SequenceHeader {
    unsigned profile = 3, level = 3, colordiffFormat = 1;
    unsigned maxCodedWidth = 959, maxCodedHeight = 539; // 1920x1080
    unsigned pulldown = 0, psf = 0;
    unsigned displayExt = 1, dispHorizSize = 1919, dispVertSize = 1079;
    unsigned aspectRatioFlag = 1, aspectRatio = 1, aspectHoriz = 0, aspectVert = 0;
    unsigned framerateFlag = 1, framerateind = 0, frameratenr = 1, frameratedr = 2;
    unsigned framerateexp = 0;
    unsigned colorFormatFlag = 1;

    // Start code and header, with the emulation-prevention bytes an encoder inserts.
    std::vector<uint8_t> bytes() const {
        BitWriter w;
        w.bits(profile, 2).bits(level, 3).bits(colordiffFormat, 2);
        w.bits(7, 3).bits(31, 5).bits(0, 1); // frmrtq_postproc, bitrtq_postproc, postprocflag
        w.bits(maxCodedWidth, 12).bits(maxCodedHeight, 12);
        w.bits(pulldown, 1).bits(0, 1).bits(0, 1).bits(0, 1).bits(1, 1).bits(psf, 1);
        w.bits(displayExt, 1);
        if (displayExt == 1) {
            w.bits(dispHorizSize, 14).bits(dispVertSize, 14);
            w.bits(aspectRatioFlag, 1);
            if (aspectRatioFlag == 1) {
                w.bits(aspectRatio, 4);
                if (aspectRatio == 15) w.bits(aspectHoriz, 8).bits(aspectVert, 8);
            }
            w.bits(framerateFlag, 1);
            if (framerateFlag == 1) {
                w.bits(framerateind, 1);
                if (framerateind == 1)
                    w.bits(framerateexp, 16);
                else
                    w.bits(frameratenr, 8).bits(frameratedr, 4);
            }
            w.bits(colorFormatFlag, 1);
            if (colorFormatFlag == 1) w.bits(1, 8).bits(1, 8).bits(1, 8);
        }
        w.bits(0, 1); // hrd_param_flag
        return concat({0x00, 0x00, 0x01, 0x0F}, escape(w.trailing().data()));
    }
};

// The lines after the profile, level and chroma lines.
Lines tail(const Lines& lines) {
    return lines.size() < 3 ? Lines{} : Lines(lines.begin() + 3, lines.end());
}

TEST(Vc1Inspector, AdvancedProfileHeader) {
    // As on the demo disc: level 3, 1920x1080, square samples, 24000/1001, BT.709 colours,
    // behind a few bytes of other data.
    const auto bytes = concat({0x00, 0x00, 0x01, 0x0E, 0x12, 0x34}, SequenceHeader{}.bytes());
    InspectorRun run;
    const Lines expected = {"   Profile = Advanced",
                            "   Level = 3",
                            "   Chroma Format = [bl]4:2:0[/bl]",
                            "   Size = [bl]1920[/bl]x[bl]1080[/bl]",
                            "   Display size = [bl]1920[/bl]x[bl]1080[/bl]",
                            "   Aspect ratio = [bl]1:1[/bl] (square samples)",
                            "   Frame Rate = [bl]23.976[/bl] (24000/1001)"};
    EXPECT_EQ(run.run(InspectedCodec::Vc1Video, bytes, 0, SIZE_MAX, 1), expected);
    EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), 24000.0 / 1001);
}

TEST(Vc1Inspector, FrameRatesWithAndWithoutPulldown) {
    struct Case {
        unsigned nr, dr, pulldown;
        std::string line;
        double stored;
    };
    const std::vector<Case> cases = {
        {3, 2, 0, "   Frame Rate = [bl]29.97[/bl] (30000/1001)", 30000.0 / 1001},
        {3, 2, 1, "   Frame Rate = [bl]23.976[/bl] (24000/1001)", 24000.0 / 1001},
        {2, 1, 1, "   Frame Rate = [bl]25[/bl] (25000/1000)", 25.0},
        {5, 2, 0, "   Frame Rate = [bl]59.94[/bl] (60000/1001)", 60000.0 / 1001},
        {7, 1, 0, "   Frame Rate = [bl]72[/bl] (72000/1000)", 72.0},
    };
    for (const Case& c : cases) {
        SequenceHeader header;
        header.frameratenr = c.nr;
        header.frameratedr = c.dr;
        header.pulldown = c.pulldown;
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::Vc1Video, header.bytes());
        EXPECT_EQ(lines.back(), c.line);
        EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), c.stored) << c.line;
    }
}

TEST(Vc1Inspector, ForbiddenAndReservedRateCodes) {
    SequenceHeader header;
    header.frameratedr = 0; // forbidden: no rate, none returned, no division by zero
    InspectorRun forbidden;
    EXPECT_EQ(forbidden.run(InspectedCodec::Vc1Video, header.bytes()).back(),
              "   Forbidden Frame Rate!");
    EXPECT_FALSE(forbidden.result.frameRate);

    header.frameratenr = 0;
    InspectorRun both;
    const Lines bothLines = {"   Forbidden Frame Rate!", "   Forbidden Frame Rate!"};
    const auto& lines = both.run(InspectedCodec::Vc1Video, header.bytes());
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), bothLines);

    // Reserved codes are used as they are.
    header.frameratenr = 9;
    header.frameratedr = 3;
    InspectorRun reserved;
    const Lines reservedLines = {"   Reserved Frame Rate!", "   Reserved Frame Rate!",
                                 "   Frame Rate = [bl]3[/bl] (9/3)"};
    const auto& r = reserved.run(InspectedCodec::Vc1Video, header.bytes());
    EXPECT_EQ(Lines(r.end() - 3, r.end()), reservedLines);
    EXPECT_DOUBLE_EQ(reserved.result.frameRate.value_or(0), 3.0);
}

TEST(Vc1Inspector, FrameRateExponentAndExplicitAspectRatio) {
    SequenceHeader header;
    header.framerateind = 1;
    header.framerateexp = 767; // (767 + 1) / 32 = 24
    header.aspectRatio = 15;
    header.aspectHoriz = 64;
    header.aspectVert = 45;
    InspectorRun run;
    const Lines expected = {"   Size = [bl]1920[/bl]x[bl]1080[/bl]",
                            "   Display size = [bl]1920[/bl]x[bl]1080[/bl]",
                            "   Aspect ratio = 64:45", "   Frame Rate = [bl]24[/bl]"};
    EXPECT_EQ(tail(run.run(InspectedCodec::Vc1Video, header.bytes())), expected);
    EXPECT_DOUBLE_EQ(run.result.frameRate.value_or(0), 24.0);

    header.framerateexp = 0; // 1/32 fps
    InspectorRun slow;
    slow.run(InspectedCodec::Vc1Video, header.bytes(), 0, SIZE_MAX, 0, 0, LocaleSettings{',', ':'});
    EXPECT_EQ(slow.out.lines.back(), "   Frame Rate = [bl]0,03125[/bl]");
}

TEST(Vc1Inspector, OptionalPartsAndReservedCodes) {
    SequenceHeader header;
    header.displayExt = 0;
    header.psf = 1;
    header.profile = 2;
    header.level = 5;
    header.colordiffFormat = 2;
    header.maxCodedWidth = 359;  // 720
    header.maxCodedHeight = 239; // 480
    InspectorRun run;
    const Lines expected = {"   Profile = Reserved", "   Level = Reserved",
                            "   Chroma Format = Reserved", "   Size = [bl]720[/bl]x[bl]480[/bl]",
                            "  Progressive segmented frames."};
    EXPECT_EQ(run.run(InspectedCodec::Vc1Video, header.bytes()), expected);
    EXPECT_FALSE(run.result.frameRate);

    for (unsigned level : {6u, 7u}) {
        header.level = level;
        InspectorRun reserved;
        EXPECT_EQ(reserved.run(InspectedCodec::Vc1Video, header.bytes()).at(1),
                  "   Level = Reserved");
    }
    header.level = 4;
    InspectorRun four;
    EXPECT_EQ(four.run(InspectedCodec::Vc1Video, header.bytes()).at(1), "   Level = 4");

    // No aspect ratio and no frame rate: none returned.
    SequenceHeader bare;
    bare.aspectRatioFlag = 0;
    bare.framerateFlag = 0;
    InspectorRun plain;
    const Lines plainTail = {"   Size = [bl]1920[/bl]x[bl]1080[/bl]",
                             "   Display size = [bl]1920[/bl]x[bl]1080[/bl]"};
    EXPECT_EQ(tail(plain.run(InspectedCodec::Vc1Video, bare.bytes())), plainTail);
    EXPECT_FALSE(plain.result.frameRate);
}

TEST(Vc1Inspector, AspectRatioNames) {
    EXPECT_EQ(AspectRatioNames[0], "unspecified");
    EXPECT_EQ(AspectRatioNames[10], "[bl]18:11[/bl] (48$576 4:3)");
    EXPECT_EQ(AspectRatioNames[15], "[bl]3:2[/bl]\"");
    SequenceHeader header;
    header.aspectRatio = 13;
    InspectorRun run;
    EXPECT_EQ(run.run(InspectedCodec::Vc1Video, header.bytes()).at(5),
              "   Aspect ratio = [bl]160:99[/bl] (528x480 16:9)");
}

TEST(Vc1Inspector, ReadsTheHeaderWithoutEmulationPreventionBytes) {
    // Display size 1x1 codes 28 zero bits; an encoder escapes them, and the rate behind them
    // must still read 30000/1001.
    SequenceHeader header;
    header.dispHorizSize = 0;
    header.dispVertSize = 0;
    header.aspectRatioFlag = 0;
    header.frameratenr = 3;
    const auto bytes = header.bytes();
    const uint8_t escaped[] = {0x00, 0x00, 0x03};
    ASSERT_NE(std::search(bytes.begin() + 4, bytes.end(), std::begin(escaped), std::end(escaped)),
              bytes.end());
    InspectorRun run;
    const Lines expected = {"   Size = [bl]1920[/bl]x[bl]1080[/bl]",
                            "   Display size = [bl]1[/bl]x[bl]1[/bl]",
                            "   Frame Rate = [bl]29.97[/bl] (30000/1001)"};
    EXPECT_EQ(tail(run.run(InspectedCodec::Vc1Video, bytes)), expected);
}

TEST(Vc1Inspector, MissingOrCutHeaders) {
    const auto header = SequenceHeader{}.bytes();
    {
        // No start code in the payload: nothing is reported, no rate returned.
        InspectorRun run;
        const std::vector<uint8_t> noise = {0x00, 0x00, 0x01, 0x0E, 0x00, 0x00, 0x01, 0x0D, 0xFF};
        EXPECT_TRUE(run.run(InspectedCodec::Vc1Video, noise).empty());
        EXPECT_TRUE(run.run(InspectedCodec::Vc1Video, {0x00, 0x00, 0x01}).empty());
        EXPECT_TRUE(run.run(InspectedCodec::Vc1Video, {}, 0, 0).empty());
        // The start code lies beyond the payload's end.
        EXPECT_TRUE(run.run(InspectedCodec::Vc1Video, concat({0xAA}, header), 0, 4).empty());
        EXPECT_FALSE(run.result.frameRate);
    }
    {
        // The start code ends the payload: the fields are read on from the block.
        InspectorRun run;
        const auto& lines = run.run(InspectedCodec::Vc1Video, concat({0xAA}, header), 0, 5);
        EXPECT_EQ(lines.back(), "   Frame Rate = [bl]23.976[/bl] (24000/1001)");
    }
    {
        // The block ends inside the header: the missing bits read as zero.
        InspectorRun run;
        const std::vector<uint8_t> cut(header.begin(), header.begin() + 8);
        const Lines expected = {"   Profile = Advanced", "   Level = 3",
                                "   Chroma Format = [bl]4:2:0[/bl]",
                                "   Size = [bl]1920[/bl]x[bl]1026[/bl]"};
        EXPECT_EQ(run.run(InspectedCodec::Vc1Video, cut), expected);
    }
}

} // namespace
} // namespace tessary::test
