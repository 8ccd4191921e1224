#include <gtest/gtest.h>

#include "ops/StreamNames.h"

namespace tessary {
namespace {

TEST(StreamNames, BoundariesAndGaps) {
    EXPECT_EQ(VideoStreamName(-1), "No video stream");
    EXPECT_EQ(VideoStreamName(0x56), "VC-1.stream");
    EXPECT_EQ(VideoStreamName(0x57), "");
    EXPECT_EQ(VideoStreamName(0xE3), "H.264.stream");
    EXPECT_EQ(AudioStreamName(-1), "No audio stream");
    EXPECT_EQ(AudioStreamName(0x8F), "DTSHD.stream");
    EXPECT_EQ(AudioStreamName(0x90), "");
    EXPECT_EQ(AudioStreamName(0xA1), "LPCM.stream");
    EXPECT_EQ(AudioStreamName(0xA8), "");
    EXPECT_EQ(AudioStreamName(0xCF), "DD+.stream");
    EXPECT_EQ(AudioStreamName(-2), ""); // compared unsigned
    EXPECT_EQ(SubpictureStreamName(-1), "No subpicture stream");
    EXPECT_EQ(SubpictureStreamName(0x3F), "Subpicture");
    EXPECT_EQ(SubpictureStreamName(0x40), "");
    EXPECT_EQ(SubpictureStreamName(0x60), "Ext.Subpicture");
}

TEST(StreamNames, Captions) {
    EXPECT_EQ(streamCaption(1, 0x55), "VC-1.stream.0");
    EXPECT_EQ(streamCaption(2, 0xE1), "MPEG-2.stream.1");
    EXPECT_EQ(streamCaption(17, 0xC0), "DD+.stream.00");
    EXPECT_EQ(streamCaption(32, 0x8F), "DTSHD.stream.15");
    EXPECT_EQ(streamCaption(40, 0x27), "Subpicture.07");
    EXPECT_EQ(streamCaption(64, 0x7F), "Ext.Subpicture.31");
    for (int slot : {0, 3, 16, 65})
        EXPECT_EQ(streamCaption(slot, 0x55), "") << slot;
}

} // namespace
} // namespace tessary
