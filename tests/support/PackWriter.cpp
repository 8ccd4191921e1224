#include "PackWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>

namespace tessary::test {

namespace {

void putBe16(Bytes& out, std::size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value >> 8);
    out[at + 1] = static_cast<uint8_t>(value);
}

void putBe32(Bytes& out, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void append(Bytes& out, std::span<const uint8_t> data) {
    out.insert(out.end(), data.begin(), data.end());
}

Bytes startCode(uint8_t streamId, std::size_t length) {
    if (length > 0xFFFF)
        throw std::length_error("packet longer than PES_packet_length can say: " +
                                std::to_string(length));
    return {0x00,
            0x00,
            0x01,
            streamId,
            static_cast<uint8_t>(length >> 8),
            static_cast<uint8_t>(length)};
}

// Bytes of the PES extension: flags byte (reserved bits 3..1 set), P-STD field, field 2.
std::size_t extensionSize(const PesPacket& p) {
    if (!p.extension && !p.pstdBuffer && !p.streamIdExtension) return 0;
    return 1 + (p.pstdBuffer ? 2 : 0) + (p.streamIdExtension ? 2 : 0);
}

std::size_t timestampSize(const PesPacket& p) {
    if (!p.pts) {
        if (p.dts) throw std::invalid_argument("a DTS needs a PTS");
        return 0;
    }
    return p.dts ? 10 : 5;
}

// Private stream 2 packets carry a substream id but no PES header.
bool isPrivateStream2(const Stream& s) {
    return s.streamId == 0xBF;
}

} // namespace

std::array<uint8_t, 5> encodeTimestamp(uint8_t prefix, uint64_t value) {
    return {
        static_cast<uint8_t>((prefix & 0x0F) << 4 | ((value >> 29) & 0x0E) | 1),
        static_cast<uint8_t>(value >> 22),
        static_cast<uint8_t>(((value >> 14) & 0xFE) | 1),
        static_cast<uint8_t>(value >> 7),
        static_cast<uint8_t>(((value << 1) & 0xFE) | 1),
    };
}

Bytes packHeader(uint64_t scr, MuxRate rate, std::size_t stuffing) {
    if (stuffing > 7) throw std::invalid_argument("pack stuffing is at most 7 bytes");
    // '01' SCR[32..30] 1 SCR[29..28] | SCR[27..20] | SCR[19..15] 1 SCR[14..13] | SCR[12..5] |
    // SCR[4..0] 1 ext[8..7] | ext[6..0] 1, with the extension 0.
    Bytes out = {0x00,
                 0x00,
                 0x01,
                 0xBA,
                 static_cast<uint8_t>(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03)),
                 static_cast<uint8_t>(scr >> 20),
                 static_cast<uint8_t>(((scr >> 12) & 0xF8) | 0x04 | ((scr >> 13) & 0x03)),
                 static_cast<uint8_t>(scr >> 5),
                 static_cast<uint8_t>(((scr << 3) & 0xF8) | 0x04),
                 0x01};
    if (rate == MuxRate::HdDvd)
        out.insert(out.end(), {0x04, 0x9D, 0x43});
    else
        out.insert(out.end(), {0x01, 0x89, 0xC3});
    out.push_back(static_cast<uint8_t>(0xF8 | stuffing));
    out.insert(out.end(), stuffing, 0xFF);
    return out;
}

Bytes systemHeader(const SystemHeader& h) {
    Bytes out = startCode(0xBB, 18);
    // marker, rate_bound 75 600 (HD DVD), marker
    const uint32_t rateBound = 75600;
    out.push_back(static_cast<uint8_t>(0x80 | (rateBound >> 15)));
    out.push_back(static_cast<uint8_t>(rateBound >> 7));
    out.push_back(static_cast<uint8_t>((rateBound << 1) | 1));
    out.push_back(static_cast<uint8_t>((h.audioBound << 2) | (h.audioFlags & 0x03)));
    out.push_back(static_cast<uint8_t>((h.videoFlags & 0xE0) | (h.videoBound & 0x1F)));
    out.push_back(0xFF); // packet_rate_restriction_flag, reserved
    // stream_id, '11', P-STD_buffer_bound_scale, P-STD_buffer_size_bound
    out.insert(out.end(), {0xE0, 0xE0, 0xE8, 0xC0, 0xC0, 0x20, 0xBD, 0xE0, 0x3A, 0xBF, 0xE0, 0x02});
    return out;
}

