#pragma once

namespace tessary {

// The options a pass reads. They are taken anew at every block, so a change in the window
// takes effect while the pass runs.
struct PassOptions {
    // Continue onto the second file of a split feature (FEATURE_2.EVO after FEATURE_1.EVO);
    // the run over the feature reads it after the first file.
    bool continueOnSecond = true;
    bool fastCheck = true;
    int fastSizeMb = 300;
    bool countFrames = true;
    bool details = true;
};

} // namespace tessary
