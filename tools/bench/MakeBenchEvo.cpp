// tessary-make-bench-evo: writes a large synthetic HD DVD program stream (.EVO) for timing the
// Read pass. The file is a sequence of 2048-byte packs multiplexed at 30.24 Mbit/s:
//
//   - a navigation pack (system header, GCI, PCI, DSI) before every GOP of 12 frames
//     (about 0.5 s at 23.976 frames/s);
//   - one video stream at 24.5 Mbit/s: VC-1 (stream id 0xFD, extension 0x55) or H.264
//     (0xE2), pseudo-random frame data with emulation prevention, so that the only start
//     codes are the real ones (sequence header, entry point, frame; or AUD, SPS, PPS, slices);
//   - five private stream 1 audio streams: AC-3 0x80, DTS 0x89, TrueHD 0xB2, E-AC-3 0xC3 and
//     0xC4, with plausible frame headers;
//   - two subpicture streams (0x20, 0x21) with a subtitle every few seconds, advanced packs
//     (private stream 2, 0x80) and padding packs for the rest.
//
// The file is streamed to disk pack by pack. The number of video frames written is printed,
// so that a reader of the file can check its count.

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPackSize = 2048;
constexpr std::size_t kPackHeaderSize = 14;
constexpr std::size_t kPaddingMin = 6;
constexpr double kMuxBytesPerSecond = 3780000.0; // 30.24 Mbit/s
constexpr double kPackSeconds = kPackSize / kMuxBytesPerSecond;
constexpr uint64_t kClock = 90000;
constexpr uint64_t kStartPts = 90000; // one second
constexpr int kGopFrames = 12;
// 23.976 frames/s: 3753.75 ticks of 90 kHz per frame.
constexpr uint64_t kFrameNum = 90000 * 1001;
constexpr uint64_t kFrameDen = 24000;

uint64_t frameTicks(uint64_t frame) {
    return frame * kFrameNum / kFrameDen;
}

// xoshiro256**: fast, reproducible pseudo-random bytes.
class Random {
public:
    explicit Random(uint64_t salt) {
        for (auto& word : s_) {
            salt += 0x9E3779B97F4A7C15ull;
            uint64_t z = salt;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }
    uint64_t next() {
        const uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return result;
    }
    // A value in [low, high].
    uint32_t between(uint32_t low, uint32_t high) {
        return low + static_cast<uint32_t>(next() % (high - low + 1));
    }
    void fill(uint8_t* data, std::size_t count) {
        while (count >= 8) {
            const uint64_t v = next();
            std::memcpy(data, &v, 8);
            data += 8;
            count -= 8;
        }
        if (count > 0) {
            const uint64_t v = next();
            std::memcpy(data, &v, count);
        }
    }

private:
    static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::array<uint64_t, 4> s_{};
};

// MSB-first bit writer for the frame headers.
class Bits {
public:
    explicit Bits(std::vector<uint8_t>& out) : out_(out) {}
    void put(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (used_ == 0) out_.push_back(0);
            if ((value >> i) & 1) out_.back() |= static_cast<uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) & 7;
        }
    }

private:
    std::vector<uint8_t>& out_;
    int used_ = 0;
};

