#include "ops/DemuxOperation.h"

#include <memory>
#include <optional>
#include <set>

#include "engine/DemuxWriter.h"
#include "engine/FeatureRun.h"
#include "engine/LpcmWavWriter.h"
#include "ops/OutputNames.h"
#include "platform/FileError.h"
#include "platform/InputFile.h"
#include "platform/LogText.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

// Refuses targets that would write over a source file or over another target, before any
// file is created.
void checkTargets(const std::vector<DemuxTarget>& targets, const std::string& source,
                  const std::string& second) {
    std::set<std::string> seen;
    for (const DemuxTarget& target : targets) {
        refuseInputAsOutput(target.path, {source, second}, "It is the file being demuxed");
        if (!seen.insert(target.path).second)
            throw FileError("Cannot create file \"" + target.path +
                            "\". Two streams would be written to it");
    }
}

} // namespace

void DemuxOperation::run(const FeatureFiles& feature, const std::function<bool()>& stillContinue,
                         const std::vector<DemuxTarget>& targets) {
    Reporter& out = context_.out;
    std::vector<std::unique_ptr<OutputFile>> files;
    std::vector<std::unique_ptr<LpcmWavWriter>> wavs;
    DemuxOutputs outputs;
    // Every output is finished and closed, also after an error; the first error is the one
    // raised.
    auto closeAll = [&files, &wavs] {
        std::optional<FileError> first;
        auto keepFirst = [&first](auto step) {
            try {
                step();
            } catch (const FileError& error) {
                if (!first) first = error;
            }
        };
        for (auto& wav : wavs)
            keepFirst([&wav] { wav->finish(); });
        for (auto& file : files)
            keepFirst([&file] { file->close(); });
        if (first) throw *first;
    };
    // The outputs are created once the source is open, before its first pass.
    auto createOutputs = [&] {
        checkTargets(targets, feature.source, feature.second);
        for (const DemuxTarget& target : targets) {
            files.push_back(context_.files.create(target.path));
            outputs.bySlot[static_cast<std::size_t>(target.slot)] = files.back().get();
            outputs.withoutHeaderRest[static_cast<std::size_t>(target.slot)] =
                target.withoutHeaderRest;
            const std::optional<StreamRef> stream = streamOfSlot(target.slot);
            if (target.wav && stream && stream->kind == StreamKind::Audio) {
                wavs.push_back(std::make_unique<LpcmWavWriter>(*files.back()));
                outputs.wavByAudio[static_cast<std::size_t>(stream->number)] = wavs.back().get();
            }
            out.log("Creating " + literal(target.path));
        }
    };
    // A run that does not end well keeps none of its files.
    auto dropAll = [&] {
        wavs.clear();
        for (std::size_t i = 0; i < files.size(); ++i)
            out.log("Removed the unfinished file " + literal(targets[i].path));
        files.clear();
    };
    out.log("Opening file " + literal(namePart(feature.source)));
    out.slog("Opening", 0);
    try {
        runOverFeature(feature, context_.state, stillContinue, [&](InputFile& file, int index) {
            const std::string name = namePart(file.path());
            if (index == 0) {
                out.log("File size: " + std::to_string(file.size() / kMebibyte) + " Mbytes.");
                createOutputs();
            } else {
                out.log("");
                out.log("Continue on [b]" + literal(name) + "[/b]");
            }
            out.log("Demuxing...");
            out.slog("Demuxing " + name, 0);
            demux(RunMode::Demux, context_.state, file, feature.source, context_.host, out,
                  context_.locale, &outputs);
        });
        closeAll();
        if (context_.state.cancelFlag) {
            dropAll();
            return;
        }
        wavs.clear();
        commitAll(files);
    } catch (...) {
        try {
            closeAll();
        } catch (...) {
        }
        dropAll();
        throw;
    }
}

} // namespace tessary
