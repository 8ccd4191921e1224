#pragma once

// Where the program finds the fields of a navigation pack. Offsets of the data search
// information (DSI, private stream 2 substream 0x01) and the general control information
// (GCI, substream 0x04) count from D, the first byte behind the substream id byte; those of
// the system header count from the start of the first pack of the file. The report reads
// these fields and the pack filter of Rebuild rewrites them, so both take them from here.

#include <cstddef>
#include <cstdint>

namespace tessary::nav {

// System header behind the 14-byte pack header of the first pack.
inline constexpr std::size_t kSystemHeaderStartCode = 16; // bytes 16, 17 = 01 BB
inline constexpr std::size_t kAudioBoundByte = 23;        // bits 7..2
inline constexpr std::size_t kVideoBoundByte = 24;        // bits 4..0

// Where an HD DVD navigation pack holds its DSI packet, from the start of the pack: the packet's
// start code at 1287, then its length (0x02F3) and substream id 0x01, so D is 1294.
inline constexpr std::size_t kEvoDsiPacket = 1287;
inline constexpr std::size_t kEvoDsiData = kEvoDsiPacket + 7;
// Bytes 1289 to 1293 of a navigation pack whose DSI is at its place.
inline constexpr uint8_t kEvoDsiHeader[5] = {0x01, 0xBF, 0x02, 0xF3, 0x01};

// Data search information.
inline constexpr std::size_t kVobId = 24;         // 16 bits
inline constexpr std::size_t kFirstVideoPtm = 44; // 32 bits
inline constexpr std::size_t kLastVideoPtm = 48;  // 32 bits
inline constexpr int kAudioSyncEntries = 8;       // 16 bits each
inline constexpr int kSubpictureSyncEntries = 32; // 32 bits each
inline constexpr std::size_t kAudioSyncEvo = 530; // EVO and AOB sources
inline constexpr std::size_t kSubpictureSyncEvo = 546;
inline constexpr std::size_t kAudioSyncVob = 402; // DVD-Video sources
inline constexpr std::size_t kSubpictureSyncVob = 418;

// The sync tables of a source's layout.
struct SyncTables {
    std::size_t audio;
    std::size_t subpicture;
    // Bytes from D that a DSI must hold for the tables to be read.
    std::size_t end() const { return subpicture + kSubpictureSyncEntries * 4; }
};
inline constexpr SyncTables syncTables(bool dvdVideo) {
    return dvdVideo ? SyncTables{kAudioSyncVob, kSubpictureSyncVob}
                    : SyncTables{kAudioSyncEvo, kSubpictureSyncEvo};
}

// General control information.
inline constexpr std::size_t kEncryption = 12;     // bits 7..6: encrypted
inline constexpr std::size_t kCopyValidFlags = 24; // bit 7 CGMS, 6 APS, 5 ICT, 4 DOT valid
inline constexpr std::size_t kCopyValues = 26;     // bits 7..5 CGMS, 4..2 APS, 1 ICT, 0 DOT

inline uint32_t readBe16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}
inline uint32_t readBe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}
inline void writeBe16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 8);
    p[1] = static_cast<uint8_t>(value);
}
inline void writeBe32(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

} // namespace tessary::nav