void appendBytes(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Appends `count` random bytes with emulation prevention (a 03 after two zero bytes that would
// be followed by 00..03), as in a compressed VC-1 or H.264 stream. The last byte is non-zero
// (the trailing bits of a unit), so no start code can form across the end.
void appendCompressed(std::vector<uint8_t>& out, Random& random, std::size_t count) {
    const std::size_t begin = out.size();
    std::array<uint8_t, 4096> raw;
    int zeros = 0;
    while (count > 0) {
        const std::size_t n = std::min(count, raw.size());
        random.fill(raw.data(), n);
        for (std::size_t i = 0; i < n; ++i) {
            const uint8_t b = raw[i];
            if (zeros >= 2 && b <= 3) {
                out.push_back(0x03);
                zeros = 0;
            }
            out.push_back(b);
            zeros = b == 0 ? zeros + 1 : 0;
        }
        count -= n;
    }
    if (out.size() > begin) out.back() = 0x80;
}

// The 5-byte PTS/DTS field.
std::array<uint8_t, 5> timestamp(uint8_t prefix, uint64_t value) {
    return {static_cast<uint8_t>(prefix << 4 | ((value >> 29) & 0x0E) | 1),
            static_cast<uint8_t>(value >> 22), static_cast<uint8_t>(((value >> 14) & 0xFE) | 1),
            static_cast<uint8_t>(value >> 7), static_cast<uint8_t>(((value << 1) & 0xFE) | 1)};
}

// One pack being assembled.
class Pack {
public:
    explicit Pack(uint64_t scr) {
        const uint8_t header[kPackHeaderSize] = {
            0x00,
            0x00,
            0x01,
            0xBA,
            static_cast<uint8_t>(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03)),
            static_cast<uint8_t>(scr >> 20),
            static_cast<uint8_t>(((scr >> 12) & 0xF8) | 0x04 | ((scr >> 13) & 0x03)),
            static_cast<uint8_t>(scr >> 5),
            static_cast<uint8_t>(((scr << 3) & 0xF8) | 0x04),
            0x01,
            0x04,
            0x9D,
            0x43, // program_mux_rate 75 600
            0xF8};
        put(header, sizeof header);
    }
    std::size_t room() const { return kPackSize - used_; }
    void put(const uint8_t* data, std::size_t count) {
        if (count == 0) return;
        if (count > room()) throw std::logic_error("pack overflow");
        std::memcpy(bytes_.data() + used_, data, count);
        used_ += count;
    }
    void put(uint8_t byte) { put(&byte, 1); }
    void put(const std::vector<uint8_t>& data) { put(data.data(), data.size()); }
    void startCode(uint8_t streamId, std::size_t length) {
        const uint8_t code[6] = {0x00,
                                 0x00,
                                 0x01,
                                 streamId,
                                 static_cast<uint8_t>(length >> 8),
                                 static_cast<uint8_t>(length)};
        put(code, sizeof code);
    }
    // Fills the rest with a padding packet.
    const uint8_t* finish() {
        if (room() > 0) {
            if (room() < kPaddingMin) throw std::logic_error("cannot pad 1..5 bytes");
            startCode(0xBE, room() - kPaddingMin);
            std::memset(bytes_.data() + used_, 0xFF, room());
            used_ = kPackSize;
        }
        return bytes_.data();
    }

private:
    std::array<uint8_t, kPackSize> bytes_{};
    std::size_t used_ = 0;
};

// The payload of one packet taken from a source, with the time stamps of the first unit that
// starts in it.
struct Piece {
    std::size_t length = 0;
    std::optional<uint64_t> pts;
    std::optional<uint64_t> dts;
};

// An elementary stream as a queue of bytes with the start of each unit marked. Sources either
// let packets run across units (audio) or start a packet at every group (a GOP, a subtitle).
class Source {
public:
    virtual ~Source() = default;

    // Queues what the next packet of at most `max` bytes may take.
    void fill(std::size_t max) {
        if (spanGroups_) {
            while (data_.size() - pos_ < max)
                produce();
        } else if (pos_ == data_.size()) {
            produce();
        }
    }
    // The distance to the next unit start, and whether it has a DTS.
    struct NextMark {
        std::size_t distance;
        bool dts;
    };
    std::optional<NextMark> nextMark() const {
        if (mark_ == marks_.size()) return std::nullopt;
        return NextMark{marks_[mark_].offset - pos_, marks_[mark_].dts.has_value()};
    }
    // The next packet payload of at most `max` bytes into `out`.
    Piece take(std::size_t max, uint8_t* out) {
        fill(max);
        Piece piece;
        piece.length = std::min(max, data_.size() - pos_);
        std::memcpy(out, data_.data() + pos_, piece.length);
        const std::size_t end = pos_ + piece.length;
        while (mark_ < marks_.size() && marks_[mark_].offset < end) {
            if (!piece.pts) {
                piece.pts = marks_[mark_].pts;
                piece.dts = marks_[mark_].dts;
            }
            ++mark_;
        }
        pos_ = end;
        if (pos_ == data_.size() || pos_ > 65536) compact();
        return piece;
    }
    // True when the next byte begins a group (or nothing is queued).
    bool atGroupStart() const { return pos_ == data_.size(); }

protected:
    explicit Source(bool spanGroups) : spanGroups_(spanGroups) {}
    virtual void produce() = 0;
    void mark(uint64_t pts, std::optional<uint64_t> dts = std::nullopt) {
        marks_.push_back({data_.size(), pts, dts});
    }
    std::vector<uint8_t> data_;

private:
    struct Mark {
        std::size_t offset;
        uint64_t pts;
        std::optional<uint64_t> dts;
    };
    void compact() {
        data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(pos_));
        marks_.erase(marks_.begin(), marks_.begin() + static_cast<std::ptrdiff_t>(mark_));
        for (auto& m : marks_)
            m.offset -= pos_;
        pos_ = 0;
        mark_ = 0;
    }
    bool spanGroups_;
    std::size_t pos_ = 0;
    std::vector<Mark> marks_;
    std::size_t mark_ = 0;
};

