#include "inspect/LpcmInspector.h"

namespace tessary {

void inspectLpcm(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
