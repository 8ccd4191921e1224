#include "inspect/Mpeg2VideoInspector.h"

namespace tessary {

void inspectMpeg2Video(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
