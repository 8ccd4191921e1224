#include "inspect/MlpInspector.h"

namespace tessary {

void inspectMlp(const InspectorInput&, Reporter&, RunState&) {}

} // namespace tessary
