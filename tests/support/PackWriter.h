#pragma once

// Builds MPEG-2 program streams of 2048-byte packs in memory, with the DVD-Video and HD DVD
// conventions (private stream 1 substream headers, private stream 2 navigation packets,
// VC-1 behind stream id 0xFD with a stream_id_extension), so that each test can build exactly
// the packs it needs. Layout references are to ISO/IEC 13818-1.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

namespace tessary::test {

using Bytes = std::vector<uint8_t>;

inline constexpr std::size_t kPackSize = 2048;
inline constexpr std::size_t kPackHeaderSize = 14;
inline constexpr std::size_t kPaddingMinSize = 6; // start code + length, no data

// Fixed positions in a navigation pack, counted from the start of the pack.
inline constexpr std::size_t kSystemHeaderOffset = 14;
inline constexpr std::size_t kEvoGciOffset = 38;
inline constexpr std::size_t kEvoDsiOffset = 1287;
inline constexpr std::size_t kVobPciOffset = 38;
inline constexpr std::size_t kVobDsiOffset = 1024;

// program_mux_rate with its two marker bits, bytes 10..12 of the pack header.
enum class MuxRate {
    HdDvd, // 04 9D 43: 75 600 x 50 bytes/s, 30.24 Mbit/s
    Dvd,   // 01 89 C3: 25 200 x 50 bytes/s, 10.08 Mbit/s
};

// The 5-byte PTS/DTS field: 4-bit prefix, bits 32..30, marker, bits 29..15, marker,
// bits 14..0, marker. Prefix 0x2 for a lone PTS, 0x3 for a PTS followed by a DTS, 0x1 for
// that DTS. Bits of value above bit 32 are dropped.
std::array<uint8_t, 5> encodeTimestamp(uint8_t prefix, uint64_t value);

// 14-byte MPEG-2 pack header (plus stuffing bytes, at most 7) with SCR base `scr`,
// SCR extension 0.
Bytes packHeader(uint64_t scr, MuxRate rate = MuxRate::HdDvd, std::size_t stuffing = 0);

// The system header that a navigation pack carries at offset 14: 24 bytes with four P-STD
// entries (0xE0, 0xC0, 0xBD, 0xBF). Its byte 9 (pack byte 23) is audioBound << 2 | audioFlags
// (fixed flag, CSPS flag); its byte 10 (pack byte 24) is videoFlags (audio lock, video lock,
// marker in bits 7..5) | videoBound.
struct SystemHeader {
    uint8_t audioBound = 0;    // 0..63
    uint8_t audioFlags = 0;    // bits 1..0
    uint8_t videoBound = 1;    // 0..31
    uint8_t videoFlags = 0xE0; // bits 7..5
};
Bytes systemHeader(const SystemHeader& header);

// One packet. Stream ids 0xBC, 0xBE and 0xBF have no PES header: `payload` follows the length
// field directly and the header fields are ignored. For the others the header is written in
// the standard order: PTS, DTS, PES extension, stuffing.
struct PesPacket {
    uint8_t streamId = 0xE0;
    std::optional<uint64_t> pts{};
    std::optional<uint64_t> dts{}; // needs pts
    bool extension = false;        // PES_extension_flag even when no field below is set
    bool pstdBuffer = false;       // P-STD_buffer field in the extension
    std::optional<uint8_t> streamIdExtension{}; // extension field 2 holding stream_id_extension
    std::size_t stuffing = 0;                   // 0xFF bytes at the end of the header data
    Bytes payload{};                            // everything behind the PES header
};

bool hasPesHeader(uint8_t streamId);
// PES header bytes from the flags byte 0 to the end of the stuffing, without the start code
// and the length field.
std::size_t pesHeaderSize(const PesPacket& packet);
// The whole packet: 00 00 01, stream id, PES_packet_length, PES header, payload. Throws
// std::length_error when the packet is longer than the length field can say.
Bytes encodePes(const PesPacket& packet);
// A padding packet of totalSize bytes (at least 6): 00 00 01 BE, length, 0xFF bytes.
Bytes paddingPacket(std::size_t totalSize);
// A private stream 2 packet: 00 00 01 BF, length, substream id, data.
Bytes privateStream2(uint8_t substreamId, std::span<const uint8_t> data);

// An elementary stream as the high-level helpers write it: which packet carries it and the
// bytes that open the payload of every one of its packets (the private stream substream
// header). Plain data: tests may change any field of what the factories return.
struct Stream {
    uint8_t streamId = 0xE0;
    std::optional<uint8_t> streamIdExtension{};
    bool pstdBuffer = false;
    Bytes substreamHeader{};

