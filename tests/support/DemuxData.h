#pragma once

// Byte material for the Demux tests: random payloads, joined payloads and the subpicture
// records a Demux writes.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>

#include "PackWriter.h"

namespace tessary::test {

inline Bytes randomBytes(std::size_t size, unsigned salt) {
    std::mt19937 generator(salt);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(generator());
    return bytes;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// One record of a demuxed subpicture file: "SP", the time stamp and 0 (32 bits each,
// little-endian), then the unit's bytes.
inline Bytes subpictureRecord(uint32_t pts, const Bytes& unit) {
    Bytes r = {'S', 'P'};
    for (int i = 0; i < 4; ++i)
        r.push_back(static_cast<uint8_t>(pts >> (8 * i)));
    r.insert(r.end(), 4, 0);
    r.insert(r.end(), unit.begin(), unit.end());
    return r;
}

inline Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

} // namespace tessary::test
