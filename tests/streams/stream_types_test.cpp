// The table of stream types: what the lookups of the scanner, the report, the boxes, the JSON
// report and the pack filter take for granted.
#include <gtest/gtest.h>

#include <map>

#include "streams/StreamTypes.h"

namespace tessary {
namespace {

constexpr SourceType kSources[] = {SourceType::Evo, SourceType::Vob, SourceType::Aob};

// In a source a code names at most one type of a kind (the stream table is looked up by kind)
// and of a code space (the scanner looks up by where the code stands), and each number it
// gives has a slot of its kind.
TEST(StreamTypes, ACodeNamesOneTypeOfItsKindAndSpaceWhoseNumberHasASlot) {
    for (const StreamType& type : streamTypes())
        EXPECT_LE(type.first, type.last) << type.logName;
    for (SourceType source : kSources)
        for (uint32_t code = 0; code <= 0xFF; ++code) {
            std::map<StreamKind, int> kinds;
            std::map<CodeSpace, int> spaces;
            for (const StreamType& type : streamTypes()) {
                if (!type.inSource(source) || !type.holds(code)) continue;
                ++kinds[type.kind];
                ++spaces[type.space];
                EXPECT_GE(type.number(code), 0) << type.logName << ' ' << code;
                EXPECT_LT(type.number(code), streamCount(type.kind)) << type.logName << ' ' << code;
            }
            for (const auto& [kind, rows] : kinds)
                EXPECT_EQ(rows, 1) << kindName(kind) << ' ' << code;
            for (const auto& [space, rows] : spaces)
                EXPECT_EQ(rows, 1) << static_cast<int>(space) << ' ' << code;
        }
}

// What is decided by the code alone is the same in every source: whether it names a stream,
// the codec the scanner reads it as, its number and the caption of its box (the boxes and the
// demuxed files are named without the source).
TEST(StreamTypes, WhatTheCodeAloneDecidesIsTheSameInEverySource) {
    for (const StreamType& type : streamTypes())
        for (uint32_t code = type.first; code <= type.last; ++code)
            for (SourceType source : kSources) {
                const StreamType* other = findStreamType(type.space, code, source);
                ASSERT_NE(other, nullptr) << type.logName << ' ' << code;
                EXPECT_EQ(other->kind, type.kind);
                EXPECT_EQ(other->video, type.video);
                EXPECT_EQ(other->audio, type.audio);
                EXPECT_EQ(other->subpicture, type.subpicture);
                EXPECT_EQ(other->number(code), type.number(code));
                EXPECT_EQ(other->caption, type.caption);
            }
}

} // namespace
} // namespace tessary
