#pragma once

// A Demux pass over bytes in memory, for the engine tests.

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Fakes.h"
#include "MemoryOutputs.h"
#include "PackWriter.h"
#include "engine/DemuxWriter.h"
#include "engine/LpcmWavWriter.h"
#include "engine/Pass.h"

namespace tessary::test {

// The name of a stream's output: v0, a3, s1...
inline std::string keyOf(StreamRef stream) {
    return std::string(1, kindName(stream.kind)[0]) + std::to_string(stream.number);
}

// Runs a Demux pass over `bytes` with an output for each stream of `selected` (named by
// keyOf), fed in blocks of an odd size so that payloads and headers straddle them. With `wav`
// the audio streams are written as WAV.
inline MemoryOutputs demuxBytes(const Bytes& bytes, uint32_t minFirstPts,
                                std::initializer_list<StreamRef> selected, bool wav = false) {
    MemoryOutputs files;
    std::vector<std::unique_ptr<OutputFile>> open;
    std::vector<std::unique_ptr<LpcmWavWriter>> wavs;
    DemuxOutputs outputs;
    for (StreamRef stream : selected) {
        open.push_back(files.create(keyOf(stream)));
        outputs.bySlot[static_cast<std::size_t>(slotOf(stream))] = open.back().get();
        if (!wav || stream.kind != StreamKind::Audio) continue;
        wavs.push_back(std::make_unique<LpcmWavWriter>(*open.back()));
        outputs.wavByAudio[static_cast<std::size_t>(stream.number)] = wavs.back().get();
    }
    RunState state;
    RecordingReporter out;
    Pass pass(RunMode::Demux, state, SourceType::Evo, out);
    DemuxWriter writer(outputs, minFirstPts, state.streamTable);
    pass.addListener(writer);
    constexpr std::size_t kOddBlock = 4093;
    for (std::size_t at = 0; at < bytes.size(); at += kOddBlock)
        pass.feed(bytes.data() + at, std::min(kOddBlock, bytes.size() - at), at);
    for (auto& writer : wavs)
        writer->finish();
    return files;
}

} // namespace tessary::test
