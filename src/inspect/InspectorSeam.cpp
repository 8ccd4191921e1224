#include "inspect/InspectorSeam.h"

namespace tessary {

// No codec inspector is wired in yet: the details report writes only what the pack layer
// itself knows (first PTS, substream id), and invents nothing about the elementary stream.
void inspectStream(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