bool hasPesHeader(uint8_t streamId) {
    return streamId != 0xBC && streamId != 0xBE && streamId != 0xBF;
}

std::size_t pesHeaderSize(const PesPacket& p) {
    if (!hasPesHeader(p.streamId)) return 0;
    return 3 + timestampSize(p) + extensionSize(p) + p.stuffing;
}

Bytes encodePes(const PesPacket& p) {
    const std::size_t headerSize = pesHeaderSize(p);
    Bytes out = startCode(p.streamId, headerSize + p.payload.size());
    if (headerSize > 0) {
        if (headerSize - 3 > 0xFF) throw std::length_error("PES header data longer than 255 bytes");
        const bool ext = extensionSize(p) > 0;
        const uint8_t ptsDts = p.pts ? (p.dts ? 0xC0 : 0x80) : 0x00;
        out.push_back(0x81); // '10', not scrambled, original
        out.push_back(static_cast<uint8_t>(ptsDts | (ext ? 0x01 : 0x00)));
        out.push_back(static_cast<uint8_t>(headerSize - 3));
        if (p.pts) {
            const auto pts = encodeTimestamp(p.dts ? 0x3 : 0x2, *p.pts);
            out.insert(out.end(), pts.begin(), pts.end());
        }
        if (p.pts && p.dts) {
            const auto dts = encodeTimestamp(0x1, *p.dts);
            out.insert(out.end(), dts.begin(), dts.end());
        }
        if (ext) {
            out.push_back(static_cast<uint8_t>(0x0E | (p.pstdBuffer ? 0x10 : 0x00) |
                                               (p.streamIdExtension ? 0x01 : 0x00)));
            if (p.pstdBuffer) out.insert(out.end(), {0x60, 0xE8}); // '01', scale 1, size 232 KiB
            if (p.streamIdExtension) {
                out.push_back(0x81); // marker, PES_extension_field_length 1
                out.push_back(static_cast<uint8_t>(*p.streamIdExtension & 0x7F));
            }
        }
        out.insert(out.end(), p.stuffing, 0xFF);
    }
    append(out, p.payload);
    return out;
}

Bytes paddingPacket(std::size_t totalSize) {
    if (totalSize < kPaddingMinSize)
        throw std::invalid_argument("a padding packet has at least 6 bytes");
    Bytes out = startCode(0xBE, totalSize - kPaddingMinSize);
    out.insert(out.end(), totalSize - kPaddingMinSize, 0xFF);
    return out;
}

Bytes privateStream2(uint8_t substreamId, std::span<const uint8_t> data) {
    Bytes out = startCode(0xBF, 1 + data.size());
    out.push_back(substreamId);
    append(out, data);
    return out;
}

Stream Stream::mpeg2Video(int number) {
    return {static_cast<uint8_t>(0xE0 + number)};
}
Stream Stream::h264Video(int number) {
    return {static_cast<uint8_t>(0xE2 + number)};
}
Stream Stream::vc1Video(int number) {
    return extended(static_cast<uint8_t>(0x55 + number));
}
Stream Stream::extended(uint8_t streamIdExtension, bool pstdBuffer) {
    return {0xFD, streamIdExtension, pstdBuffer, {}};
}
Stream Stream::mpegAudio(int number) {
    return {static_cast<uint8_t>(0xC0 + number)};
}

Stream Stream::privateStream1(uint8_t substreamId) {
    return {0xBD, std::nullopt, false, {substreamId, 0x01, 0x00, 0x01}};
}
Stream Stream::ac3(int number) {
    return privateStream1(static_cast<uint8_t>(0x80 + number));
}
Stream Stream::dts(int number) {
    return privateStream1(static_cast<uint8_t>(0x88 + number));
}
Stream Stream::eac3(int number) {
    return privateStream1(static_cast<uint8_t>(0xC0 + number));
}

