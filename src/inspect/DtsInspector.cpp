#include "inspect/DtsInspector.h"

namespace tessary {

void inspectDts(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
