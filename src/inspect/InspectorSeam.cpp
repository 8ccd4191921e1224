#include "inspect/InspectorSeam.h"

#include "inspect/Ac3Inspector.h"
#include "inspect/DtsInspector.h"
#include "inspect/H264Inspector.h"
#include "inspect/LpcmInspector.h"
#include "inspect/MlpInspector.h"
#include "inspect/Mpeg2VideoInspector.h"
#include "inspect/Vc1Inspector.h"

namespace tessary {

InspectorResult inspectStream(const InspectorInput& input, Reporter& out) {
    switch (input.codec) {
    case InspectedCodec::Mpeg2Video: return inspectMpeg2Video(input, out);
    case InspectedCodec::Vc1Video: return inspectVc1(input, out);
    case InspectedCodec::H264Video: return inspectH264(input, out);
    case InspectedCodec::Ac3: return inspectAc3(input, out);
    case InspectedCodec::Dts: return inspectDts(input, out);
    case InspectedCodec::MlpTrueHd: return inspectMlp(input, out);
    case InspectedCodec::Lpcm: return inspectLpcm(input, out);
    }
    return {};
}

} // namespace tessary