enum class VideoKind { Vc1, H264 };

// One GOP per group: I P B B P B B P B B P B B in coded order, sizes weighted 5 : 2 : 1 and
// scaled so that every GOP has exactly the bytes of the video rate.
class VideoSource : public Source {
public:
    VideoSource(VideoKind kind, double bitsPerSecond, Random& random)
        : Source(false), kind_(kind), random_(random),
          gopBytes_(static_cast<std::size_t>(bitsPerSecond / 8 * kGopFrames * kFrameNum /
                                             kFrameDen / kClock)) {}

    uint64_t gops() const { return gops_; }
    uint64_t frames() const { return frames_; }

protected:
    void produce() override {
        // Coded order with display positions: I0 P3 B1 B2 P6 B4 B5 P9 B7 B8 P11 B10.
        static constexpr int kDisplay[kGopFrames] = {0, 3, 1, 2, 6, 4, 5, 9, 7, 8, 11, 10};
        static constexpr int kWeight[kGopFrames] = {5, 2, 1, 1, 2, 1, 1, 2, 1, 1, 2, 1};
        int totalWeight = 0;
        for (int w : kWeight)
            totalWeight += w;
        const uint64_t first = gops_ * kGopFrames;
        const std::size_t groupBegin = data_.size();
        for (int i = 0; i < kGopFrames; ++i) {
            const uint64_t pts = kStartPts + frameTicks(first + kDisplay[i]) + frameTicks(1);
            const uint64_t dts = kStartPts + frameTicks(first + i);
            const bool reference = kWeight[i] > 1;
            if (reference)
                mark(pts, dts);
            else
                mark(pts);
            const std::size_t size = gopBytes_ * kWeight[i] / totalWeight;
            // +-10 % around the nominal size; the last frame takes what is left.
            const std::size_t target =
                i + 1 < kGopFrames ? size * random_.between(90, 110) / 100 : 0;
            const std::size_t begin = data_.size();
            if (kind_ == VideoKind::Vc1)
                vc1Frame(i == 0);
            else
                h264Frame(i == 0, reference);
            const std::size_t written = data_.size() - begin;
            const std::size_t groupSoFar = data_.size() - groupBegin;
            std::size_t body = 0;
            if (i + 1 < kGopFrames)
                body = target > written ? target - written : 0;
            else
                body = gopBytes_ > groupSoFar ? gopBytes_ - groupSoFar : 0;
            // Random data grows by about 1/65536 with emulation prevention; close enough.
            if (kind_ == VideoKind::Vc1) {
                appendCompressed(data_, random_, body);
            } else {
                // Four slices per picture.
                const std::size_t slice = body / 4;
                for (int s = 0; s < 4; ++s) {
                    if (s > 0) h264Slice(i == 0, reference);
                    appendCompressed(data_, random_, s < 3 ? slice : body - 3 * slice);
                }
            }
            ++frames_;
        }
        ++gops_;
    }

private:
    void vc1Frame(bool gopStart) {
        if (gopStart) {
            // Sequence header: advanced profile, level 3, 4:2:0, 1920x1080 progressive.
            appendBytes(data_, {0x00, 0x00, 0x01, 0x0F});
            Bits bits(data_);
            bits.put(3, 2);  // profile
            bits.put(3, 3);  // level
            bits.put(1, 2);  // chroma format
            bits.put(7, 3);  // frame rate for post-processing
            bits.put(31, 5); // bit rate for post-processing
            bits.put(0, 1);  // no post-processing
            bits.put(1920 / 2 - 1, 12);
            bits.put(1080 / 2 - 1, 12);
            bits.put(0, 4);    // pulldown, interlace, frame counter, interpolation
            bits.put(1, 1);    // reserved
            bits.put(0, 3);    // progressive segmented frame, display info, HRD
            bits.put(0x80, 8); // trailing bits
            // Entry point: closed, loop filter and variable-size transform on.
            appendBytes(data_, {0x00, 0x00, 0x01, 0x0E});
            Bits entry(data_);
            entry.put(0b01001000010000, 14);
            entry.put(0x80, 8);
        }
        appendBytes(data_, {0x00, 0x00, 0x01, 0x0D});
    }
    void h264Frame(bool idr, bool reference) {
        // Access unit delimiter, then SPS, PPS and SEI before an IDR picture.
        appendBytes(data_, {0x00, 0x00, 0x00, 0x01, 0x09, static_cast<uint8_t>(idr ? 0x10 : 0x30)});
        if (idr) {
            appendBytes(data_, {0x00, 0x00, 0x01, 0x67, 0x64, 0x00, 0x29, 0xAC, 0x2C, 0xA8,
                                0x07, 0x80, 0x22, 0x7E, 0x5C, 0x04, 0x40, 0x00, 0x00, 0x03,
                                0x00, 0x40, 0x00, 0x00, 0x0F, 0x03, 0xC6, 0x0C, 0x92});
            appendBytes(data_, {0x00, 0x00, 0x01, 0x68, 0xEB, 0xEC, 0xB2, 0x2C});
            appendBytes(data_, {0x00, 0x00, 0x01, 0x06, 0x05, 0x10});
            appendCompressed(data_, random_, 16);
        }
        h264Slice(idr, reference);
    }
    void h264Slice(bool idr, bool reference) {
        appendBytes(data_, {0x00, 0x00, 0x01,
                            static_cast<uint8_t>(idr ? 0x65 : (reference ? 0x41 : 0x01)), 0x88});
    }

