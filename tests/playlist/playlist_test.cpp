// The playlist reader: the tag lines it cuts, the attribute search, chapter times, and whole
// reads through the window model with their log, tree, boxes and chapters file, and what a read
// keeps of a playlist made to exhaust it.
#include <gtest/gtest.h>

#include <functional>

#include "DemoDisc.h"
#include "DemuxData.h"
#include "Fakes.h"
#include "MemoryOutputs.h"
#include "TempDir.h"
#include "jobs/PlaylistJobs.h"
#include "playlist/DiscTitles.h"
#include "playlist/PlaylistReader.h"
#include "playlist/TagScanner.h"
#include "playlist/XplText.h"
#include "shell/Main.h"

using namespace tessary;
using namespace tessary::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> tagLines(std::string_view text, std::size_t chunk = 7) {
    std::vector<std::string> lines;
    TagScanner scanner([&lines](std::size_t indent, std::string_view text) {
        lines.push_back(TagScanner::lineText(indent, text));
    });
    for (std::size_t at = 0; at < text.size(); at += chunk)
        scanner.scan(reinterpret_cast<const uint8_t*>(text.data()) + at,
                     std::min(chunk, text.size() - at));
    return lines;
}

std::vector<std::string> plain(const MessageLog& log) {
    std::vector<std::string> lines;
    for (const auto& line : log.lines())
        lines.push_back(line.plainText());
    return lines;
}

// A playlist with one title that plays MOVIE, in the demo disc's shape.
std::string moviePlaylist(const std::string& streams, const std::string& chapters,
                          const std::string& timeBase = "60fps") {
    return "<?xml version=\"1.0\"?>\n<Playlist displayName=\"Disc\">\n<MediaAttributeList>\n"
           "<VideoAttributeItem index=\"1\" codec=\"VC-1\"/>\n"
           "<AudioAttributeItem index=\"1\" codec=\"AC-3\" channels=\"6\"/>\n"
           "<SubpictureAttributeItem index=\"1\" codec=\"2bitRLE\"/>\n</MediaAttributeList>\n"
           "<TitleSet timeBase=\"" +
           timeBase +
           "\" tickBase=\"24fps\">\n<Title displayName=\"Movie\" titleDuration=\"01:00:00:00\">\n"
           "<PrimaryAudioVideoClip src=\"file:///dvddisc/HVDVD_TS/MOVIE.MAP\">\n" +
           streams + "</PrimaryAudioVideoClip>\n<ChapterList>\n" + chapters +
           "</ChapterList>\n</Title>\n</TitleSet>\n</Playlist>\n";
}

struct Session {
    TempDir dir;
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};

    void readXpl(const std::string& playlist, const std::string& source = "MOVIE.EVO") {
        main.eEVOfile.setText(dir.writeFile(source, Bytes{}).string());
        main.EVOadj();
        main.eXPLfile.setText(dir.writeFile("VPLST000.XPL", playlist).string());
        main.XPLadj();
        main.reMessage.clear();
        main.bReadXPLClick();
    }
};

} // namespace

TEST(TagScanner, IndentsTagsByTheirNesting) {
    const std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n"
                             "<!-- a comment -->\r\n"
                             "<A x=\"1\">\r\n\ttext between tags\r\n"
                             "\t<B\r\n\t\tsplit=\"yes\"/>\r\n"
                             "\t<C>\n<!-- <D>\n</D> -->\n\t</C>\n"
                             "</A>\n";
    const std::vector<std::string> expected = {
        "<?xml version=\"1.0\"?>",
        "<!-- a comment -->",
        "<A x=\"1\">",
        "  <B split=\"yes\"/>",
        "  <C>",
        "    <!-- <D>",
        "      </D>",
        "      ", // what follows a tag inside a comment is text: only the ">" makes the line
        "  </C>",
        "</A>",
    };
    // Whatever the blocks: runs of plain bytes are taken whole, "</", "/>" and "-->" may
    // straddle two blocks.
    for (std::size_t chunk = 1; chunk <= text.size(); ++chunk)
        EXPECT_EQ(tagLines(text, chunk), expected) << "blocks of " << chunk;
    // An overlong tag is cut at the bound; the next line starts afresh.
    for (std::size_t chunk : {7u, 4099u, 200000u}) {
        const auto long_ = tagLines("<X " + std::string(100000, 'a') + "/><Y/>", chunk);
        ASSERT_EQ(long_.size(), 2u);
        EXPECT_EQ(long_[0].size(), TagScanner::kMaxLine);
        EXPECT_EQ(long_[1], "<Y/>");
    }
}

