// The rows of the streams table built from a Read's streams, beyond the demo disc: streams
// that start before the first video frame, arrangements that name no speakers, grouped
// fields, a playlist naming only some streams, and the user's separators.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/StreamRows.h"

namespace tessary {
namespace {

TEST(StreamRows, CellsAndDetailsOfStreamsInSlotOrder) {
    FoundStream audio;
    audio.slot = 18;
    audio.key = "a1";
    audio.kind = StreamKind::Audio;
    audio.number = 1;
    audio.codec = "TrueHD";
    audio.caption = "MLP.stream.01";
    audio.firstPtsOffsetMs = 0xFFFFFFD8u; // 40 ms before the first video frame
    audio.fields = {{"Sampling frequency", 96000.0, "Hz", ""},
                    {"channel arrangement", std::string("???1"), "", ""},
                    {"Dynamic range control", std::vector<double>{-10.6371, 8.4282}, "dB", "DRC"},
                    {"Transmission bitrate", 1536000.0, "bit/s", ""}};
    FoundStream video;
    video.slot = 1;
    video.key = "v0";
    video.kind = StreamKind::Video;
    video.number = 0;
    video.codec = "MPEG-2";
    video.streamId = 224;
    video.firstPtsOffsetMs = 0;
    video.frames = 1500;
    video.duration = 62.5625;
    video.fields = {{"Size", std::vector<double>{720, 576}, "", ""},
                    {"Frame rate", 25.0, "frame/s", ""}};
    FoundStream sub;
    sub.slot = 33;
    sub.key = "s0";
    sub.kind = StreamKind::Subpicture;
    sub.number = 0;
    sub.codec = "Subpicture";
    sub.firstPtsOffsetMs = 1250;
    const std::vector<DeclaredStream> declared = {
        {StreamKind::Audio, 1, "MLP.6ch.s01.Director", "Director", "en"}};

    std::vector<std::string> shown;
    for (const StreamRow& row : streamRows({audio, sub, video}, declared, {',', ':'})) {
        std::string line = std::to_string(row.slot);
        for (const StreamCell& cell : row.cells)
            line += " | " + cell.text;
        shown.push_back(line);
        for (const std::string& detail : row.details)
            shown.push_back("  " + detail);
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{
                  "1 | v0 | video | MPEG-2 |  |  | 720x576, 25 fps | 0 | 1500 | 0:01:02.563",
                  "  Key: v0",
                  "  Codec: MPEG-2",
                  "  Stream id: 224",
                  "  Delay: 0 ms",
                  "  Frames: 1500",
                  "  Duration: 0:01:02.563",
                  "  Size: 720 x 576",
                  "  Frame rate: 25 frame/s",
                  "18 | a1 | audio | TrueHD | Director | en | 96 kHz, 1536 kbit/s | -40 |  | ",
                  "  Key: a1",
                  "  Caption: MLP.stream.01",
                  "  Codec: TrueHD",
                  "  Name: Director",
                  "  Language: en",
                  "  Delay: -40 ms",
                  "  Sampling frequency: 96000 Hz",
                  "  channel arrangement: ???1",
                  "  DRC",
                  "    Dynamic range control: -10,6371; 8,4282 dB",
                  "  Transmission bitrate: 1536000 bit/s",
                  "33 | s0 | subpicture | Subpicture |  |  |  | 1250 |  | ",
                  "  Key: s0",
                  "  Codec: Subpicture",
                  "  Delay: 1250 ms",
              }));
}

} // namespace
} // namespace tessary
