#include "engine/ReadOperation.h"

#include "platform/InputFile.h"
#include "platform/Paths.h"
#include "platform/Reporter.h"

namespace tessary {

void ReadOperation::run(const std::string& sourcePath, const std::string& second,
                        const std::function<bool()>& continueOption) {
    state_.frameCounts = {0, 0};
    state_.minFirstPts = kNoPts;
    state_.firstVideoPtm = 0;
    state_.totalSeconds = 0;
    state_.resetDetails();
    state_.navigation.clear();
    state_.packHeaderSeen = false;

    out_.log("Opening file [b]" + state_.sourceName + "[/b]");
    {
        InputFile source(sourcePath);
        out_.log("Reading...");
        out_.slog("Reading " + namePart(sourcePath) + " ", 0);
        out_.log("File size: " + std::to_string(source.size() / kMebibyte) + " Mbytes.");
        demux(RunMode::Read, state_, source, sourcePath, host_, out_, locale_);
        nameNavigation(sourcePath);
    }
    if (continueOption() && !state_.cancelFlag && !second.empty()) {
        InputFile source(second);
        out_.log("");
        out_.log("Continue on [b]" + namePart(second) + "[/b]");
        out_.log("Reading...");
        out_.slog("Reading " + namePart(second), 0);
        demux(RunMode::Read, state_, source, sourcePath, host_, out_, locale_);
        nameNavigation(second);
    }
}

void ReadOperation::nameNavigation(const std::string& path) {
    if (!state_.navigation.empty()) state_.navigation.back().file = namePart(path);
}

} // namespace tessary