TEST(XplText, AttributesNumbersAndChapterTimes) {
    const std::string line =
        R"(<Audio track="2" streamNumber="3" description="track "x"" codec=x>)";
    EXPECT_EQ(GetAttr(line, "STREAMNUMBER"), "3");
    EXPECT_EQ(GetAttr(line, "number"), "3"); // the first occurrence, inside a longer name
    EXPECT_EQ(GetAttr(line, "track"), "2");
    EXPECT_EQ(GetAttr(line, "description"), "track ");
    EXPECT_EQ(GetAttr(line, "codec"), ""); // no quotes
    EXPECT_EQ(GetAttr(line, "langcode"), std::nullopt);
    EXPECT_EQ(GetAttrInt(line, "streamNumber"), 3);
    EXPECT_EQ(GetAttrInt(line, "description"), 0);
    EXPECT_EQ(ZeroPad(7, 3), "007");
    EXPECT_EQ(ZeroPad(1234, 3), "1234");

    struct Row {
        const char* begin;
        const char* timeBase;
        Chapter start;
    };
    for (const Row& row :
         {Row{"00:10:00:30", "60fps", {600500, "00:10:00.500", ""}},
          Row{"00:00:01:59", "60fps", {1983, "00:00:01.983", ""}},
          Row{"00:10:00:30", "50fps", {600600, "00:10:00.600", ""}},
          Row{"01:02:03:23", "24fps", {3723958, "01:02:03.958", ""}},
          Row{"00:10:00:30", "50 fps", {600500, "00:10:00.500", ""}},
          Row{"00:10:00:30", "", {600500, "00:10:00.500", ""}},
          Row{"00:00:01:000000000000000000000009", "", {1150, "00:00:01.150", ""}}})
        EXPECT_EQ(chapterStart(row.begin, frameRateOf(row.timeBase)), row.start) << row.begin;
    try {
        integerOrThrow("x9");
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'x9' is not a valid integer value");
    }
}

