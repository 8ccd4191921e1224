#include "ops/DemuxOperation.h"

#include <memory>
#include <optional>
#include <set>

#include "engine/DemuxWriter.h"
#include "platform/FileError.h"
#include "platform/InputFile.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

// Refuses targets that would write over a source file or over another target, before any
// file is created.
void checkTargets(const std::vector<DemuxTarget>& targets,
                  const std::vector<std::string>& sources) {
    std::set<std::string> seen;
    for (const DemuxTarget& target : targets) {
        for (const std::string& source : sources)
            if (sameFile(target.path, source))
                throw FileError("Cannot create file \"" + target.path +
                                "\". It is the file being demuxed");
        if (!seen.insert(target.path).second)
            throw FileError("Cannot create file \"" + target.path +
                            "\". Two streams would be written to it");
    }
}

} // namespace

void DemuxOperation::run(const std::string& sourcePath, const std::string& second,
                         const std::function<bool()>& continueOption,
                         const std::vector<DemuxTarget>& targets) {
    std::vector<std::string> sources{sourcePath};
    if (!second.empty()) sources.push_back(second);

    out_.log("Opening file " + namePart(sourcePath));
    out_.slog("Opening", 0);
    std::optional<InputFile> source;
    source.emplace(sourcePath);
    out_.log("File size: " + std::to_string(source->size() / kMebibyte) + " Mbytes.");

    checkTargets(targets, sources);
    std::vector<std::unique_ptr<OutputFile>> files;
    DemuxOutputs outputs;
    // Every output is closed, also after an error; the first error is the one raised.
    auto closeAll = [&files] {
        std::optional<FileError> first;
        for (auto& file : files) {
            try {
                file->close();
            } catch (const FileError& error) {
                if (!first) first = error;
            }
        }
        if (first) throw *first;
    };
    try {
        for (const DemuxTarget& target : targets) {
            files.push_back(files_.create(target.path));
            outputs.bySlot[static_cast<std::size_t>(target.slot)] = files.back().get();
            out_.log("Creating " + target.path);
        }
        out_.log("Demuxing...");
        out_.slog("Demuxing " + namePart(sourcePath), 0);
        demux(RunMode::Demux, state_, *source, sourcePath, host_, out_, locale_, &outputs);
        if (continueOption() && !state_.cancelFlag && !second.empty()) {
            source.reset();
            source.emplace(second);
            out_.log("");
            out_.log("Continue on [b]" + namePart(second) + "[/b]");
            out_.log("Demuxing...");
            out_.slog("Demuxing " + namePart(second), 0);
            demux(RunMode::Demux, state_, *source, sourcePath, host_, out_, locale_, &outputs);
        }
    } catch (...) {
        try {
            closeAll();
        } catch (const FileError&) {
        }
        throw;
    }
    source.reset();
    closeAll();
}

} // namespace tessary