    static Stream mpeg2Video(int number = 0); // 0xE0 + number
    static Stream h264Video(int number = 0);  // 0xE2 + number
    static Stream vc1Video(int number = 0);   // 0xFD, extension 0x55 + number, P-STD field
    static Stream extended(uint8_t streamIdExtension, bool pstdBuffer = true);
    static Stream mpegAudio(int number = 0); // 0xC0 + number
    // Private stream 1 audio: the substream id, then number of frame headers (1) and first
    // access unit pointer (0x0001).
    static Stream privateStream1(uint8_t substreamId);
    static Stream ac3(int number = 0);  // 0x80 + number
    static Stream dts(int number = 0);  // 0x88 + number
    static Stream eac3(int number = 0); // 0xC0 + number
    // 0xA0 + number; LPCM parameters: no emphasis, 16 bits, 48 kHz, 2 channels, no DRC.
    static Stream lpcm(int number = 0, std::array<uint8_t, 3> parameters = {0x00, 0x01, 0x80});
    static Stream trueHd(int number = 0);                 // 0xB0 + number, one more header byte
    static Stream subpicture(uint8_t substreamId = 0x20); // 0x20..0x3F, 0x60..0x7F
    static Stream advanced(); // private stream 2, substream 0x80 (ADV_PCK)
};

// Options of addPayload. The time stamps go into the first packet only.
struct PayloadOptions {
    std::optional<uint64_t> pts{};
    std::optional<uint64_t> dts{};
    std::size_t stuffing = 0;   // header stuffing in every packet
    std::size_t maxPerPack = 0; // payload bytes per packet, 0: as many as the pack holds
};

// Where a run of payload bytes went in the output.
struct PayloadSpan {
    std::size_t offset;
    std::size_t length;
};

// Fields of a navigation pack (NV_PCK). Offsets below are from D, the first byte behind the
// private stream 2 substream id.
struct NavPack {
    // System header.
    uint8_t audioBound = 0;
    uint8_t audioFlags = 0;
    uint8_t videoBound = 1;
    uint8_t videoFlags = 0xE0;
    // Data search information.
    uint16_t vobId = 1;                        // D + 24
    uint32_t firstPtm = 0;                     // D + 44
    uint32_t lastPtm = 0;                      // D + 48
    std::array<uint16_t, 8> audioSync{};       // D + 530 (EVO), D + 402 (VOB)
    std::array<uint32_t, 32> subpictureSync{}; // D + 546 (EVO), D + 418 (VOB)
    // General control information (EVO only).
    uint8_t encryption = 0; // D + 12
    bool cgmsValid = false; // valid flags at D + 24, bits 7..4
    bool apsValid = false;
    bool ictValid = false;
    bool dotValid = false;
    uint8_t cgms = 0; // values at D + 26: bits 7..5
    uint8_t aps = 0;  // bits 4..2
    bool ict = false; // bit 1
    bool dot = false; // bit 0
};

class PackWriter {
public:
    explicit PackWriter(MuxRate rate = MuxRate::HdDvd) : muxRate_(rate) {}

    // SCR base of the next pack; every pack advances it by the step (default 49, about the
    // time one pack takes at 30.24 Mbit/s).
    void setScr(uint64_t scr) { scr_ = scr; }
    void setScrStep(uint64_t step) { scrStep_ = step; }
    uint64_t scr() const { return scr_; }
    void setMuxRate(MuxRate rate) { muxRate_ = rate; }
    // Pack stuffing bytes (0..7) in the pack headers that follow; byte 13 becomes F8 | n.
    void setPackStuffing(std::size_t count) { packStuffing_ = count; }

    // HD DVD navigation pack: system header at 14, GCI at 38, PCI, DSI at 1287 (D = 1294).
    // Returns the offset of the pack.
    std::size_t addNavPack(const NavPack& nav);
    // DVD-Video navigation pack, always at the DVD mux rate: system header at 14, PCI at 38,
    // DSI at 1024 (D = 1031). The GCI fields of `nav` are not used.
    std::size_t addVobNavPack(const NavPack& nav);

    // Writes a payload as consecutive packs of one stream, each holding one packet that fills
    // it (padding packet or header stuffing behind a short last packet).
    std::vector<PayloadSpan> addPayload(const Stream& stream, std::span<const uint8_t> payload,
                                        const PayloadOptions& options = {});
    std::size_t addPaddingPack();

    // One pack holding one packet; the rest of the pack is a padding packet, or header
    // stuffing when only 1..5 bytes are left. Throws std::length_error when the packet does
    // not fit and std::invalid_argument when 1..5 bytes are left behind a packet without a
    // PES header.
    std::size_t addPesPack(const PesPacket& packet);
    // A pack header followed by the given bytes, then a padding packet for what is left.
    // Throws like addPesPack (1..5 spare bytes cannot be filled here).
    std::size_t addRawPack(std::initializer_list<std::span<const uint8_t>> parts);
    // Bytes appended as they are: no pack header, no alignment.
    void appendRaw(std::span<const uint8_t> data);
    void patch(std::size_t offset, std::span<const uint8_t> data);
    void truncate(std::size_t size);

    const Bytes& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    void writeTo(const std::filesystem::path& path) const;

private:
    std::size_t beginPack(MuxRate rate);
    void fillPack(std::size_t packStart);

    Bytes bytes_;
    uint64_t scr_ = 0;
    uint64_t scrStep_ = 49;
    MuxRate muxRate_;
    std::size_t packStuffing_ = 0;
};

// Writes bytes to a file, replacing it. Throws std::runtime_error on failure.
void writeFile(const std::filesystem::path& path, std::span<const uint8_t> data);

} // namespace tessary::test