TEST(ReadXpl, TheDemoDiscsTitleGivesItsStreamsTreeAndChapters) {
    auto demo = readDemoDisc(); // continues onto FEATURE_2: the chapters file is named after both
    TfMain& main = demo->main;
    const auto rebuildAfterRead = [&main](const fs::path& folder) {
        main.eWorkdir.setText(folder.string());
        main.bRebuildClick();
        return readFile(main.lastRebuildPath());
    };
    TempDir dir;
    fs::create_directory(dir.file("read"));
    const Bytes rebuiltByRead = rebuildAfterRead(dir.file("read"));

    main.reMessage.clear();
    main.bReadXPLClick();
    EXPECT_TRUE(demo->ui.errors.empty());
    EXPECT_EQ(
        plain(main.reMessage),
        (std::vector<std::string>{
            "Open VPLST000.XPL", "Filesize: 5266 bytes", "AVC.s0 found!", "VC-1.s1 found!",
            "AC-3.6ch.s00.English found!", "DD+.6ch.s01.French found!", "DTS.6ch.s02.German found!",
            "MLP.2ch.s03.Japanese found!", "LPCM.2ch.s04.Commentary found!",
            "2bitRLE.s00.English found!", "2bitRLE.s01.French found!", "Done.", ""}));
    const auto& tree = main.tvXPL.nodes();
    ASSERT_EQ(tree.size(), 5u);
    EXPECT_EQ(tree[0], (TreeNode{"Info",
                                 {{"Title: Tessary Demo Disc", {}},
                                  {"Name: Main Feature", {}},
                                  {"Duration: 00:00:11:30", {}},
                                  {"TimeBase: 60fps", {}},
                                  {"TickBase: 24fps", {}}}}));
    EXPECT_EQ(tree[4].children.size(), 12u);
    EXPECT_EQ(tree[4].children[9].text, "Chapter 10: 00:00:09:00");
    EXPECT_EQ(main.mXPL.lines().front().substr(0, 15), "    <Title id=\"");
    EXPECT_EQ(main.mXPL.lines().back(), "    </Title>");
    EXPECT_TRUE(main.mXPL.visible());
    EXPECT_EQ(main.cbAudio[2].caption(), "DTS.6ch.s02.German");
    EXPECT_EQ(main.cbAudio[2].hint(), "DTS.6ch.s02.German");
    EXPECT_EQ(main.cbVideo[0].caption(), "AVC.s0");
    // The second video track, which the Read found, keeps its box and takes its caption.
    EXPECT_TRUE(main.cbVideo[1].checked());
    EXPECT_EQ(main.cbVideo[1].caption(), "VC-1.s1");
    EXPECT_TRUE(main.bWriteChaps.enabled());
    EXPECT_EQ(main.activePage(), Page::Xpl);

    // The chapters file: every line with CR LF, beside the output of the continued Read.
    main.eWorkdir.setText(dir.path().string());
    main.bWriteChapsClick();
    std::string expected = "Preset=!OGG\r\nFormat=\r\n";
    const char* times[] = {"00:00:00.000", "00:00:01.000", "00:00:02.000", "00:00:02.500",
                           "00:00:03.500", "00:00:04.500", "00:00:06.000", "00:00:07.000",
                           "00:00:08.000", "00:00:09.000", "00:00:10.000", "00:00:11.000"};
    for (int i = 0; i < 12; ++i) {
        const std::string number = ZeroPad(i + 1, 2);
        expected += "CHAPTER" + number + "=" + times[i] + "\r\nCHAPTER" + number + "NAME=Chapter " +
                    std::to_string(i + 1) + "\r\n";
    }
    expected += "Header=\r\nFooter=\r\n";
    const Bytes written = readFile(dir.file("FEATURE_1_FEATURE_2.chapters.txt"));
    EXPECT_EQ(std::string(written.begin(), written.end()), expected);

    // The stream codes of the Read stay: a Rebuild after Read XPL writes what it wrote before.
    fs::create_directory(dir.file("xpl"));
    EXPECT_TRUE(rebuildAfterRead(dir.file("xpl")) == rebuiltByRead);
}

