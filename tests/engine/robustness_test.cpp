// Damaged sources: whatever the bytes, a pass ends normally, stays inside its buffer and
// writes only well-formed report lines. Run under the asan preset to catch stray reads.
#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "PackWriter.h"
#include "TempDir.h"
#include "engine/PackEngine.h"
#include "platform/InputFile.h"

using namespace tessary;
using namespace tessary::test;

namespace {

Bytes sampleSource() {
    PackWriter w;
    NavPack nav;
    nav.firstPtm = 100;
    nav.lastPtm = 900100;
    nav.audioSync = {1, 2, 3, 0, 0, 0, 0, 0};
    w.addNavPack(nav);
    const Bytes frame = {0x00, 0x00, 0x01, 0x0D, 0x01, 0x00, 0x00, 0x01, 0x09, 0x00, 0x00};
    for (int i = 0; i < 3; ++i) {
        w.addPayload(Stream::vc1Video(i % 2), frame, {.pts = 100u + i});
        w.addPayload(Stream::h264Video(1), frame, {.pts = 200u + i, .dts = 150u + i});
        w.addPayload(Stream::mpeg2Video(0), frame);
        w.addPayload(Stream::ac3(i), Bytes(200, 0x0B), {.pts = 300u + i});
        w.addPayload(Stream::lpcm(i), Bytes(100, 0x11), {.pts = 400u + i});
        w.addPayload(Stream::trueHd(i), Bytes(100, 0x22), {.pts = 500u + i});
        w.addPayload(Stream::subpicture(static_cast<uint8_t>(0x20 + i)), Bytes(30, 0),
                     {.pts = 600});
        w.addPayload(Stream::mpegAudio(i), Bytes(50, 0x33), {.pts = 700});
        w.addPayload(Stream::advanced(), Bytes(700, 0x44));
        w.addNavPack(nav);
    }
    return w.bytes();
}

void readPass(const Bytes& bytes, const std::string& name) {
    TempDir dir;
    const auto path = dir.writeFile(name, bytes).string();
    InputFile source(path);
    RunState state;
    RecordingReporter out;
    FakeHost host;
    host.options.fastCheck = false;
    demux(RunMode::Read, state, source, path, host, out);
    for (const auto& line : out.lines)
        ASSERT_EQ(line.find('\0'), std::string::npos);
    for (int slot = 1; slot < kStreamSlotCount; ++slot)
        ASSERT_GE(state.streamTable[slot], kNoStream);
}

} // namespace

TEST(DamagedSources, RandomByteDamageNeverBreaksAPass) {
    const Bytes clean = sampleSource();
    std::mt19937 random(20261208);
    for (int round = 0; round < 150; ++round) {
        Bytes damaged = clean;
        const int hits = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < hits; ++i) {
            const std::size_t at = random() % damaged.size();
            // Favour the bytes a parser trusts: start codes, lengths and header fields.
            damaged[at] = static_cast<uint8_t>(random() % 3 == 0 ? 0x00 : random());
        }
        if (round % 5 == 0) damaged.resize(random() % damaged.size());
        ASSERT_NO_FATAL_FAILURE(readPass(damaged, round % 3 == 0 ? "d.VOB" : "d.EVO")) << round;
    }
}

TEST(DamagedSources, PacketLengthsThatLieEndThePassCleanly) {
    PackWriter w;
    // A PES header that claims more header data than the packet holds, a zero-length packet
    // of every kind, and a private stream 2 packet cut right after its length.
    w.appendRaw(Bytes{0x00, 0x00, 0x01, 0xE0, 0x00, 0x03, 0x81, 0xC0, 0xFF});
    for (uint8_t id : {0xE0, 0xE2, 0xFD, 0xBD, 0xBF, 0xBE, 0xC0})
        w.appendRaw(Bytes{0x00, 0x00, 0x01, id, 0x00, 0x00});
    w.appendRaw(Bytes{0x00, 0x00, 0x01, 0xBD, 0x00, 0x04, 0x81, 0x80, 0x00, 0x80});
    w.appendRaw(Bytes{0x00, 0x00, 0x01, 0xBF, 0x00, 0x01, 0x01});
    w.addPayload(Stream::ac3(0), Bytes(100, 0x0B), {.pts = 1});
    w.appendRaw(Bytes{0x00, 0x00, 0x01, 0xBF, 0xFF, 0xFF, 0x01});
    readPass(w.bytes(), "L.EVO");
}
