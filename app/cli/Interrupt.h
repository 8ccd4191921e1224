#pragma once

namespace tessary::cli {

// Ctrl+C (SIGINT) and SIGTERM cancel the running command as the window's Cancel does: the
// pass stops at its next step and removes its unfinished files. A second Ctrl+C ends the
// program at once.
void catchInterrupts();

// Whether an interrupt came.
bool interrupted();

// Forgets an interrupt, for a process that runs several commands (the tests), and catches
// the next one again.
void clearInterrupt();

} // namespace tessary::cli