TEST(ReadXpl, StreamsChaptersAndFailuresOfSmallPlaylists) {
    // Chapters numbered 09, 10 and 100; names with multi-byte characters; a chapter without a
    // name; duplicate and out-of-range stream tags; a stream without attributes.
    std::string chapters;
    for (int i = 1; i <= 100; ++i)
        chapters += "<Chapter titleTimeBegin=\"00:00:" + ZeroPad(i % 60, 2) + ":30\"" +
                    (i == 2 ? std::string()
                            : " displayName=\"Kapitel \xC3\xBC" + std::to_string(i) + "\"") +
                    "/>\n";
    const std::string streams =
        "<Audio streamNumber=\"1\" mediaAttr=\"1\" description=\"../x/y\"/>\n"
        "<Audio streamNumber=\"1\" mediaAttr=\"1\" description=\"again\"/>\n"
        "<Audio streamNumber=\"17\" mediaAttr=\"1\" description=\"none\"/>\n"
        "<Subtitle streamNumber=\"2\"/>\n";
    Session s;
    const std::string playlist = moviePlaylist(streams, chapters, "50fps");
    s.readXpl(playlist);
    EXPECT_TRUE(s.ui.errors.empty());
    EXPECT_EQ(plain(s.main.reMessage),
              (std::vector<std::string>{
                  "Open VPLST000.XPL", "Filesize: " + std::to_string(playlist.size()) + " bytes",
                  "AC-3.6ch.s00.../x/y found!", ".s01. found!", "Done.", ""}));
    const auto& list = s.main.mChapter.lines();
    ASSERT_EQ(list.size(), 204u);
    EXPECT_EQ(list[2], "CHAPTER01=00:00:01.600");
    EXPECT_EQ(list[3], "CHAPTER01NAME=Kapitel \xC3\xBC"
                       "1");
    EXPECT_EQ(list[5], "CHAPTER02NAME=");
    EXPECT_EQ(list[18], "CHAPTER09=00:00:09.600");
    EXPECT_EQ(list[20], "CHAPTER10=00:00:10.600");
    EXPECT_EQ(list[200], "CHAPTER100=00:00:40.600");
    EXPECT_TRUE(s.main.cbSub[1].checked());

    // The playlist's description is a box caption and so part of a file name: made safe.
    MemoryOutputs files;
    s.main.setOutputFiles(&files);
    s.main.eWorkdir.setText("/out");
    s.main.cbSub[1].setChecked(false);
    s.main.bDemuxClick();
    EXPECT_EQ(files.order, std::vector<std::string>{"/out/MOVIE.AC-3.6ch.s00..._x_y.mpa"});

    // No title plays the source: every tag line stays, nothing is declared, the boxes stay as
    // they were, and the log and a message say why.
    s.readXpl(moviePlaylist(streams, chapters), "OTHER.EVO");
    EXPECT_EQ(s.main.mXPL.lines().size(), 120u);
    EXPECT_EQ(s.main.mChapter.lines(),
              (std::vector<std::string>{"Preset=!OGG", "Format=", "Header=", "Footer="}));
    EXPECT_TRUE(s.main.cbAudio[0].enabled());
    EXPECT_EQ(plain(s.main.reMessage).back(), "Warning: no title of VPLST000.XPL plays OTHER.EVO");
    EXPECT_EQ(s.ui.warnings.back(), "No title of VPLST000.XPL plays OTHER.EVO");

    // An attribute index that does not convert ends the read; the window stays usable.
    s.readXpl(moviePlaylist("<AudioAttributeItem index=\"3x\"/>\n",
                            "<Chapter titleTimeBegin=\"00:00:01:30\"/>\n"));
    EXPECT_EQ(s.ui.errors.back(), "'3x' is not a valid integer value");
    EXPECT_TRUE(s.main.mXPL.visible());
    EXPECT_FALSE(s.main.mXPL.lines().empty());
    EXPECT_TRUE(s.main.bReadXPL.enabled());
    EXPECT_TRUE(s.main.bbEVO.enabled());
    EXPECT_FALSE(s.main.bWriteChaps.enabled()); // no whole chapter list to write
    EXPECT_NE(plain(s.main.reMessage).back(), "");
}

