#include "engine/StartCodeSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessary {

namespace {

std::size_t findScalar(const uint8_t* data, std::size_t from, std::size_t length) {
    for (std::size_t at = from; at < length; ++at) {
        const void* hit = std::memchr(data + at, 0x01, length - at);
        if (!hit) return length;
        at = static_cast<std::size_t>(static_cast<const uint8_t*>(hit) - data);
        if (at + 1 == length || startsSomething(data[at + 1])) return at;
    }
    return length;
}

} // namespace

#if defined(__SSE2__)

namespace {

// Lanes where lo <= byte <= hi (unsigned).
inline __m128i inRange(__m128i bytes, uint8_t lo, uint8_t hi) {
    const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(lo)));
    const __m128i span = _mm_set1_epi8(static_cast<char>(hi - lo));
    return _mm_cmpeq_epi8(_mm_min_epu8(shifted, span), shifted);
}

} // namespace

std::size_t findStartCandidate(const uint8_t* data, std::size_t from, std::size_t length) {
    // Sixteen 01 tests and the sixteen bytes behind them at a time; the last bytes (whose
    // follower may lie past the block) go the scalar way.
    std::size_t at = from;
    const __m128i ones = _mm_set1_epi8(1);
    while (at + 17 <= length) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 1));
        const __m128i follows = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(next, _mm_set1_epi8(static_cast<char>(0xBA))),
                         inRange(next, 0xBC, 0xCF)),
            _mm_or_si128(inRange(next, 0xE0, 0xE3),
                         _mm_cmpeq_epi8(next, _mm_set1_epi8(static_cast<char>(0xFD)))));
        const int mask = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, ones), follows));
        if (mask != 0)
            return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        at += 16;
    }
    return findScalar(data, at, length);
}

#else

std::size_t findStartCandidate(const uint8_t* data, std::size_t from, std::size_t length) {
    return findScalar(data, from, length);
}

#endif

} // namespace tessary