    VideoKind kind_;
    Random& random_;
    std::size_t gopBytes_;
    uint64_t gops_ = 0;
    uint64_t frames_ = 0;
};

enum class AudioKind { Ac3, Eac3, Dts, TrueHd };

// Fixed-size frames (TrueHD: variable access units with a major sync every 128 of them).
class AudioSource : public Source {
public:
    AudioSource(AudioKind kind, double bitsPerSecond, Random& random)
        : Source(true), kind_(kind), random_(random), bitsPerSecond_(bitsPerSecond) {}

protected:
    void produce() override {
        switch (kind_) {
        case AudioKind::Ac3: ac3Frame(); break;
        case AudioKind::Eac3: eac3Frame(); break;
        case AudioKind::Dts: dtsFrame(); break;
        case AudioKind::TrueHd: trueHdUnit(); break;
        }
        ++frames_;
    }

private:
    // Bytes of a frame of `samples` samples at 48 kHz.
    std::size_t frameBytes(int samples) const {
        return static_cast<std::size_t>(bitsPerSecond_ / 8 * samples / 48000);
    }
    void body(std::size_t begin, std::size_t size) {
        const std::size_t used = data_.size() - begin;
        const std::size_t rest = size > used ? size - used : 0;
        const std::size_t at = data_.size();
        data_.resize(at + rest);
        random_.fill(data_.data() + at, rest);
    }
    void ac3Frame() {
        // 1536 samples; 448 kbit/s at 48 kHz is frmsizecod 30, 1792 bytes.
        mark(kStartPts + frames_ * 2880);
        const std::size_t begin = data_.size();
        appendBytes(data_, {0x0B, 0x77, 0x5E, 0x21, 0x1E, 0x40, 0xEB});
        body(begin, 1792);
    }
    void eac3Frame() {
        mark(kStartPts + frames_ * 2880);
        const std::size_t begin = data_.size();
        const std::size_t size = frameBytes(1536) & ~std::size_t{1};
        appendBytes(data_, {0x0B, 0x77});
        Bits bits(data_);
        bits.put(0, 2);                                    // strmtyp: independent
        bits.put(0, 3);                                    // substreamid
        bits.put(static_cast<uint32_t>(size / 2 - 1), 11); // frmsiz
        bits.put(0, 2);                                    // fscod 48 kHz
        bits.put(3, 2);                                    // six blocks
        bits.put(7, 3);                                    // acmod 3/2
        bits.put(1, 1);                                    // lfeon
        bits.put(16, 5);                                   // bsid
        bits.put(27, 5);                                   // dialnorm
        bits.put(0, 3);
        body(begin, size);
    }
    void dtsFrame() {
        // 512 samples, 2013 bytes at 1509.75 kbit/s.
        mark(kStartPts + frames_ * 960);
        const std::size_t begin = data_.size();
        const std::size_t size = frameBytes(512);
        appendBytes(data_, {0x7F, 0xFE, 0x80, 0x01});
        Bits bits(data_);
        bits.put(1, 1);                                // normal frame
        bits.put(31, 5);                               // deficit sample count
        bits.put(0, 1);                                // no CRC
        bits.put(15, 7);                               // 16 blocks of 32 samples
        bits.put(static_cast<uint32_t>(size - 1), 14); // frame size
        bits.put(9, 6);                                // 3/2 channels
        bits.put(13, 4);                               // 48 kHz
        bits.put(24, 5);                               // 1509.75 kbit/s
        bits.put(0, 5);                                // flags
        bits.put(0, 3);                                // extension id
        bits.put(0, 1);                                // no extension
        bits.put(1, 1);                                // audio sync word insertion
        bits.put(2, 2);                                // LFE, 128 interpolation
        bits.put(0, 4);
        body(begin, size);
    }
    void trueHdUnit() {
        // 40 samples per access unit: 1/1200 s, 75 ticks.
        mark(kStartPts + frames_ * 75);
        const std::size_t begin = data_.size();
        const std::size_t nominal = frameBytes(40);
        std::size_t size = nominal * random_.between(70, 130) / 100;
        const bool major = frames_ % 128 == 0;
        if (major) size += 32;
        size = std::max<std::size_t>(size & ~std::size_t{1}, 64);
        const uint32_t words = static_cast<uint32_t>(size / 2);
        const uint16_t timing = static_cast<uint16_t>(frames_ * 40);
        appendBytes(data_, {static_cast<uint8_t>(0xF0 | ((words >> 8) & 0x0F)),
                            static_cast<uint8_t>(words), static_cast<uint8_t>(timing >> 8),
                            static_cast<uint8_t>(timing)});
        if (major) {
            // Major sync: TrueHD, 48 kHz, 5.1.
            appendBytes(data_, {0xF8, 0x72, 0x6F, 0xBA, 0x00, 0x00, 0x00, 0x0F, 0xB3, 0xBA, 0x00,
                                0x01, 0x80, 0x06, 0x00, 0x00});
        }
        body(begin, size);
    }

