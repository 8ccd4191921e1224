#include "inspect/InspectorSeam.h"

#include "inspect/Ac3Inspector.h"
#include "inspect/DtsInspector.h"
#include "inspect/H264Inspector.h"
#include "inspect/LpcmInspector.h"
#include "inspect/MlpInspector.h"
#include "inspect/Mpeg2VideoInspector.h"
#include "inspect/Vc1Inspector.h"

namespace tessary {

void inspectStream(const InspectorInput& input, Reporter& out, RunState& state) {
    switch (input.codec) {
    case InspectedCodec::Mpeg2Video: inspectMpeg2Video(input, out, state); break;
    case InspectedCodec::Vc1Video: inspectVc1(input, out, state); break;
    case InspectedCodec::H264Video: inspectH264(input, out, state); break;
    case InspectedCodec::Ac3: inspectAc3(input, out, state); break;
    case InspectedCodec::Dts: inspectDts(input, out, state); break;
    case InspectedCodec::MlpTrueHd: inspectMlp(input, out, state); break;
    case InspectedCodec::Lpcm: inspectLpcm(input, out, state); break;
    }
}

} // namespace tessary
