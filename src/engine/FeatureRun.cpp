#include "engine/FeatureRun.h"

#include <optional>

#include "engine/RunState.h"
#include "platform/InputFile.h"

namespace tessary {

void runOverFeature(const FeatureFiles& files, const RunState& state,
                    const std::function<bool()>& stillContinue,
                    const std::function<void(InputFile& file, int index)>& pass) {
    std::optional<InputFile> file;
    file.emplace(files.source);
    pass(*file, 0);
    if (files.second.empty() || state.cancelFlag || !stillContinue()) return;
    file.reset();
    file.emplace(files.second);
    pass(*file, 1);
}

} // namespace tessary
