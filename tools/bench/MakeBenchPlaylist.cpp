// tessary-make-bench-playlist: writes a large playlist (VPLST000.XPL) of the demo disc's shape
// for timing the playlist reader: the header, the configuration and the media attribute list
// of samples/ADV_OBJ/VPLST000.XPL, then a title set of many titles. Title t has 2 to 4 clips
// (each a PrimaryAudioVideoClip naming FEATURE_NNNNN.MAP, numbered across the file, with two
// video, five audio and two subtitle streams, its src on a line of its own as on the disc)
// and 24 to 40 chapters. The title the benchmark asks for is the third from the end, so that
// the reader scans nearly the whole file before it finds the source's name and then drops
// everything but that title.
//
// Printed: the file's size, the titles, the source base name to ask for (the first clip of
// that title), and what a read of it must give: the tag lines of the file (one per ">"), the
// tag lines of the title and its chapters.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr int kFrameRate = 60; // the title set's timeBase
constexpr int kTitlesAfterTarget = 2;

const char* const kHead =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<Playlist xmlns="http://www.dvdforum.org/2005/HDDVDVideo/Playlist" majorVersion="1" minorVersion="0"
    displayName="Tessary Benchmark Disc">
  <Configuration>
    <StreamingBuffer size="0"/>
    <Aperture width="1920" height="1080"/>
    <MainVideoDefaultColor color="108080"/>
    <NetworkTimeout timeout="60"/>
  </Configuration>
  <MediaAttributeList>
    <VideoAttributeItem index="1" codec="AVC" sampleAspectRatio="16:9" horizontalResolution="1920" verticalResolution="1080" encodedFrameRate="24" sourceFrameRate="24" scanType="Progressive"/>
    <VideoAttributeItem index="2" codec="VC-1" sampleAspectRatio="16:9" horizontalResolution="1920" verticalResolution="1080" encodedFrameRate="24" sourceFrameRate="24" scanType="Progressive"/>
    <AudioAttributeItem index="1" codec="AC-3" sampleFrequency="48" channels="6" bitrate="448"/>
    <AudioAttributeItem index="2" codec="DD+" sampleFrequency="48" channels="6" bitrate="384"/>
    <AudioAttributeItem index="3" codec="DTS" sampleFrequency="48" channels="6" bitrate="768"/>
    <AudioAttributeItem index="4" codec="MLP" sampleFrequency="48" channels="2"/>
    <AudioAttributeItem index="5" codec="LPCM" sampleFrequency="48" sampleDepth="16" channels="2"/>
    <SubpictureAttributeItem index="1" codec="2bitRLE"/>
  </MediaAttributeList>
  <TitleSet timeBase="60fps" tickBase="24fps" defaultLanguage="en">
    <FirstPlayTitle titleDuration="00:00:00:00"/>
)";

const char* const kTail = R"(  </TitleSet>
</Playlist>
)";

const char* const kStreams =
    R"(          <Video track="1" mediaAttr="1" description="Main"/>
          <Video track="2" mediaAttr="2" description="Alternate"/>
          <Audio track="1" streamNumber="1" mediaAttr="1" langcode="en:00" description="English"/>
          <Audio track="2" streamNumber="2" mediaAttr="2" langcode="fr:00" description="French"/>
          <Audio track="3" streamNumber="3" mediaAttr="3" langcode="de:00" description="German"/>
          <Audio track="4" streamNumber="4" mediaAttr="4" langcode="ja:00" description="Japanese"/>
          <Audio track="5" streamNumber="5" mediaAttr="5" langcode="en:01" description="Commentary"/>
          <Subtitle track="1" streamNumber="1" mediaAttr="1" langcode="en:00" description="English"/>
          <Subtitle track="2" streamNumber="2" mediaAttr="1" langcode="fr:00" description="French"/>
)";

struct Options {
    std::string path;
    unsigned long long sizeMb = 100;
};

// A time of the title set, "hh:mm:ss:ff" at 60 frames a second.
std::string timeText(long long frames) {
    const long long seconds = frames / kFrameRate;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%02lld", seconds / 3600,
                  seconds / 60 % 60, seconds % 60, frames % kFrameRate);
    return text;
}

std::size_t tagCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '>'));
}

int clipsOf(int title) {
    return 2 + title % 3;
}

int chaptersOf(int title) {
    return 24 + title * 7 % 17;
}

