#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ReportLine.h"
#include "streams/StreamSlots.h"

namespace tessary {

class InputFile;

// 0 = Read pass (find, report, count), 1 = Demux pass (write the selected payloads).
enum class RunMode { Read = 0, Demux = 1 };

inline constexpr std::size_t kBlockSize = 262144;
inline constexpr uint32_t kNoPts = 0xFFFFFFFF;

// A copy-control flag of a general control information: its code and the name the report
// gives it (empty for a reserved code).
struct CopyFlag {
    int code = 0;
    std::string name;
    bool operator==(const CopyFlag&) const = default;
};

// What a Read pass found in the navigation packs of one file: the first data search
// information and the first general control information. What the file lacks is nullopt;
// so is a copy-control flag that the packet marks as not valid.
struct NavigationReport {
    struct Search {
        int vobId = 0;
        int videoStreams = 0, audioStreams = 0, subpictureStreams = 0;
        uint32_t firstPtm = 0, lastPtm = 0;
        double seconds = 0; // from the first to the last video frame
        bool operator==(const Search&) const = default;
    };
    struct Control {
        bool encrypted = false;
        std::optional<CopyFlag> cgms, aps;
        std::optional<bool> ict, dot;
        bool operator==(const Control&) const = default;
    };
    std::string file; // the file's name, set by the Read
    std::optional<Search> search;
    std::optional<Control> control;
    bool operator==(const NavigationReport&) const = default;
};

// A packet of a stream type whose number within its kind was taken by another stream of the
// pass: its code and that of the stream the slot holds (the first met). The slot's output
// takes only the holder's packets.
struct SharedNumber {
    StreamKind kind = StreamKind::Audio;
    int number = 0;
    int32_t holder = kNoStream;
    int32_t code = kNoStream;
    bool operator==(const SharedNumber&) const = default;
};

// The state that the passes, the operations and the window share. One instance lives in the
// window model; tests make as many as they like.
struct RunState {
    // Stream code per slot, or kNoStream.
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
    // What the Read's details reported per slot: the first PTS (kNoPts for a stream it did not
    // describe), the named values of the lines, in their order, and the properties the lines
    // hand over (the first value of each). Of a stream described in both files of a continued
    // Read, the first description is kept. A Demux pass leaves them.
    std::array<uint32_t, kStreamSlotCount> firstPts{};
    std::array<std::vector<ReportField>, kStreamSlotCount> details;
    std::array<std::vector<StreamProperty>, kStreamSlotCount> properties;
    // One entry per file of the last Read, in the order they were read.
    std::vector<NavigationReport> navigation;
    double fileDuration = 0; // days
    double totalSeconds = 0;

    std::string sourceName;
    std::string outputBaseName;

    // Run flags: Cancel, a writing operation runs, the fast-check limit was passed.
    bool cancelFlag = false;
    bool writingPass = false;
    bool muxing = false; // the Matroska muxer runs: Cancel stops it
    bool fastCheckStop = false;
    // The Read met a pack header (00 00 01 BA): the source holds an MPEG program stream.
    bool packHeaderSeen = false;
    // The Read stopped at the fast-check size in one of its files: it may have missed streams.
    bool partialRead = false;
    // Every stream met with a number already taken, once each, in the order met: by the last
    // Read, then by the passes that followed it.
    std::vector<SharedNumber> sharedNumbers;

    RunState() {
        resetStreamTable();
        resetDetails();
    }

    void resetStreamTable() {
        streamTable.fill(kNoStream);
        videoReported.fill(0);
        audioReported.fill(0);
        subpictureReported.fill(0);
    }

    // Called for each packet whose slot holds another code: keeps the first of each.
    void noteSharedNumber(StreamKind kind, int number, int32_t code) {
        const SharedNumber shared{kind, number, streamTable[slotOf({kind, number})], code};
        for (const SharedNumber& known : sharedNumbers)
            if (known == shared) return;
        sharedNumbers.push_back(shared);
    }

    void resetDetails() {
        firstPts.fill(kNoPts);
        for (auto& fields : details)
            fields.clear();
        for (auto& kept : properties)
            kept.clear();
    }
};

} // namespace tessary