    AudioKind kind_;
    Random& random_;
    double bitsPerSecond_;
    uint64_t frames_ = 0;
};

// A subtitle every 2..6 s: a 2-bit RLE subpicture unit of 12..30 KB with its display control
// sequences, sent as a burst of packs as soon as it is due.
class SubpictureSource : public Source {
public:
    SubpictureSource(Random& random, double firstEvent)
        : Source(false), random_(random), nextEvent_(firstEvent) {}

    // True while a unit is queued or due at `now`.
    bool ready(double now) {
        if (!atGroupStart() || armed_) return true;
        if (now < nextEvent_) return false;
        armed_ = true;
        eventTime_ = now;
        nextEvent_ = now + random_.between(2000, 6000) / 1000.0;
        return true;
    }

protected:
    void produce() override {
        armed_ = false;
        mark(kStartPts + static_cast<uint64_t>(eventTime_ * kClock) + kClock / 2);
        const std::size_t size = random_.between(12000, 30000);
        const std::size_t dcsq = size - 30;
        appendBytes(data_, {static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size),
                            static_cast<uint8_t>(dcsq >> 8), static_cast<uint8_t>(dcsq)});
        const std::size_t at = data_.size();
        data_.resize(at + dcsq - 4);
        random_.fill(data_.data() + at, dcsq - 4);
        const std::size_t stop = dcsq + 24;
        // Start display, palette, contrast, area, pixel data; then stop display after 2 s.
        appendBytes(data_, {0x00,
                            0x00,
                            static_cast<uint8_t>(stop >> 8),
                            static_cast<uint8_t>(stop),
                            0x01,
                            0x03,
                            0x0F,
                            0x10,
                            0x04,
                            0xFF,
                            0xF0,
                            0x05,
                            0x00,
                            0x07,
                            0x7F,
                            0x38,
                            0x43,
                            0x97,
                            0x06,
                            0x00,
                            0x04,
                            0x40,
                            0x00,
                            0xFF});
        appendBytes(data_, {0x00, 0xC8, static_cast<uint8_t>(stop >> 8), static_cast<uint8_t>(stop),
                            0x02, 0xFF});
    }

private:
    Random& random_;
    double nextEvent_;
    double eventTime_ = 0;
    bool armed_ = false;
};

// Advanced content (private stream 2, substream 0x80): opaque data in whole packs.
class AdvancedSource : public Source {
public:
    explicit AdvancedSource(Random& random) : Source(true), random_(random) {}

protected:
    void produce() override {
        const std::size_t at = data_.size();
        data_.resize(at + 65536);
        random_.fill(data_.data() + at, 65536);
    }

private:
    Random& random_;
};

