#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessary {

// What a stream is, under names that stay the same for every codec and every wording of the
// report (the `properties` of tessary-cli's JSON). Numbers are in SI units: Hz, bit/s,
// frame/s, bytes, bits; a property that does not apply to a stream is not given. Listed in
// the order a stream's properties are kept.
enum class Property {
    Width,                // coded picture, in pixels (after cropping)
    Height,               //
    DisplayWidth,         // the picture as shown (VC-1 display extension)
    DisplayHeight,        //
    SampleAspectRatio,    // "1:1", "40:33"
    DisplayAspectRatio,   // "16:9", "4:3", "2.21:1"
    FrameRate,            // frame/s, exact (not rounded as the report shows it)
    FrameRateNumerator,   // the frame rate as a fraction in lowest terms
    FrameRateDenominator, //
    Interlaced,           // the sequence may hold interlaced (field) pictures
    Profile,              // "High", "Advanced"
    Level,                // 4.1, 3
    ChromaFormat,         // "4:2:0"
    BitDepth,             // bits per sample (luma for video, per pixel for subpictures)
    ChromaBitDepth,       //
    VideoFormat,          // "PAL", "NTSC", "Component"
    MaxBitRate,           // bit/s, the upper bound of a video stream's rate
    SampleRate,           // Hz
    Channels,             // every channel, the LFE channel included
    ChannelLayout,        // the speakers as the codec names them, "L + R + C + Ls + Rs"
    Lfe,                  // a low frequency effects channel is present
    BitRate,              // bit/s
    BitRateMode,          // "constant", "variable", "lossless"
    FrameSize,            // bytes of a (core) frame
    SamplesPerFrame,      // samples per channel in a frame
};

// The JSON name of a property: "sampleRate".
std::string_view propertyName(Property property);

using PropertyValue = std::variant<double, std::string, bool>;

struct StreamProperty {
    Property key = Property::Width;
    PropertyValue value;
    bool operator==(const StreamProperty&) const = default;
};

// Adds the properties `from` holds that `to` lacks, keeping `to` in the order of Property: the
// first value of a property is the one a stream keeps.
void addProperties(std::vector<StreamProperty>& to, const std::vector<StreamProperty>& from);

} // namespace tessary
