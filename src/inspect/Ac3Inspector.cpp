#include "inspect/Ac3Inspector.h"

namespace tessary {

void inspectAc3(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
