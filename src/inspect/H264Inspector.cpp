#include "inspect/H264Inspector.h"

namespace tessary {

void inspectH264(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