// Private stream 1 substream header: the substream id, frame header count, first access unit
// pointer; TrueHD has one more byte.
std::vector<uint8_t> substreamHeader(uint8_t id) {
    std::vector<uint8_t> header = {id, 0x01, 0x00, 0x01};
    if (id >= 0xB0 && id <= 0xB7) header.push_back(0x00);
    return header;
}

struct Stream {
    enum class Kind { Video, Private1, Advanced } kind;
    std::unique_ptr<Source> source;
    double bytesPerSecond;
    std::vector<uint8_t> substream; // private stream 1 header
    double credit = 0;
    uint64_t packs = 0;
    const char* name;
    SubpictureSource* subtitles = nullptr; // sent in bursts when due, not at a rate
};

struct Options {
    std::string path;
    uint64_t sizeMb = 1024;
    VideoKind video = VideoKind::Vc1;
    uint64_t salt = 1;
};

class Muxer {
public:
    Muxer(const Options& options, std::FILE* out)
        : options_(options), out_(out), random_(options.salt) {
        const double videoRate = 24.5e6;
        auto video = std::make_unique<VideoSource>(options.video, videoRate, random_);
        video_ = video.get();
        streams_.push_back({Stream::Kind::Video,
                            std::move(video),
                            videoRate / 8,
                            {},
                            0,
                            0,
                            options.video == VideoKind::Vc1 ? "VC-1 video" : "H.264 video"});
        addAudio(AudioKind::Ac3, 448e3, 0x80, "AC-3 0x80");
        addAudio(AudioKind::Dts, 1509.75e3, 0x89, "DTS 0x89");
        addAudio(AudioKind::TrueHd, 2.2e6, 0xB2, "TrueHD 0xB2");
        addAudio(AudioKind::Eac3, 384e3, 0xC3, "E-AC-3 0xC3");
        addAudio(AudioKind::Eac3, 384e3, 0xC4, "E-AC-3 0xC4");
        for (uint8_t id : {uint8_t{0x20}, uint8_t{0x21}}) {
            auto sub = std::make_unique<SubpictureSource>(random_, id == 0x20 ? 1.0 : 1.7);
            SubpictureSource* events = sub.get();
            streams_.push_back({Stream::Kind::Private1,
                                std::move(sub),
                                0,
                                {id},
                                0,
                                0,
                                id == 0x20 ? "subpicture 0x20" : "subpicture 0x21",
                                events});
        }
        streams_.push_back({Stream::Kind::Advanced,
                            std::make_unique<AdvancedSource>(random_),
                            40e3 / 8,
                            {0x80},
                            0,
                            0,
                            "advanced packs"});

        // Whole GOPs: the first that reaches the wanted size ends the file.
        const double gopSeconds = static_cast<double>(kGopFrames * kFrameNum) / kFrameDen / kClock;
        const double bytes = static_cast<double>(options.sizeMb) * 1048576.0;
        gopLimit_ = std::max<uint64_t>(
            1, static_cast<uint64_t>(bytes / (gopSeconds * kMuxBytesPerSecond) + 0.999));
        packLimit_ = static_cast<uint64_t>((gopLimit_ + 2) * gopSeconds * kMuxBytesPerSecond * 1.1 /
                                           kPackSize);
    }

    void run() {
        std::vector<uint8_t> payload(kPackSize);
        navPack();
        for (;;) {
            const double now = static_cast<double>(packs_) * kPackSeconds;
            for (auto& s : streams_) {
                if (s.subtitles)
                    s.credit = s.subtitles->ready(now) ? 1e12 : -1;
                else
                    s.credit += s.bytesPerSecond * kPackSeconds;
            }
            Stream* best = nullptr;
            for (auto& s : streams_)
                if (s.credit > 0 && (!best || s.credit > best->credit)) best = &s;
            if (!best) {
                Pack pack(scr());
                write(pack);
                ++paddingPacks_;
                continue;
            }
            // A navigation pack opens every GOP; the file ends before the one past the limit.
            if (best->kind == Stream::Kind::Video && video_->atGroupStart() &&
                navGop_ != video_->gops()) {
                if (video_->gops() == gopLimit_) break;
                navPack();
                continue;
            }
            if (packs_ > packLimit_) throw std::logic_error("the multiplexer runs away");
            packetPack(*best, payload.data());
        }
        flush();
    }

