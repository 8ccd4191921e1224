#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/StreamSlots.h"

namespace tessary {

class InputFile;

// 0 = Read pass (find, report, count), 1 = Demux pass (write the selected payloads).
enum class RunMode { Read = 0, Demux = 1 };

inline constexpr std::size_t kBlockSize = 262144;
inline constexpr uint32_t kNoPts = 0xFFFFFFFF;

// The state that the passes, the operations and the window share. One instance lives in the
// window model; tests make as many as they like.
struct RunState {
    // Stream code per slot, or kNoStream. The playlist reader writes the mark 1 instead.
    std::array<int32_t, kStreamSlotCount> streamTable{};

    std::array<uint8_t, kVideoStreams> videoReported{};
    std::array<uint8_t, kAudioStreams> audioReported{};
    std::array<uint8_t, kSubpictureStreams> subpictureReported{};

    std::array<uint32_t, kVideoStreams> frameCounts{};
    // Set by the video inspectors; never reset, so a stream not inspected keeps an older rate.
    std::array<double, kVideoStreams> frameRates{};

    uint32_t firstVideoPtm = 0;
    uint32_t lastVideoPtm = 0;
    uint32_t minFirstPts = kNoPts;
    // The first PTS that the Read reported per slot, kNoPts for a stream it did not describe.
    std::array<uint32_t, kStreamSlotCount> firstPts{};
    double fileDuration = 0; // days
    double totalSeconds = 0;

    std::string sourceName;
    std::string outputBaseName;

    // Run flags: Cancel, a writing operation runs, the fast-check limit was passed.
    bool cancelFlag = false;
    bool writingPass = false;
    bool fastCheckStop = false;
    // The Read met a pack header (00 00 01 BA): the source holds an MPEG program stream.
    bool packHeaderSeen = false;

    std::vector<uint8_t> blockBuffer = std::vector<uint8_t>(kBlockSize);

    RunState() { resetStreamTable(); }

    void resetStreamTable() {
        streamTable.fill(kNoStream);
        firstPts.fill(kNoPts);
        videoReported.fill(0);
        audioReported.fill(0);
        subpictureReported.fill(0);
    }
};

} // namespace tessary