Stream Stream::lpcm(int number, std::array<uint8_t, 3> parameters) {
    Stream s = privateStream1(static_cast<uint8_t>(0xA0 + number));
    s.substreamHeader.insert(s.substreamHeader.end(), parameters.begin(), parameters.end());
    return s;
}

Stream Stream::trueHd(int number) {
    Stream s = privateStream1(static_cast<uint8_t>(0xB0 + number));
    s.substreamHeader.push_back(0x00);
    return s;
}

Stream Stream::subpicture(uint8_t substreamId) {
    return {0xBD, std::nullopt, false, {substreamId}};
}
Stream Stream::advanced() {
    return {0xBF, std::nullopt, false, {0x80}};
}

std::size_t PackWriter::beginPack(MuxRate rate) {
    const std::size_t start = bytes_.size();
    append(bytes_, packHeader(scr_, rate, packStuffing_));
    scr_ += scrStep_;
    return start;
}

void PackWriter::fillPack(std::size_t packStart) {
    const std::size_t used = bytes_.size() - packStart;
    if (used > kPackSize)
        throw std::length_error("pack overflows by " + std::to_string(used - kPackSize) + " bytes");
    const std::size_t spare = kPackSize - used;
    if (spare == 0) return;
    if (spare < kPaddingMinSize)
        throw std::invalid_argument(std::to_string(spare) +
                                    " spare bytes cannot be filled by a padding packet");
    append(bytes_, paddingPacket(spare));
}

std::size_t PackWriter::addPesPack(const PesPacket& packet) {
    const std::size_t start = beginPack(muxRate_);
    const std::size_t room = kPackSize - (bytes_.size() - start);
    Bytes encoded = encodePes(packet);
    if (encoded.size() < room && room - encoded.size() < kPaddingMinSize &&
        hasPesHeader(packet.streamId)) {
        PesPacket stuffed = packet;
        stuffed.stuffing += room - encoded.size();
        encoded = encodePes(stuffed);
    }
    append(bytes_, encoded);
    fillPack(start);
    return start;
}

std::size_t PackWriter::addRawPack(std::initializer_list<std::span<const uint8_t>> parts) {
    const std::size_t start = beginPack(muxRate_);
    for (auto part : parts)
        append(bytes_, part);
    fillPack(start);
    return start;
}

std::size_t PackWriter::addPaddingPack() {
    return addRawPack({});
}

std::vector<PayloadSpan> PackWriter::addPayload(const Stream& stream,
                                                std::span<const uint8_t> payload,
                                                const PayloadOptions& options) {
    std::vector<PayloadSpan> spans;
    std::size_t done = 0;
    bool first = true;
    do {
        PesPacket packet{stream.streamId};
        if (first) {
            packet.pts = options.pts;
            packet.dts = options.dts;
        }
        packet.pstdBuffer = stream.pstdBuffer;
        packet.streamIdExtension = stream.streamIdExtension;
        packet.stuffing = options.stuffing;

        const std::size_t overhead = kPackHeaderSize + packStuffing_ + 6 + pesHeaderSize(packet) +
                                     stream.substreamHeader.size();
        if (overhead >= kPackSize) throw std::length_error("no room for payload in a pack");
        std::size_t chunk = std::min(payload.size() - done, kPackSize - overhead);
        if (options.maxPerPack > 0) chunk = std::min(chunk, options.maxPerPack);
        // Without a PES header 1..5 spare bytes cannot be stuffed: leave 6 for a padding
        // packet and carry the rest into the next pack.
        const std::size_t spare = kPackSize - overhead - chunk;
        if (isPrivateStream2(stream) && spare > 0 && spare < kPaddingMinSize)
            chunk -= kPaddingMinSize - spare;

        packet.payload = stream.substreamHeader;
        packet.payload.insert(packet.payload.end(), payload.begin() + done,
                              payload.begin() + done + chunk);
        const std::size_t packet0 = addPesPack(packet) + kPackHeaderSize + packStuffing_;
        // Read the header length back: addPesPack may have added stuffing.
        const std::size_t header = hasPesHeader(packet.streamId) ? 3 + bytes_[packet0 + 8] : 0;
        const std::size_t at = packet0 + 6 + header + stream.substreamHeader.size();
        spans.push_back({at, chunk});
        done += chunk;
        first = false;
    } while (done < payload.size());
    return spans;
}