// Title `title` (from 1), its clips numbered from `firstClip`.
std::string titleText(int title, int firstClip) {
    const int clips = clipsOf(title);
    const int chapters = chaptersOf(title);
    // Clips of 20 to 29 minutes.
    const long long clipFrames = (20LL + title % 10) * 60 * kFrameRate;
    const long long duration = clipFrames * clips;
    const std::string number = std::to_string(title);
    std::string text = "    <Title id=\"Title" + number + "\" titleNumber=\"" + number +
                       "\" displayName=\"Title " + number + "\" titleDuration=\"" +
                       timeText(duration) + "\" onEnd=\"Title" + std::to_string(title + 1) +
                       "\">\n";
    for (int clip = 0; clip < clips; ++clip) {
        char name[32];
        std::snprintf(name, sizeof name, "FEATURE_%05d", firstClip + clip);
        text += "      <PrimaryAudioVideoClip titleTimeBegin=\"" + timeText(clipFrames * clip) +
                "\" titleTimeEnd=\"" + timeText(clipFrames * (clip + 1)) +
                "\" clipTimeBegin=\"00:00:00:00\" dataSource=\"Disc\"\n"
                "          src=\"file:///dvddisc/HVDVD_TS/" +
                name + ".MAP\">\n";
        text += kStreams;
        text += "      </PrimaryAudioVideoClip>\n";
    }
    text += "      <ChapterList>\n";
    for (int chapter = 0; chapter < chapters; ++chapter)
        text += "        <Chapter titleTimeBegin=\"" + timeText(duration * chapter / chapters) +
                "\" displayName=\"Chapter " + std::to_string(chapter + 1) + "\"/>\n";
    text += "      </ChapterList>\n    </Title>\n";
    return text;
}

void usage(std::FILE* to) {
    std::fprintf(to,
                 "usage: tessary-make-bench-playlist OUTPUT [--size-mb N]\n"
                 "Writes a playlist of about N MB (10^6 bytes, default 100) of whole titles.\n");
}

void write(std::FILE* out, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size())
        throw std::runtime_error(std::string("cannot write: ") + std::strerror(errno));
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size-mb" && i + 1 < argc) {
            options.sizeMb = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        } else if (options.path.empty() && !arg.starts_with("-")) {
            options.path = arg;
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (options.path.empty() || options.sizeMb == 0) {
        usage(stderr);
        return 2;
    }

    // The titles that fill the size, counted first so that the target can stand near the end.
    const uint64_t target = options.sizeMb * 1000000;
    const std::string head = kHead, tail = kTail;
    uint64_t size = head.size() + tail.size();
    int titles = 0;
    for (int clip = 1; size < target || titles < kTitlesAfterTarget + 1; ++titles) {
        size += titleText(titles + 1, clip).size();
        clip += clipsOf(titles + 1);
    }
    const int asked = titles - kTitlesAfterTarget;

    std::FILE* out = std::fopen(options.path.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "cannot create %s: %s\n", options.path.c_str(), std::strerror(errno));
        return 1;
    }
    try {
        uint64_t bytes = 0;
        std::size_t tags = 0, askedTags = 0;
        int askedClip = 0;
        auto put = [&](const std::string& text) {
            write(out, text);
            bytes += text.size();
            tags += tagCount(text);
        };
        put(head);
        for (int title = 1, clip = 1; title <= titles; ++title) {
            const std::string text = titleText(title, clip);
            put(text);
            if (title == asked) {
                askedTags = tagCount(text);
                askedClip = clip;
            }
            clip += clipsOf(title);
        }
        put(tail);
        if (std::fclose(out) != 0) throw std::runtime_error("cannot close the output");
        std::printf("file: %s\n", options.path.c_str());
        std::printf("size: %llu bytes (%.1f MB)\n", static_cast<unsigned long long>(bytes),
                    static_cast<double>(bytes) / 1e6);
        std::printf("titles: %d, title asked for: %d\n", titles, asked);
        std::printf("source base: FEATURE_%05d\n", askedClip);
        std::printf("tag lines: %zu\n", tags);
        std::printf("title tag lines: %zu\n", askedTags);
        std::printf("title chapters: %d\n", chaptersOf(asked));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessary-make-bench-playlist: %s\n", e.what());
        return 1;
    }
    return 0;
}
