#pragma once

#include <cstddef>
#include <cstdint>

namespace tessary {

// Whether a start code 00 00 01 followed by `code` can begin something the scanner acts on: a
// pack header (BA), a program stream map, private stream 1, padding or private stream 2
// (BC..BF), MPEG audio (C0..CF), a video stream (E0..E3) or an extended stream (FD).
constexpr bool startsSomething(uint8_t code) {
    return code == 0xBA || (code >= 0xBC && code <= 0xCF) || (code >= 0xE0 && code <= 0xE3) ||
           code == 0xFD;
}

// The position of the first 01 in data[from, length) that is the block's last byte or is
// followed by a byte that `startsSomething`; `length` when there is none. Between packets the
// scanner goes straight there: any other 01 (a flood of start codes that begin nothing
// included) changes nothing, and the search crosses such bytes many at a time.
std::size_t findStartCandidate(const uint8_t* data, std::size_t from, std::size_t length);

} // namespace tessary