namespace {

// The data of a DSI packet that starts at `packetOffset` and fills the pack: VOB id, first and
// last video PTM, and the sync entries at the layout's offsets behind the substream id.
Bytes dataSearchInformation(const NavPack& nav, std::size_t packetOffset, std::size_t audioSync,
                            std::size_t subpictureSync) {
    Bytes dsi(kPackSize - packetOffset - 7, 0);
    putBe16(dsi, 24, nav.vobId);
    putBe32(dsi, 44, nav.firstPtm);
    putBe32(dsi, 48, nav.lastPtm);
    for (std::size_t i = 0; i < nav.audioSync.size(); ++i)
        putBe16(dsi, audioSync + 2 * i, nav.audioSync[i]);
    for (std::size_t i = 0; i < nav.subpictureSync.size(); ++i)
        putBe32(dsi, subpictureSync + 4 * i, nav.subpictureSync[i]);
    return dsi;
}

} // namespace

std::size_t PackWriter::addNavPack(const NavPack& nav) {
    const std::size_t start = beginPack(muxRate_);
    append(bytes_, systemHeader({nav.audioBound, nav.audioFlags, nav.videoBound, nav.videoFlags}));

    // General control information: 256 bytes from 38.
    Bytes gci(256 - 7, 0);
    gci[12] = nav.encryption;
    gci[24] = static_cast<uint8_t>((nav.cgmsValid ? 0x80 : 0) | (nav.apsValid ? 0x40 : 0) |
                                   (nav.ictValid ? 0x20 : 0) | (nav.dotValid ? 0x10 : 0));
    gci[26] = static_cast<uint8_t>((nav.cgms & 0x07) << 5 | (nav.aps & 0x07) << 2 |
                                   (nav.ict ? 0x02 : 0) | (nav.dot ? 0x01 : 0));
    append(bytes_, privateStream2(0x04, gci));

    // Presentation control information up to the DSI.
    const std::size_t pciSize = kEvoDsiOffset - (bytes_.size() - start);
    append(bytes_, privateStream2(0x00, Bytes(pciSize - 7, 0)));

    // Data search information to the end of the pack: 00 00 01 BF 02 F3 01.
    append(bytes_, privateStream2(0x01, dataSearchInformation(nav, kEvoDsiOffset, 530, 546)));
    fillPack(start);
    return start;
}

std::size_t PackWriter::addVobNavPack(const NavPack& nav) {
    const std::size_t start = beginPack(MuxRate::Dvd);
    append(bytes_, systemHeader({nav.audioBound, nav.audioFlags, nav.videoBound, nav.videoFlags}));

    // PCI from 38 to the DSI: 00 00 01 BF 03 D4 00.
    const std::size_t pciSize = kVobDsiOffset - (bytes_.size() - start);
    append(bytes_, privateStream2(0x00, Bytes(pciSize - 7, 0)));

    // DSI to the end of the pack: 00 00 01 BF 03 FA 01.
    append(bytes_, privateStream2(0x01, dataSearchInformation(nav, kVobDsiOffset, 402, 418)));
    fillPack(start);
    return start;
}

void PackWriter::appendRaw(std::span<const uint8_t> data) {
    append(bytes_, data);
}

void PackWriter::patch(std::size_t offset, std::span<const uint8_t> data) {
    if (offset > bytes_.size() || data.size() > bytes_.size() - offset)
        throw std::out_of_range("patch beyond the end");
    std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PackWriter::truncate(std::size_t size) {
    if (size < bytes_.size()) bytes_.resize(size);
}

void PackWriter::writeTo(const std::filesystem::path& path) const {
    writeFile(path, bytes_);
}

void writeFile(const std::filesystem::path& path, std::span<const uint8_t> data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

} // namespace tessary::test