TEST(ReadXpl, ThePlaylistInMemoryReadsAsTheFile) {
    const std::string path = TESSARY_SOURCE_DIR "/samples/ADV_OBJ/VPLST000.XPL";
    MediaAttributes fromFile, fromBytes;
    RecordingReporter fileOut, bytesOut;
    PlaylistRead byFile, byBytes;
    readPlaylist(path, "VPLST000.XPL", "FEATURE_1", fromFile, fileOut, byFile);
    const Bytes bytes = readFile(path);
    readPlaylistBytes(bytes, "FEATURE_1", fromBytes, bytesOut, byBytes);

    ASSERT_TRUE(byFile.titleFound);
    EXPECT_EQ(byBytes.tagLines, byFile.tagLines);
    EXPECT_EQ(byBytes.tree, byFile.tree);
    EXPECT_EQ(byBytes.streams, byFile.streams);
    EXPECT_EQ(byBytes.chapters, byFile.chapters);
    EXPECT_EQ(fromBytes.audio, fromFile.audio);
    // The file's read alone logs the file and shows its progress; the streams are logged by both.
    ASSERT_EQ(fileOut.lines.size(), bytesOut.lines.size() + 2);
    EXPECT_EQ(fileOut.lines[1], "Filesize: 5266 bytes");
    EXPECT_TRUE(
        std::equal(bytesOut.lines.begin(), bytesOut.lines.end(), fileOut.lines.begin() + 2));
    EXPECT_TRUE(bytesOut.panels.empty());
    EXPECT_EQ(fileOut.panels.back(), (std::pair<int, std::string>{1, "5266/5266 bytes"}));
}

// Each title listed is what a read of the title by its number gives (a title without a
// number has its place among the titles).
TEST(ReadXpl, EveryTitleListedIsTheTitleReadByItsNumber) {
    const Bytes bytes =
        readFile(TESSARY_SOURCE_DIR "/tests/fixtures/titles-disc/ADV_OBJ/VPLST000.XPL");
    const std::vector<PlaylistRead> titles = readPlaylistTitlesBytes(bytes);
    std::vector<int> numbers;
    for (const PlaylistRead& listed : titles) {
        numbers.push_back(listed.title.number);
        MediaAttributes attributes;
        SilentReporter silent;
        PlaylistRead read;
        readPlaylistBytes(bytes, "FEATURE_1", attributes, silent, read, listed.title.number);
        EXPECT_TRUE(read.titleFound);
        EXPECT_EQ(read.title, listed.title);
        EXPECT_EQ(read.streams, listed.streams);
        EXPECT_EQ(read.chapters, listed.chapters);
    }
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));

    // A list of every title keeps kMaxListedChapters chapters in all and counts the others.
    std::string many = "<TitleSet timeBase=\"60fps\">\n";
    for (int title = 0; title < 11; ++title) {
        many += "<Title titleDuration=\"00:00:10:00\">\n";
        for (std::size_t chapter = 0; chapter < kMaxChapters; ++chapter)
            many += "<Chapter titleTimeBegin=\"00:00:01:00\"/>\n";
        many += "</Title>\n";
    }
    std::size_t kept = 0;
    for (const PlaylistRead& listed : readPlaylistTitlesBytes(Bytes(many.begin(), many.end()))) {
        kept += listed.chapters.size();
        EXPECT_EQ(listed.chapters.size() + listed.title.chaptersDropped, kMaxChapters);
        EXPECT_TRUE(listed.tree.empty());
    }
    EXPECT_EQ(kept, kMaxListedChapters);
}

