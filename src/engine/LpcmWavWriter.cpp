#include "engine/LpcmWavWriter.h"

#include <algorithm>
#include <cstring>

#include "engine/WavHeader.h"
#include "platform/OutputFile.h"

namespace tessary {

void LpcmWavWriter::write(const uint8_t* data, std::size_t length, int parameters) {
    if (!format_) {
        if (parameters < 0 || parameters > 0xFF) return;
        format_ = lpcmFormatOf(static_cast<uint8_t>(parameters));
        if (!format_) return;
        block_ = lpcmBlockOf(*format_);
        const auto header = wavHeader(*format_, 0);
        file_.append(header.data(), header.size());
    }
    if (carried_ > 0) {
        const std::size_t take = std::min(block_.discBytes - carried_, length);
        std::memcpy(carry_.data() + carried_, data, take);
        carried_ += take;
        data += take;
        length -= take;
        if (carried_ < block_.discBytes) return;
        convert(carry_.data(), carried_);
        carried_ = 0;
    }
    const std::size_t whole = length / block_.discBytes * block_.discBytes;
    convert(data, whole);
    carried_ = length - whole;
    std::memcpy(carry_.data(), data + whole, carried_);
}

void LpcmWavWriter::convert(const uint8_t* data, std::size_t length) {
    if (length == 0) return;
    pcm_.resize(length / block_.discBytes * block_.pcmBytes);
    const std::size_t written = lpcmToPcm(*format_, {data, length}, pcm_.data());
    file_.append(pcm_.data(), written);
    dataBytes_ += written;
}

void LpcmWavWriter::finish() {
    if (!format_) return;
    const auto header = wavHeader(*format_, dataBytes_);
    file_.writeAt(0, header.data(), header.size());
}

} // namespace tessary
