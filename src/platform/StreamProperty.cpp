#include "platform/StreamProperty.h"

#include <algorithm>
#include <array>

namespace tessary {

namespace {

constexpr std::array<std::string_view, 25> kNames = {"width",
                                                     "height",
                                                     "displayWidth",
                                                     "displayHeight",
                                                     "sampleAspectRatio",
                                                     "displayAspectRatio",
                                                     "frameRate",
                                                     "frameRateNumerator",
                                                     "frameRateDenominator",
                                                     "interlaced",
                                                     "profile",
                                                     "level",
                                                     "chromaFormat",
                                                     "bitDepth",
                                                     "chromaBitDepth",
                                                     "videoFormat",
                                                     "maxBitRate",
                                                     "sampleRate",
                                                     "channels",
                                                     "channelLayout",
                                                     "lfe",
                                                     "bitRate",
                                                     "bitRateMode",
                                                     "frameSize",
                                                     "samplesPerFrame"};
static_assert(kNames.size() == static_cast<std::size_t>(Property::SamplesPerFrame) + 1);

} // namespace

std::string_view propertyName(Property property) {
    return kNames[static_cast<std::size_t>(property)];
}

void addProperties(std::vector<StreamProperty>& to, const std::vector<StreamProperty>& from) {
    for (const StreamProperty& property : from) {
        const auto at = std::lower_bound(
            to.begin(), to.end(), property.key,
            [](const StreamProperty& kept, Property key) { return kept.key < key; });
        if (at == to.end() || at->key != property.key) to.insert(at, property);
    }
}

} // namespace tessary