    void summary() const {
        std::printf("file: %s\n", options_.path.c_str());
        std::printf("size: %llu bytes (%llu packs, %.1f MB)\n",
                    static_cast<unsigned long long>(packs_ * kPackSize),
                    static_cast<unsigned long long>(packs_), packs_ * kPackSize / 1e6);
        std::printf("duration: %.1f s, %llu GOPs\n",
                    static_cast<double>(frameTicks(video_->frames())) / kClock,
                    static_cast<unsigned long long>(video_->gops()));
        std::printf("navigation packs: %llu\n", static_cast<unsigned long long>(navPacks_));
        for (const auto& s : streams_)
            std::printf("%s packs: %llu\n", s.name, static_cast<unsigned long long>(s.packs));
        std::printf("padding packs: %llu\n", static_cast<unsigned long long>(paddingPacks_));
        std::printf("video frames: %llu\n", static_cast<unsigned long long>(video_->frames()));
    }

private:
    void addAudio(AudioKind kind, double bitsPerSecond, uint8_t id, const char* name) {
        streams_.push_back({Stream::Kind::Private1,
                            std::make_unique<AudioSource>(kind, bitsPerSecond, random_),
                            bitsPerSecond / 8, substreamHeader(id), 0, 0, name});
    }

    uint64_t scr() const { return packs_ * kPackSize * kClock / 3780000; }

    // One packet of `s` in a pack of its own.
    void packetPack(Stream& s, uint8_t* payload) {
        Pack pack(scr());
        if (s.kind == Stream::Kind::Advanced) {
            // No PES header, so no stuffing: always a whole pack.
            const std::size_t length = pack.room() - 6 - s.substream.size();
            s.source->take(length, payload);
            pack.startCode(0xBF, length + s.substream.size());
            pack.put(s.substream);
            pack.put(payload, length);
            finishPacket(s, pack, length);
            return;
        }
        const bool video = s.kind == Stream::Kind::Video;
        const bool vc1 = video && options_.video == VideoKind::Vc1;
        // PES header: flags, length, the PES extension of VC-1; time stamps when a unit
        // starts in the packet.
        const std::size_t extension = vc1 ? 5 : 0;
        const std::size_t room = pack.room() - 6 - 3 - extension - s.substream.size();
        s.source->fill(room);
        std::size_t take = room;
        if (const auto next = s.source->nextMark(); next && next->distance < room)
            take = room - (next->dts ? 10 : 5); // a unit starting past that has no stamp here
        const Piece piece = s.source->take(take, payload);
        std::size_t header = 3 + extension + (piece.pts ? (piece.dts ? 10 : 5) : 0);
        std::size_t used = 6 + header + s.substream.size() + piece.length;
        std::size_t stuffing = 0;
        const std::size_t spare = pack.room() - used;
        if (spare > 0 && spare < kPaddingMin) stuffing = spare;
        header += stuffing;

        pack.startCode(video ? (vc1 ? 0xFD : 0xE2) : 0xBD,
                       header + s.substream.size() + piece.length);
        pack.put(0x81);
        pack.put(static_cast<uint8_t>((piece.pts ? (piece.dts ? 0xC0 : 0x80) : 0x00) |
                                      (vc1 ? 0x01 : 0x00)));
        pack.put(static_cast<uint8_t>(header - 3));
        if (piece.pts) {
            const auto pts = timestamp(piece.dts ? 0x3 : 0x2, *piece.pts);
            pack.put(pts.data(), pts.size());
            if (piece.dts) {
                const auto dts = timestamp(0x1, *piece.dts);
                pack.put(dts.data(), dts.size());
            }
        }
        if (vc1) {
            // P-STD buffer and PES extension 2 with stream_id_extension 0x55.
            const uint8_t ext[5] = {0x1F, 0x60, 0xE8, 0x81, 0x55};
            pack.put(ext, sizeof ext);
        }
        for (std::size_t i = 0; i < stuffing; ++i)
            pack.put(0xFF);
        pack.put(s.substream);
        pack.put(payload, piece.length);
        finishPacket(s, pack, piece.length);
    }

    void finishPacket(Stream& s, Pack& pack, std::size_t payloadBytes) {
        write(pack);
        s.credit -= static_cast<double>(payloadBytes + s.substream.size());
        ++s.packs;
    }

