#pragma once

namespace tessary {

// The options a pass reads. They are taken anew at every block, so a change in the window
// takes effect while the pass runs.
struct PassOptions {
    bool fastCheck = true;
    int fastSizeMb = 300;
    bool countFrames = true;
    bool details = true;
};

} // namespace tessary
