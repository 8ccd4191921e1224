#include "inspect/Vc1Inspector.h"

namespace tessary {

void inspectVc1(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