    void navPack() {
        navGop_ = video_->gops();
        const uint64_t frame = video_->gops() * kGopFrames;
        Pack pack(scr());
        // System header: rate bound 75 600, five audio streams, one video stream.
        pack.startCode(0xBB, 18);
        const uint8_t system[18] = {0x82, 0x4E, 0xA1, 5 << 2, 0xE1, 0xFF, 0xE0, 0xE0, 0xE8,
                                    0xC0, 0xC0, 0x20, 0xBD,   0xE0, 0x3A, 0xBF, 0xE0, 0x02};
        pack.put(system, sizeof system);
        // General control information (substream 0x04) from 38, 256 bytes: not encrypted, no
        // copy control.
        pack.startCode(0xBF, 250);
        pack.put(0x04);
        std::vector<uint8_t> zeros(1024, 0);
        pack.put(zeros.data(), 249);
        // Presentation control information (0x00) up to the DSI at 1287.
        const std::size_t pci = 1287 - 294;
        pack.startCode(0xBF, pci - 6);
        pack.put(0x00);
        pack.put(zeros.data(), pci - 7);
        // Data search information (0x01) to the end of the pack.
        std::vector<uint8_t> dsi(kPackSize - 1287 - 7, 0);
        auto be16 = [&](std::size_t at, uint32_t v) {
            dsi[at] = static_cast<uint8_t>(v >> 8);
            dsi[at + 1] = static_cast<uint8_t>(v);
        };
        auto be32 = [&](std::size_t at, uint32_t v) {
            be16(at, v >> 16);
            be16(at + 2, v & 0xFFFF);
        };
        be32(0, static_cast<uint32_t>(scr()));      // SCR of this pack
        be16(24, 1);                                // VOB id
        be32(44, static_cast<uint32_t>(kStartPts)); // first video frame of the VOB
        be32(48, static_cast<uint32_t>(kStartPts + frameTicks(gopLimit_ * kGopFrames))); // end
        be32(52, static_cast<uint32_t>(kStartPts + frameTicks(frame))); // this VOBU's start
        for (int i = 0; i < 5; ++i)
            be16(530 + 2 * i, 0x8000 | (16 * i + 4)); // audio sync addresses
        for (int i = 0; i < 2; ++i)
            be32(546 + 4 * i, 0x80000000u | static_cast<uint32_t>(100 + i)); // subpicture sync
        pack.startCode(0xBF, dsi.size() + 1);
        pack.put(0x01);
        pack.put(dsi);
        write(pack);
        ++navPacks_;
    }

    void write(Pack& pack) {
        const uint8_t* bytes = pack.finish();
        std::memcpy(buffer_.data() + buffered_, bytes, kPackSize);
        buffered_ += kPackSize;
        ++packs_;
        if (buffered_ == buffer_.size()) flush();
    }
    void flush() {
        if (buffered_ > 0 && std::fwrite(buffer_.data(), 1, buffered_, out_) != buffered_)
            throw std::runtime_error(std::string("write error: ") + std::strerror(errno));
        buffered_ = 0;
    }

    const Options& options_;
    std::FILE* out_;
    Random random_;
    std::vector<Stream> streams_;
    VideoSource* video_ = nullptr;
    uint64_t gopLimit_ = 0;
    uint64_t navGop_ = 0; // the GOP whose navigation pack was written last
    uint64_t packLimit_ = 0;
    uint64_t packs_ = 0;
    uint64_t navPacks_ = 0;
    uint64_t paddingPacks_ = 0;
    std::vector<uint8_t> buffer_ = std::vector<uint8_t>(512 * kPackSize);
    std::size_t buffered_ = 0;
};

void usage(std::FILE* to) {
    std::fprintf(to, "usage: tessary-make-bench-evo OUTPUT [--size-mb N] [--video vc1|h264] "
                     "[--salt N]\n"
                     "Writes a synthetic .EVO of about N MiB (default 1024) of whole GOPs.\n");
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage(stderr);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--size-mb") {
            options.sizeMb = std::strtoull(value().c_str(), nullptr, 10);
        } else if (arg == "--video") {
            const std::string v = value();
            if (v == "vc1") {
                options.video = VideoKind::Vc1;
            } else if (v == "h264") {
                options.video = VideoKind::H264;
            } else {
                usage(stderr);
                return 2;
            }
        } else if (arg == "--salt") {
            options.salt = std::strtoull(value().c_str(), nullptr, 10);
        } else if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        } else if (options.path.empty() && !arg.starts_with("-")) {
            options.path = arg;
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (options.path.empty() || options.sizeMb == 0) {
        usage(stderr);
        return 2;
    }
    std::FILE* out = std::fopen(options.path.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "cannot create %s: %s\n", options.path.c_str(), std::strerror(errno));
        return 1;
    }
    try {
        Muxer muxer(options, out);
        muxer.run();
        if (std::fclose(out) != 0) throw std::runtime_error("cannot close the output");
        muxer.summary();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessary-make-bench-evo: %s\n", e.what());
        return 1;
    }
    return 0;
}