TEST(ReadPlaylist, WhatItKeepsIsBoundedAndBadChapterTimesAreLeftOut) {
    const auto repeated = [](std::size_t count,
                             const std::function<std::string(std::size_t)>& unit) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i)
            text += unit(i);
        return text;
    };
    const auto chapterAt = [](const std::string& begin, const std::string& name) {
        return "<Chapter titleTimeBegin=\"" + begin + "\" displayName=\"" + name + "\"/>\n";
    };
    const auto badTime = [](int number, const std::string& begin) {
        return "chapter " + std::to_string(number) + " \"C" + std::to_string(number) +
               "\" left out: its start \"" + begin + "\" is no time at 60 frames a second";
    };
    const std::string badTimes[] = {"00:00:00:99", "00:00:00:-1",         "ab:cd:ef:12",
                                    "99:99:99:99", "00:00:00:2147483647", "00:60:00:00",
                                    "0:00:00:00",  "00:00:01:30 "};
    const std::string noTitle = "no title of VPLST000.XPL plays MOVIE.EVO";
    struct Row {
        const char* shape;
        std::string playlist;
        std::size_t tagLines;
        std::vector<std::string> log; // after "Open" and "Filesize"
        std::vector<std::string> warnings;
        std::vector<Chapter> chapters;
        std::size_t treeChapters;
    };
    const Row rows[] = {
        {"many tags",
         repeated(kMaxTagLines + 5000, [](std::size_t) { return "<b/>"; }),
         kMaxTagLines,
         {"5000 tag lines after the first 20000 left out", "Done.", ""},
         {noTitle},
         {},
         0},
        // Their indentation fills the bytes first: 128 lines growing by two blanks, then lines of
        // 256 blanks and "<a>", 8160 in 2 MiB.
        {"a flood of unclosed tags",
         repeated(kMaxTagLines, [](std::size_t) { return "<a>"; }),
         8160,
         {"11840 tag lines after the first 8160 left out", "Done.", ""},
         {noTitle},
         {},
         0},
        {"long tags",
         repeated(40, [](std::size_t) { return "<c " + std::string(70000, 'x') + "/>"; }),
         kMaxTagLineBytes / TagScanner::kMaxLine,
         {"8 tag lines after the first 32 left out", "Done.", ""},
         {noTitle},
         {},
         0},
        {"the source's title never closed, then a flood of tags",
         "<Playlist><TitleSet timeBase=\"60fps\"><Title displayName=\"Movie\">\n"
         "<PrimaryAudioVideoClip src=\"file:///dvddisc/HVDVD_TS/MOVIE.MAP\"/>\n" +
             repeated(kMaxTagLines, [](std::size_t) { return "<b/>"; }),
         kMaxTagLines,
         {"2 tag lines of the title after the first 20000 left out", "Done.", ""},
         {},
         {},
         0},
        {"many chapters",
         moviePlaylist("", repeated(kMaxChapters + 12,
                                    [&](std::size_t) { return chapterAt("00:00:01:30", "C"); })),
         kMaxChapters + 18,
         {"Done.", ""},
         {"the title has more than 999 chapters: 12 after the first 999 left out"},
         std::vector<Chapter>(kMaxChapters, {1500, "00:00:01.500", "C"}),
         kMaxChapters},
        {"bad chapter times",
         moviePlaylist("", repeated(std::size(badTimes) + 1,
                                    [&](std::size_t i) {
                                        return chapterAt(i < std::size(badTimes) ? badTimes[i]
                                                                                 : "00:00:02:45",
                                                         "C" + std::to_string(i + 1));
                                    })),
         std::size(badTimes) + 7,
         {"Done.", ""},
         {badTime(1, badTimes[0]), badTime(2, badTimes[1]), badTime(3, badTimes[2]),
          badTime(4, badTimes[3]), badTime(5, badTimes[4]), badTime(6, badTimes[5]),
          badTime(7, badTimes[6]), badTime(8, badTimes[7])},
         {{2750, "00:00:02.750", "C9"}},
         std::size(badTimes) + 1},
    };
    for (const Row& row : rows) {
        TempDir dir;
        MediaAttributes attributes;
        RecordingReporter out;
        PlaylistResult result;
        readPlaylistTitle({dir.writeFile("VPLST000.XPL", row.playlist).string(), "MOVIE.EVO"},
                          attributes, out, result);
        EXPECT_EQ(result.read.tagLines.size(), row.tagLines) << row.shape;
        EXPECT_EQ(std::vector<std::string>(out.lines.begin() + 2, out.lines.end()), row.log)
            << row.shape;
        EXPECT_EQ(result.warnings, row.warnings) << row.shape;
        EXPECT_EQ(result.read.chapters, row.chapters) << row.shape;
        EXPECT_EQ(result.read.tree.empty() ? 0 : result.read.tree[4].children.size(),
                  row.treeChapters)
            << row.shape;
    }
}
