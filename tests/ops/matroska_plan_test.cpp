#include <gtest/gtest.h>

#include <cmath>

#include "ops/MatroskaPlan.h"

namespace tessary {
namespace {

TEST(MatroskaPlan, DelaysAreTakenTheShortWayAcrossTheWrapAndRounded) {
    struct Row {
        uint32_t pts, reference;
        int64_t ms;
    } rows[] = {
        {0x15F90, 0x15F90, 0},
        {0x15F90 + 45000, 0x15F90, 500}, // subpicture half a second later
        {0x15F90, 0x15F90 + 9000, -100}, // audio before the video
        {0x00000100, 0xFFFFF000, 48},    // 4352 ticks after, across the wrap
        {0xFFFFF000, 0x00000100, -48},   // and before
        {1000 + 44, 1000, 0},            // 0.49 ms
        {1000 + 45, 1000, 1},            // 0.5 ms rounds away from zero
    };
    for (const Row& row : rows)
        EXPECT_EQ(delayMs(row.pts, row.reference), row.ms) << std::hex << row.pts;
}

TEST(MatroskaPlan, DefaultDurationsAndLanguagesAsTheMuxerTakesThem) {
    const std::pair<double, const char*> rates[] = {{24000 / 1001.0, "24000/1001p"},
                                                    {23.976, "24000/1001p"},
                                                    {30000 / 1001.0, "30000/1001p"},
                                                    {60000 / 1001.0, "60000/1001p"},
                                                    {25, "25p"},
                                                    {50, "50p"},
                                                    {0, ""},
                                                    {std::nan(""), ""},
                                                    {-24, ""}};
    for (const auto& [rate, text] : rates)
        EXPECT_EQ(defaultDurationOf(rate), text) << rate;

    const std::pair<const char*, const char*> languages[] = {
        {"en", "en"},  {"FR", "fr"},   {"ja", "ja"},  {"", "und"},
        {"zz", "und"}, {"eng", "und"}, {"e1", "und"}, {"e", "und"}};
    for (const auto& [code, language] : languages)
        EXPECT_EQ(muxLanguage(code), language) << code;
}

// A source with H.264 and VC-1 video, AC-3 and LPCM audio and a subpicture stream.
RunState reportedSource() {
    RunState state;
    state.streamTable[videoSlot(0)] = 0xE2;
    state.streamTable[videoSlot(1)] = 0x56;
    state.streamTable[audioSlot(0)] = 0x80;
    state.streamTable[audioSlot(4)] = 0xA4;
    state.streamTable[subpictureSlot(0)] = 0x20;
    state.frameRates = {24000 / 1001.0, 24000 / 1001.0};
    state.firstPts[videoSlot(0)] = 90000;
    state.firstPts[videoSlot(1)] = 90000;
    state.firstPts[audioSlot(0)] = 90000 - 2700; // 30 ms before the video
    state.firstPts[subpictureSlot(0)] = 135000;
    state.firstVideoPtm = 12345; // the video stream's own first PTS is the reference
    return state;
}

std::vector<DemuxedStream> demuxedFiles() {
    return {{videoSlot(0), "/w/F.H.264.stream.0.mpv", "H.264 stream 0"},
            {videoSlot(1), "/w/F.VC-1.stream.1.mpv", "VC-1 stream 1"},
            {audioSlot(0), "/w/F.DD.stream.00.mpa", "DD stream 00"},
            {audioSlot(4), "/w/F.LPCM.stream.04.wav", "LPCM \"commentary\"\\1"},
            {subpictureSlot(0), "/w/F.Subpicture.00.sup", "Subpicture 00"}};
}

TEST(MatroskaPlan, WithoutAPlaylistTracksKeepTheirCaptionsAndNoLanguage) {
    const MuxPlan plan =
        planMatroska(reportedSource(), demuxedFiles(), nullptr, "/o/F.mkv", "/w/F.chapters");
    EXPECT_EQ(plan.subpictureFiles, std::vector<std::string>{"/w/F.Subpicture.00.sup"});
    EXPECT_TRUE(plan.chaptersPath.empty());
    const std::vector<std::string> expected = {"--output",
                                               "/o/F.mkv",
                                               "--language",
                                               "0:und",
                                               "--track-name",
                                               "0:H.264 stream 0",
                                               "--sync",
                                               "0:0",
                                               "--default-duration",
                                               "0:24000/1001p",
                                               "/w/F.H.264.stream.0.mpv",
                                               "--language",
                                               "0:und",
                                               "--track-name",
                                               "0:VC-1 stream 1",
                                               "--sync",
                                               "0:0",
                                               "--default-duration",
                                               "0:24000/1001p",
                                               "/w/F.VC-1.stream.1.mpv",
                                               "--language",
                                               "0:und",
                                               "--track-name",
                                               "0:DD stream 00",
                                               "--sync",
                                               "0:-30",
                                               "/w/F.DD.stream.00.mpa",
                                               "--language",
                                               "0:und",
                                               "--track-name",
                                               "0:LPCM \"commentary\"\\1",
                                               "--sync",
                                               "0:0",
                                               "/w/F.LPCM.stream.04.wav"};
    EXPECT_EQ(mkvmergeArguments(plan), expected); // an LPCM stream never timed has no delay
}

TEST(MatroskaPlan, TheOptionsFileIsJsonWhateverTheBytes) {
    // Quotes and backslashes escaped, control characters as \u escapes, UTF-8 as it is, and
    // every ill-formed part of what is not UTF-8 (a playlist's description "\xFF\xFE", a
    // sequence cut short, an overlong form, a surrogate, past U+10FFFF) one U+FFFD.
    struct Row {
        std::string argument;
        std::string json;
    };
    const Row rows[] = {
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"x\ty\n\x01\x7F", "\"x\\u0009y\\u000a\\u0001\x7F\""},
        {"\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC", "\"\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC\""},
        {"0:\xFF\xFE", "\"0:\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xE2\x82 \xC3", "\"\xEF\xBF\xBD \xEF\xBF\xBD\""},
        {"\xC0\xAF\xE0\x80\xAF",
         "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xED\xA0\x80|\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
                                          "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(jsonStringArray({"--track-name", row.argument}),
                  "[\n  \"--track-name\",\n  " + row.json + "\n]\n")
            << row.argument;
}

TEST(MatroskaPlan, APlaylistNamesTheTracksAndGivesLanguagesAndChapters) {
    PlaylistRead playlist;
    playlist.titleFound = true;
    playlist.streams = {{StreamKind::Video, 0, "AVC.s0", "", ""},
                        {StreamKind::Video, 1, "VC-1.s1", "Alternate", ""},
                        {StreamKind::Audio, 0, "AC-3.6ch.s00.English", "English", "en"},
                        {StreamKind::Audio, 4, "LPCM.2ch.s04.Commentary", "Commentary", "xx"}};
    playlist.chapters = {{0, "00:00:00.000", "Start"}};
    const MuxPlan plan =
        planMatroska(reportedSource(), demuxedFiles(), &playlist, "/o/F.mkv", "/w/F.chapters");
    ASSERT_EQ(plan.tracks.size(), 4u);
    const std::pair<std::string, std::string> namesAndLanguages[] = {
        {"H.264 stream 0", "und"}, // no description: the caption
        {"Alternate", "und"},
        {"English", "en"},
        {"Commentary", "und"}, // a code the muxer would refuse
    };
    for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
        EXPECT_EQ(plan.tracks[i].name, namesAndLanguages[i].first);
        EXPECT_EQ(plan.tracks[i].language, namesAndLanguages[i].second);
    }
    EXPECT_EQ(plan.chapters, playlist.chapters);
    const std::vector<std::string> arguments = mkvmergeArguments(plan);
    const std::vector<std::string> tail(arguments.end() - 4, arguments.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"--chapter-charset", "UTF-8", "--chapters",
                                              "/w/F.chapters"}));
}

} // namespace
} // namespace tessary
