#include "engine/WavHeader.h"

#include <cstring>

namespace tessary {

namespace {

// Where each part of the header begins.
constexpr std::size_t kSizeChunkAt = 12; // JUNK or ds64
constexpr std::size_t kSizeChunkBody = 28;
constexpr std::size_t kFormatChunkAt = 48;
constexpr std::size_t kFormatChunkBody = 40;
constexpr std::size_t kDataChunkAt = 96;
constexpr uint32_t kNoSize = 0xFFFFFFFF;

// KSDATAFORMAT_SUBTYPE_PCM, 00000001-0000-0010-8000-00AA00389B71, as it is stored.
constexpr uint8_t kPcmSubtype[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                     0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Speakers by channel count: FC; FL FR; FL FR FC; FL FR BL BR; FL FR FC BL BR; 5.1; 5.1 with
// back centre; 7.1 with side channels.
constexpr uint32_t kChannelMasks[9] = {0, 0x4, 0x3, 0x7, 0x33, 0x37, 0x3F, 0x13F, 0x63F};

class HeaderWriter {
public:
    explicit HeaderWriter(std::array<uint8_t, kWavHeaderSize>& bytes) : bytes_(bytes) {}
    void tag(std::size_t at, const char* text) { std::memcpy(bytes_.data() + at, text, 4); }
    void le(std::size_t at, uint64_t value, int width) {
        for (int i = 0; i < width; ++i)
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }

private:
    std::array<uint8_t, kWavHeaderSize>& bytes_;
};

} // namespace

std::array<uint8_t, kWavHeaderSize> wavHeader(const LpcmFormat& format, uint64_t dataBytes) {
    std::array<uint8_t, kWavHeaderSize> bytes{};
    HeaderWriter h(bytes);
    const uint64_t riffSize = kWavHeaderSize - 8 + dataBytes;
    const bool rf64 = riffSize > kNoSize;
    const uint32_t container = static_cast<uint32_t>(pcmSampleBytes(format));
    const uint32_t frameBytes = container * static_cast<uint32_t>(format.channels);

    h.tag(0, rf64 ? "RF64" : "RIFF");
    h.le(4, rf64 ? kNoSize : riffSize, 4);
    h.tag(8, "WAVE");
    h.tag(kSizeChunkAt, rf64 ? "ds64" : "JUNK");
    h.le(kSizeChunkAt + 4, kSizeChunkBody, 4);
    if (rf64) {
        h.le(kSizeChunkAt + 8, riffSize, 8);
        h.le(kSizeChunkAt + 16, dataBytes, 8);
        h.le(kSizeChunkAt + 24, frameBytes ? dataBytes / frameBytes : 0, 8); // sample frames
        // A table length of 0 follows: no other chunk is larger than 4 GiB.
    }

    const std::size_t f = kFormatChunkAt;
    h.tag(f, "fmt ");
    h.le(f + 4, kFormatChunkBody, 4);
    h.le(f + 8, 0xFFFE, 2); // WAVE_FORMAT_EXTENSIBLE
    h.le(f + 10, static_cast<uint64_t>(format.channels), 2);
    h.le(f + 12, static_cast<uint64_t>(format.sampleRate), 4);
    h.le(f + 16, static_cast<uint64_t>(format.sampleRate) * frameBytes, 4);
    h.le(f + 20, frameBytes, 2);
    h.le(f + 22, container * 8, 2);
    h.le(f + 24, 22, 2); // the extension's size
    h.le(f + 26, static_cast<uint64_t>(format.bits), 2);
    const bool known = format.channels >= 1 && format.channels <= 8;
    h.le(f + 28, known ? kChannelMasks[format.channels] : 0, 4);
    std::memcpy(bytes.data() + f + 32, kPcmSubtype, sizeof kPcmSubtype);

    h.tag(kDataChunkAt, "data");
    h.le(kDataChunkAt + 4, rf64 ? kNoSize : dataBytes, 4);
    return bytes;
}

} // namespace tessary
