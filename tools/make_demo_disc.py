#!/usr/bin/env python3
"""Muxer for the demo disc in samples/ (driven by make_demo_disc.sh).

    make_demo_disc.py subtitles WORK   write the bitmap subtitle sources WORK/sub0.sup, sub1.sup
    make_demo_disc.py mux WORK OUT     build OUT/HVDVD_TS/FEATURE_1.EVO, FEATURE_2.EVO and
                                       OUT/ADV_OBJ/VPLST000.XPL from the elementary streams
                                       that make_demo_disc.sh encoded into WORK

Python 3 standard library only. Everything is derived from the inputs and the constants
below: no clock, no randomness without a fixed starting value, so the output is byte-for-byte
reproducible for identical encoder output.

The feature is one 276-frame timeline split into two files, as a disc splits a long
feature: FEATURE_1.EVO holds GOPs 0-11 (144 frames), FEATURE_2.EVO GOPs 12-22
(132 frames) and continues the time stamps of the first file.

Every file is an MPEG-2 program stream (ISO/IEC 13818-1) of 2048-byte packs:

    pack header (14 bytes, mux rate 0x049D43 = 30.24 Mbit/s, no pack stuffing), one packet,
    then a padding packet (0xBE) for the rest, or PES header stuffing when fewer than
    6 bytes are left.

Each VOBU (one 12-frame GOP of video 0, about 0.5 s) starts with a navigation pack:

    offset    0  pack header
             14  system header (audio_bound 5 at byte 23, video_bound 2 at byte 24)
             38  private stream 2, substream 0x04: general control information (GCI)
            301  private stream 2, substream 0x00: presentation control information (PCI)
           1287  private stream 2, substream 0x01: data search information (DSI); its data
                 starts at D = 1294: VOB id D+24, first and last video PTM D+44 and D+48,
                 audio sync entries D+530 (8 x 16 bits), subpicture sync entries
                 D+546 (32 x 32 bits)

Streams (PES stream id / private stream 1 substream id):
    0xE2          video 0, H.264 High profile 1920x1080 23.976 fps, access unit delimiters
    0xFD / 0x56   video 1, VC-1 Advanced profile 1920x1080 23.976 fps (synthetic: flat I frames coded
                  at 1280x720, skipped P frames)
    0xBD / 0x80   audio 0, AC-3 5.1 448 kbit/s
    0xBD / 0xC1   audio 1, E-AC-3 5.1 384 kbit/s
    0xBD / 0x8A   audio 2, DTS 5.1 768 kbit/s
    0xBD / 0xB3   audio 3, TrueHD stereo
    0xBD / 0xA4   audio 4, LPCM 48 kHz 16-bit stereo
    0xBD / 0x20   subpicture 0 (English), 0xBD / 0x21 subpicture 1 (French)
    0xBF / 0x80   a few advanced packs
"""

import os
import struct
import sys

# ---------------------------------------------------------------------------
# Timeline

FRAME_NUM, FRAME_DEN = 24000, 1001          # 23.976 frames per second
GOP = 12                                    # frames per GOP = per VOBU
FILE_GOPS = (12, 11)                        # GOPs in FEATURE_1, FEATURE_2
TOTAL_FRAMES = GOP * sum(FILE_GOPS)         # 276, what make_demo_disc.sh encodes
T0 = 90000                                  # PTS of the first displayed frame (1 s)
RATE = 48000                                # audio sampling rate
SAMPLES_PER_FRAME = RATE * FRAME_DEN // FRAME_NUM   # 2002 audio samples per video frame
VOB_IDS = (1, 2)

# Copy control of every GCI: CGMS valid + APS valid, CGMS 2 (no more copies), APS 1.
GCI_ENCRYPTION = 0x00
GCI_VALID = 0xC0
GCI_VALUES = (2 << 5) | (1 << 2)

PACK = 2048
PACK_BODY = PACK - 14                       # bytes behind the pack header
MUX_RATE = 75600                            # units of 50 bytes/s
SCR_STEP = -(-PACK * 27000000 // (MUX_RATE * 50))   # 27 MHz ticks per pack at the mux rate
SCR_LEAD = 27000                            # packs arrive about 0.3 s before they decode

ADV_PACK_VOBUS = (0, 4, 8)                  # VOBUs that carry an advanced pack


def video_ticks(n):
    """90 kHz ticks from the first frame to frame n (n may be negative)."""
    return n * 90000 * FRAME_DEN // FRAME_NUM


def sample_ticks(s):
    return s * 90000 // RATE


# ---------------------------------------------------------------------------
# Bit writer (most significant bit first)

class BitWriter:
    def __init__(self):
        self.bits = []

    def put(self, value, width):
        for i in range(width - 1, -1, -1):
            self.bits.append((value >> i) & 1)

    def flush_one(self):
        """A 1 bit, then zero bits to the next byte boundary."""
        self.bits.append(1)
        while len(self.bits) % 8:
            self.bits.append(0)

    def data(self):
        assert len(self.bits) % 8 == 0
        return bytes(int(''.join(map(str, self.bits[i:i + 8])), 2) for i in range(0, len(self.bits), 8))


class BitReader:
    def __init__(self, data):
        self.data, self.pos = data, 0

    def u(self, n):
        v = 0
        for _ in range(n):
            v = (v << 1) | ((self.data[self.pos >> 3] >> (7 - (self.pos & 7))) & 1)
            self.pos += 1
        return v

    def ue(self):
        zeros = 0
        while self.u(1) == 0:
            zeros += 1
        return (1 << zeros) - 1 + self.u(zeros)


def unescape(nal):
    """Remove emulation prevention bytes (00 00 03 -> 00 00)."""
    out, zeros = bytearray(), 0
    for b in nal:
        if zeros >= 2 and b == 3:
            zeros = 0
            continue
        out.append(b)
        zeros = zeros + 1 if b == 0 else 0
    return bytes(out)


def escape(payload):
    """Insert emulation prevention bytes so that no 00 00 0x (x <= 3) remains."""
    out, zeros = bytearray(), 0
    for b in payload:
        if zeros >= 2 and b <= 3:
            out.append(3)
            zeros = 0
        out.append(b)
        zeros = zeros + 1 if b == 0 else 0
    return bytes(out)


def start_codes(data):
    """Offsets of every 00 00 01 prefix."""
    out, i = [], data.find(b'\0\0\1')
    while i >= 0:
        out.append(i)
        i = data.find(b'\0\0\1', i + 3)
    return out


class Unit:
    """An access unit or audio frame of an elementary stream."""
    __slots__ = ('off', 'end', 'pts', 'dts', 'sync', 'gop')

    def __init__(self, off, end, pts, dts=None, sync=True, gop=None):
        self.off, self.end, self.pts = off, end, pts
        self.dts = pts if dts is None else dts
        self.sync = sync        # may start a file (audio: TrueHD major sync)
        self.gop = gop          # video: GOP number of the unit


# ---------------------------------------------------------------------------
# H.264 (video 0): access units from the delimiters, time stamps from the slice headers

def h264_units(data):
    codes = start_codes(data)
    nal_of = {}
    for k, c in enumerate(codes):
        end = codes[k + 1] if k + 1 < len(codes) else len(data)
        nal_of[c] = (data[c + 3] & 0x1F, data[c + 3:end])
    sps = None
    aus = []                                # [offset, is_idr, poc]
    for c in codes:
        kind, nal = nal_of[c]
        if kind == 9:
            off = c - 1 if c > 0 and data[c - 1] == 0 else c
            aus.append([off, False, None])
        elif kind == 7:
            r = BitReader(unescape(nal[1:]))
            profile = r.u(8)
            r.u(16)
            r.ue()
            if profile in (100, 110, 122, 244, 44, 83, 86, 118, 128):
                if r.ue() == 3:
                    r.u(1)
                r.ue(), r.ue(), r.u(1)
                assert r.u(1) == 0, 'scaling matrices are not expected'
            log2_frame_num = r.ue() + 4
            poc_type = r.ue()
            assert poc_type == 0, 'x264 with B-frames codes pic_order_cnt_type 0'
            log2_poc = r.ue() + 4
            r.ue(), r.u(1), r.ue(), r.ue()
            frame_mbs_only = r.u(1)
            sps = (log2_frame_num, log2_poc, frame_mbs_only)
        elif kind in (1, 5) and aus[-1][2] is None:
            r = BitReader(unescape(nal[1:]))
            r.ue(), r.ue(), r.ue()
            r.u(sps[0])
            if not sps[2] and r.u(1):
                r.u(1)
            if kind == 5:
                r.ue()
            aus[-1][1] = kind == 5
            aus[-1][2] = r.u(sps[1])
    assert aus and aus[0][0] == 0 and aus[0][1]
    # display order: within each IDR period the frames are ranked by picture order count
    gops, display = [], []
    for i, au in enumerate(aus):
        if au[1]:
            gops.append([])
        gops[-1].append(i)
    base = 0
    order = [0] * len(aus)
    for g in gops:
        for rank, i in enumerate(sorted(g, key=lambda i: aus[i][2])):
            order[i] = base + rank
        base += len(g)
    delay = max(i - order[i] for i in range(len(aus)))
    units = []
    for i, au in enumerate(aus):
        end = aus[i + 1][0] if i + 1 < len(aus) else len(data)
        gop = next(k for k, g in enumerate(gops) if i in g)
        units.append(Unit(au[0], end, T0 + video_ticks(order[i]),
                          T0 + video_ticks(i - delay), sync=au[1], gop=gop))
    assert all(len(g) == GOP for g in gops), 'every GOP must hold %d frames' % GOP
    return units


# ---------------------------------------------------------------------------
# VC-1 Advanced profile (video 1), written field by field after SMPTE 421M

HRD_RATE_EXP, HRD_RATE = 4, 1953            # (1953 + 1) << (6 + 4) = 2 Mbit/s
HRD_BUFFER_EXP, HRD_BUFFER = 7, 1999        # (1999 + 1) << (4 + 7) = 4.096 Mbit


def vc1_sequence_header():
    w = BitWriter()
    w.put(3, 2)             # PROFILE: advanced
    w.put(3, 3)             # LEVEL 3
    w.put(1, 2)             # COLORDIFF_FORMAT: 4:2:0
    w.put(7, 3)             # FRMRTQ_POSTPROC
    w.put(31, 5)            # BITRTQ_POSTPROC
    w.put(0, 1)             # POSTPROCFLAG
    w.put(1920 // 2 - 1, 12)    # MAX_CODED_WIDTH
    w.put(1080 // 2 - 1, 12)    # MAX_CODED_HEIGHT
    w.put(0, 1)             # PULLDOWN
    w.put(0, 1)             # INTERLACE
    w.put(0, 1)             # TFCNTRFLAG
    w.put(0, 1)             # FINTERPFLAG
    w.put(1, 1)             # reserved
    w.put(0, 1)             # PSF
    w.put(1, 1)             # DISPLAY_EXT
    w.put(1920 - 1, 14)     # DISP_HORIZ_SIZE
    w.put(1080 - 1, 14)     # DISP_VERT_SIZE
    w.put(1, 1)             # ASPECT_RATIO_FLAG
    w.put(1, 4)             # ASPECT_RATIO: 1:1
    w.put(1, 1)             # FRAMERATE_FLAG
    w.put(0, 1)             # FRAMERATEIND
    w.put(1, 8)             # FRAMERATENR: 24000
    w.put(2, 4)             # FRAMERATEDR: 1001
    w.put(1, 1)             # COLOR_FORMAT_FLAG
    w.put(1, 8)             # COLOR_PRIM: ITU-R BT.709
    w.put(1, 8)             # TRANSFER_CHAR: ITU-R BT.709
    w.put(1, 8)             # MATRIX_COEF: ITU-R BT.709
    w.put(1, 1)             # HRD_PARAM_FLAG
    w.put(1, 5)             # HRD_NUM_LEAKY_BUCKETS
    w.put(HRD_RATE_EXP, 4)  # BIT_RATE_EXPONENT - 6
    w.put(HRD_BUFFER_EXP, 4)    # BUFFER_SIZE_EXPONENT - 4
    w.put(HRD_RATE, 16)     # HRD_RATE[0]
    w.put(HRD_BUFFER, 16)   # HRD_BUFFER[0]
    w.flush_one()
    return b'\0\0\1\x0f' + escape(w.data())


def vc1_entry_point():
    w = BitWriter()
    w.put(0, 1)             # BROKEN_LINK
    w.put(1, 1)             # CLOSED_ENTRY
    w.put(0, 1)             # PANSCAN_FLAG
    w.put(0, 1)             # REFDIST_FLAG
    w.put(1, 1)             # LOOPFILTER
    w.put(0, 1)             # FASTUVMC
    w.put(0, 1)             # EXTENDED_MV
    w.put(0, 2)             # DQUANT
    w.put(1, 1)             # VSTRANSFORM
    w.put(1, 1)             # OVERLAP
    w.put(0, 2)             # QUANTIZER
    w.put(128, 8)           # HRD_FULLNESS[0]
    w.put(1, 1)             # CODED_SIZE_FLAG: the frames are coded at 1280x720
    w.put(CODED_WIDTH // 2 - 1, 12)     # CODED_WIDTH
    w.put(CODED_HEIGHT // 2 - 1, 12)    # CODED_HEIGHT
    w.put(0, 1)             # RANGE_MAPY_FLAG
    w.put(0, 1)             # RANGE_MAPUV_FLAG
    w.flush_one()
    return b'\0\0\1\x0e' + escape(w.data())


class Lcg:
    """Deterministic filler: a 32-bit linear congruential generator."""

    def __init__(self, salt):
        self.state = salt

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state >> 16

    def filler(self, n):
        return bytes(1 + self.next() % 255 for _ in range(n))   # never 00


CODED_WIDTH, CODED_HEIGHT = 1280, 720      # the entry point's coded size
VC1_MACROBLOCKS = (CODED_WIDTH // 16) * (CODED_HEIGHT // 16)


def vc1_intra_frame_header():
    """A decodable I frame: every macroblock without AC coefficients and with a DC
    differential of 0, so one flat picture (SMPTE 421M 7.1.1 and 8.1)."""
    w = BitWriter()
    w.put(0b110, 3)         # PTYPE: I
    w.put(0, 1)             # RNDCTRL
    w.put(12, 5)            # PQINDEX 12: PQUANT 9 (implicit quantizer), no CONDOVER
    w.put(0, 1)             # ACPRED bitplane: INVERT
    w.put(0b0000, 4)        #   IMODE raw: one bit per macroblock
    w.put(0, 1)             # TRANSACFRM
    w.put(0, 1)             # TRANSACFRM2
    w.put(0, 1)             # TRANSDCTAB: low-motion DC tables
    for _ in range(VC1_MACROBLOCKS):
        w.put(1, 1)         # CBPCY 0 (no coded block)
        w.put(0, 1)         # ACPRED off
        w.put(0b1111, 4)    # four luma DC differentials of 0
        w.put(0b0000, 4)    # two chroma DC differentials of 0
    while len(w.bits) % 8:
        w.put(1, 1)
    return escape(w.data())


def vc1_skipped_frame_header():
    """A skipped P frame: PTYPE 1111 alone; the decoder repeats the last picture."""
    w = BitWriter()
    w.put(0b1111, 4)
    while len(w.bits) % 8:
        w.put(1, 1)
    return w.data()


def vc1_stream():
    """The whole VC-1 elementary stream and its units: per GOP one flat I frame, then
    skipped P frames (PTS = DTS). Each frame is padded with filler (never 00) to a size
    like that of a real frame; a decoder reads only the header and macroblocks."""
    rng = Lcg(0x5C1D)
    seq, entry = vc1_sequence_header(), vc1_entry_point()
    intra_header, skipped_header = vc1_intra_frame_header(), vc1_skipped_frame_header()
    data, units = bytearray(), []
    for n in range(TOTAL_FRAMES):
        off = len(data)
        intra = n % GOP == 0
        if intra:
            data += seq + entry
        header = intra_header if intra else skipped_header
        # The frame sizes of the stream before its frames were made decodable (a 2-byte I
        # and a 1-byte P header, an 8-byte entry point), so that every pack stays in place.
        size = 5200 + rng.next() % 800 if intra else 700 + rng.next() % 900
        total = (2 if intra else 1) + size - (len(entry) - 8 if intra else 0)
        filler = rng.filler(size)
        assert len(header) <= total
        data += b'\0\0\1\x0d' + header + filler[:total - len(header)]
        units.append(Unit(off, len(data), T0 + video_ticks(n), sync=intra, gop=n // GOP))
    assert len(start_codes(data)) == TOTAL_FRAMES + 2 * TOTAL_FRAMES // GOP
    return bytes(data), units


# ---------------------------------------------------------------------------
# Audio frames

AC3_KBPS = (32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640)


def ac3_units(data):
    units, pos, sample = [], 0, 0
    while pos + 6 <= len(data):
        assert data[pos:pos + 2] == b'\x0b\x77', 'lost AC-3 sync at %d' % pos
        bsid = data[pos + 5] >> 3
        if bsid > 10:   # E-AC-3: frmsiz in words, numblkscod
            size = (((data[pos + 2] & 7) << 8 | data[pos + 3]) + 1) * 2
            blocks = (1, 2, 3, 6)[(data[pos + 4] >> 4) & 3]
        else:
            assert data[pos + 4] >> 6 == 0, '48 kHz expected'
            size = AC3_KBPS[(data[pos + 4] & 0x3F) >> 1] * 4
            blocks = 6
        units.append(Unit(pos, pos + size, sample))
        pos += size
        sample += blocks * 256
    return units


def dts_units(data):
    units, pos, sample = [], 0, 0
    while pos + 10 <= len(data):
        assert data[pos:pos + 4] == b'\x7f\xfe\x80\x01', 'lost DTS sync at %d' % pos
        r = BitReader(data[pos + 4:pos + 10])
        r.u(1), r.u(5), r.u(1)
        blocks = r.u(7) + 1
        size = r.u(14) + 1
        units.append(Unit(pos, pos + size, sample))
        pos += size
        sample += blocks * 32
    return units


def truehd_units(data):
    units, pos, sample = [], 0, 0
    while pos + 4 <= len(data):
        size = ((data[pos] & 0x0F) << 8 | data[pos + 1]) * 2
        major = data[pos + 4:pos + 8] == b'\xf8\x72\x6f\xba'
        if major:
            assert data[pos + 8] >> 4 == 0, '48 kHz expected'
        units.append(Unit(pos, pos + size, sample, sync=major))
        pos += size
        sample += 40    # samples per access unit at 48 kHz
    assert units[0].sync
    return units


# ---------------------------------------------------------------------------
# Subpictures: bitmap subtitles written as a PGS stream, encoded to DVD subpictures by ffmpeg

FONT = {   # 5 x 7 glyphs
    'A': ' ### #   ##   #######   ##   ##   #', 'C': ' #####    #    #    #    #     ####',
    'D': '#### #   ##   ##   ##   ##   ##### ', 'E': '######    #    #### #    #    #####',
    'F': '######    #    #### #    #    #    ', 'H': '#   ##   ##   #######   ##   ##   #',
    'I': ' ###   #    #    #    #    #   ### ', 'M': '#   ### ### # ##   ##   ##   ##   #',
    'N': '#   ###  ## # ##  ###   ##   ##   #', 'O': ' ### #   ##   ##   ##   ##   # ### ',
    'P': '#### #   ##   ##### #    #    #    ', 'Q': ' ### #   ##   ##   ## # ##  #  ## #',
    'R': '#### #   ##   ##### # #  #  # #   #', 'S': ' #####    #     ###     #    ##### ',
    'T': '#####  #    #    #    #    #    #  ', 'U': '#   ##   ##   ##   ##   ##   # ### ',
    'W': '#   ##   ##   ## # ## # ### ###   #', 'X': '#   ##   # # #   #   # # #   ##   #',
    ' ': ' ' * 35,
}

# (stream, start, end, text): start and end in seconds from the first video frame
SUBTITLES = (
    (0, 0.5, 2.5, 'DEMO DISC'), (0, 3.0, 5.0, 'PART ONE'),
    (0, 6.5, 8.5, 'PART TWO'), (0, 9.5, 11.0, 'THE END'),
    (1, 0.7, 2.7, 'DISQUE DEMO'), (1, 3.2, 5.2, 'PARTIE UN'),
    (1, 6.7, 8.7, 'PARTIE DEUX'), (1, 9.7, 11.2, 'FIN'),
)
SUB_SCALE = 4


def render(text):
    """Text as rows of palette indexes: 1 letter, 2 outline, 0 transparent."""
    gw, gh, gap, margin = 5 * SUB_SCALE, 7 * SUB_SCALE, SUB_SCALE, 2 * SUB_SCALE
    w = len(text) * (gw + gap) - gap + 2 * margin
    h = gh + 2 * margin
    ink = [[0] * w for _ in range(h)]
    for k, ch in enumerate(text):
        glyph = FONT[ch]
        for gy in range(7):
            for gx in range(5):
                if glyph[gy * 5 + gx] == '#':
                    for dy in range(SUB_SCALE):
                        for dx in range(SUB_SCALE):
                            ink[margin + gy * SUB_SCALE + dy][margin + k * (gw + gap) + gx * SUB_SCALE + dx] = 1
    rows = [[0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if ink[y][x]:
                rows[y][x] = 1
            elif any(ink[yy][xx] for yy in range(max(0, y - 2), min(h, y + 3))
                     for xx in range(max(0, x - 2), min(w, x + 3))):
                rows[y][x] = 2
    return rows


def pgs_rle(rows):
    out = bytearray()
    for row in rows:
        x = 0
        while x < len(row):
            c, n = row[x], 1
            while x + n < len(row) and row[x + n] == c and n < 16383:
                n += 1
            if c and n < 3:
                out += bytes([c]) * n
            elif c == 0:
                out += bytes([0, n]) if n < 64 else bytes([0, 0x40 | n >> 8, n & 0xFF])
            else:
                out += bytes([0, 0x80 | n, c]) if n < 64 else bytes([0, 0xC0 | n >> 8, n & 0xFF, c])
            x += n
        out += b'\0\0'
    return bytes(out)


def pgs_segment(pts, kind, payload):
    return b'PG' + struct.pack('>IIBH', pts, 0, kind, len(payload)) + payload


def pgs_stream(events):
    width, height = 720, 480
    out, number = bytearray(), 0
    for start, end, text in events:
        rows = render(text)
        w, h = len(rows[0]), len(rows)
        x, y = (width - w) // 2, height - 40 - h
        t0, t1 = T0 + round(start * 90000), T0 + round(end * 90000)
        rle = pgs_rle(rows)
        out += pgs_segment(t0, 0x16, struct.pack('>HHBHBBBB', width, height, 0x10, number, 0x80, 0, 0, 1)
                           + struct.pack('>HBBHH', 0, 0, 0, x, y))
        out += pgs_segment(t0, 0x17, struct.pack('>BBHHHH', 1, 0, x, y, w, h))
        out += pgs_segment(t0, 0x14, bytes([0, 0, 1, 235, 128, 128, 255, 2, 16, 128, 128, 255]))
        out += pgs_segment(t0, 0x15, struct.pack('>HBB', 0, 0, 0xC0) + (len(rle) + 4).to_bytes(3, 'big')
                           + struct.pack('>HH', w, h) + rle)
        out += pgs_segment(t0, 0x80, b'')
        out += pgs_segment(t1, 0x16, struct.pack('>HHBHBBBB', width, height, 0x10, number + 1, 0, 0, 0, 0))
        out += pgs_segment(t1, 0x17, struct.pack('>BBHHHH', 1, 0, x, y, w, h))
        out += pgs_segment(t1, 0x80, b'')
        number += 2
    return bytes(out)


def write_subtitle_sources(work):
    for stream in (0, 1):
        events = [(s, e, t) for n, s, e, t in SUBTITLES if n == stream]
        with open(os.path.join(work, 'sub%d.sup' % stream), 'wb') as f:
            f.write(pgs_stream(events))


def read_program_stream(path):
    """Payloads of the private stream 1 packets of an MPEG-2 program stream, by substream."""
    data = open(path, 'rb').read()
    out, pos = {}, 0
    while pos + 6 <= len(data):
        assert data[pos:pos + 3] == b'\0\0\1', 'lost packet sync at %d' % pos
        sid = data[pos + 3]
        if sid == 0xBA:
            pos += 14 + (data[pos + 13] & 7)
            continue
        length = struct.unpack('>H', data[pos + 4:pos + 6])[0]
        if sid == 0xBD:
            hl = data[pos + 8]
            pts_flag = data[pos + 7] & 0x80
            body = data[pos + 9 + hl:pos + 6 + length]
            out.setdefault(body[0], []).append((bool(pts_flag), body[1:]))
        pos += 6 + length
    return out


def subpicture_units(path):
    """Subpicture units per substream, in order, lifted from ffmpeg's DVD subtitle output."""
    spus = {}
    for sub, packets in read_program_stream(path).items():
        units = []
        for has_pts, payload in packets:
            if has_pts:
                units.append(bytearray())
            units[-1] += payload
        for u in units:
            assert struct.unpack('>H', u[:2])[0] == len(u), 'incomplete subpicture unit'
        spus[sub] = [bytes(u) for u in units]
    return spus


# ---------------------------------------------------------------------------
# Packets

def ts_field(prefix, t):
    t &= (1 << 33) - 1
    return bytes([prefix << 4 | (t >> 29) & 0x0E | 1, (t >> 22) & 0xFF, (t >> 14) & 0xFE | 1,
                  (t >> 7) & 0xFF, (t << 1) & 0xFE | 1])


def pes_packet(stream_id, payload, pts=None, dts=None, ext_id=None, aligned=False, room=PACK_BODY):
    """A PES packet that, with its trailing padding packet or stuffing, fills `room` bytes."""
    flags = 0
    data = b''
    if pts is not None and dts is not None and dts != pts:
        flags |= 0xC0
        data = ts_field(3, pts) + ts_field(1, dts)
    elif pts is not None:
        flags |= 0x80
        data = ts_field(2, pts)
    if ext_id is not None:
        flags |= 0x01
        data += bytes([0x0F, 0x81, ext_id])  # PES_extension_flag_2, length 1, stream_id_extension
    left = room - (9 + len(data) + len(payload))
    assert left >= 0
    padding = b''
    if left >= 6:
        padding = b'\0\0\1\xbe' + struct.pack('>H', left - 6) + b'\xff' * (left - 6)
    else:
        data += b'\xff' * left
    head = bytes([0x81 | (0x04 if aligned else 0), flags, len(data)]) + data   # original, alignment
    return b'\0\0\1' + bytes([stream_id]) + struct.pack('>H', len(head) + len(payload)) + head + payload + padding


def header_size(pts, dts, ext):
    n = 9
    if pts is not None:
        n += 10 if dts is not None and dts != pts else 5
    return n + (3 if ext is not None else 0)


class Packet:
    __slots__ = ('stream', 'key', 'body', 'au_start', 'gop_start', 'first_unit_end', 'pos', 'end')

    def __init__(self, stream, key, body):
        self.stream, self.key, self.body = stream, key, body
        self.au_start = False   # a unit starts in this packet
        self.gop_start = None   # video 0: number of the GOP that this packet opens
        self.first_unit_end = None


def packetize(stream, data, units, stream_id, sub_header, ext_id=None, protect=(), breaks=()):
    """Cut an elementary stream into one PES packet per pack.

    units: the access units or frames (offsets relative to data), with their time stamps.
    sub_header(first_unit, count, pointer, payload_start): private stream 1 substream header
    bytes, or None for a plain PES stream.
    protect: (begin, code_end) ranges (start codes) that a packet must not cut.
    breaks: offsets at which a new packet must begin."""
    breaks = sorted(set(breaks) | {len(data)})
    starts = [u.off for u in units]
    packets, pos, ui, bi, pi = [], 0, 0, 0, 0
    sub_len = len(sub_header(None, 0, 0, 0)) if sub_header else 0
    while pos < len(data):
        while breaks[bi] <= pos:
            bi += 1
        limit = breaks[bi]
        while ui + 1 < len(units) and units[ui + 1].off <= pos:
            ui += 1
        # the first unit that starts at or after pos
        nxt = ui if units[ui].off >= pos else ui + 1
        first = units[nxt] if nxt < len(units) else None
        cap_plain = PACK_BODY - header_size(None, None, ext_id) - sub_len
        cap_ts = PACK_BODY - header_size(first.pts, first.dts, ext_id) - sub_len if first else cap_plain
        if first and first.off < min(pos + cap_ts, limit):
            end, ts = min(pos + cap_ts, limit), first
        else:
            end, ts = min(pos + cap_plain, limit), None
            if first and first.off < end:
                end = first.off       # that unit begins the next packet, with its time stamp
        # never cut a start code
        while pi < len(protect) and protect[pi][1] <= pos:
            pi += 1
        for k in range(pi, len(protect)):
            b, e = protect[k]
            if b >= end:
                break
            if b < end < e and b > pos:
                end = b
        count = sum(1 for u in units[nxt:] if u.off < end) if first else 0
        pointer = (first.off - pos) if ts else 0
        payload = data[pos:end]
        if sub_header:
            payload = sub_header(ts, count, pointer, pos) + payload
        body = pes_packet(stream_id, payload, ts.pts if ts else None, ts.dts if ts else None,
                          ext_id, aligned=bool(ts and ts.off == pos))
        p = Packet(stream, units[ui].dts, body)   # due when the unit it continues decodes
        p.au_start = ts is not None
        p.pos, p.end = pos, end
        packets.append(p)
        pos = end
    return packets


def audio_header(sub_id, extra=b'', extra_fn=None):
    def make(first, count, pointer, pos):
        more = extra_fn(first, pos) if extra_fn else extra
        # first access unit pointer: counted from the last byte of the pointer field
        ptr = (len(more) + pointer + 1) if first else 0
        return bytes([sub_id, count]) + struct.pack('>H', ptr) + more
    return make


# ---------------------------------------------------------------------------
# Navigation packs

def pack_header(scr27):
    base, ext = scr27 // 300, scr27 % 300
    return bytes([
        0x44 | (base >> 27) & 0x38 | (base >> 28) & 0x03,
        (base >> 20) & 0xFF,
        (base >> 12) & 0xF8 | 0x04 | (base >> 13) & 0x03,
        (base >> 5) & 0xFF,
        (base << 3) & 0xF8 | 0x04 | (ext >> 7) & 0x03,
        (ext << 1) & 0xFE | 1,
    ])


def mux_rate_bytes():
    v = MUX_RATE << 2 | 3
    return bytes([(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF])


def system_header():
    rate_bound = (1 << 23) | (MUX_RATE << 1) | 1
    body = rate_bound.to_bytes(3, 'big') + bytes([
        5 << 2,         # audio_bound 5, fixed_flag 0, CSPS_flag 0
        0xE0 | 2,       # audio/video lock flags, marker, video_bound 2
        0xFF,           # packet rate restriction, reserved
        0xB9, 0xE0, 0xE8,   # all video streams: P-STD buffer 232 x 1024 bytes
        0xB8, 0xC0, 0x20,   # all audio streams: 32 x 128 bytes
        0xBD, 0xE0, 0x3A,   # private stream 1: 58 x 1024 bytes
        0xBF, 0xE0, 0x02,   # private stream 2: 2 x 1024 bytes
    ])
    return b'\0\0\1\xbb' + struct.pack('>H', len(body)) + body


GCI_LEN, PCI_LEN, DSI_LEN = 0x101, 0x3D4, 0x2F3


def nav_pack(scr27, gci, pci, dsi):
    out = b'\0\0\1\xba' + pack_header(scr27) + mux_rate_bytes() + b'\xf8' + system_header()
    for sub, length, data in ((0x04, GCI_LEN, gci), (0x00, PCI_LEN, pci), (0x01, DSI_LEN, dsi)):
        assert len(data) <= length - 1
        out += b'\0\0\1\xbf' + struct.pack('>H', length) + bytes([sub]) + data + bytes(length - 1 - len(data))
    assert len(out) == PACK and out[1289:1294] == b'\x01\xbf\x02\xf3\x01'
    return out


def adv_pack(scr27, number):
    """An advanced pack: private stream 2, substream 0x80."""
    length = PACK_BODY - 6
    data = b'ADV_PCK' + struct.pack('>H', number)
    return (b'\0\0\1\xba' + pack_header(scr27) + mux_rate_bytes() + b'\xf8' + b'\0\0\1\xbf'
            + struct.pack('>H', length) + b'\x80' + data + bytes(length - 1 - len(data)))


# ---------------------------------------------------------------------------
# Files

VIDEO0, VIDEO1, AC3, EAC3, DTS, TRUEHD, LPCM, SUB0, SUB1 = range(9)
AUDIO_NUMBER = {AC3: 0, EAC3: 1, DTS: 2, TRUEHD: 3, LPCM: 4}
SUB_NUMBER = {SUB0: 0, SUB1: 1}


class Inputs:
    def __init__(self, work):
        read = lambda name: open(os.path.join(work, name), 'rb').read()
        self.h264 = read('video.h264')
        self.h264_units = h264_units(self.h264)
        assert len(self.h264_units) == TOTAL_FRAMES, len(self.h264_units)
        self.vc1, self.vc1_units = vc1_stream()
        self.audio = {}
        for stream, name, parse in ((AC3, 'audio.ac3', ac3_units), (EAC3, 'audio.eac3', ac3_units),
                                    (DTS, 'audio.dts', dts_units), (TRUEHD, 'audio.thd', truehd_units)):
            data = read(name)
            self.audio[stream] = (data, parse(data))
        self.pcm = read('audio.pcm')
        self.spus = subpicture_units(os.path.join(work, 'subs.vob'))


def split_audio(data, units, first_sample, end_sample, aligned, last):
    """The frames of one file. A file starts with the first frame at or after its first
    sample (for TrueHD, the first access unit with a major sync from there on) and ends
    where the next file starts; the last file ends with the last frame that starts before
    the end of the video."""
    def start(sample, need_sync):
        i = 0
        while i < len(units) and (units[i].pts < sample or (need_sync and not units[i].sync)):
            i += 1
        return i
    i = start(first_sample, aligned)
    j = start(end_sample, aligned and not last)
    sel = units[i:j]
    base = sel[0].off
    return data[base:sel[-1].end], [Unit(u.off - base, u.end - base, T0 + sample_ticks(u.pts),
                                         sync=u.sync) for u in sel]


def build_file(inp, index, first_gop, gops, prev_scr):
    frame0, frame1 = first_gop * GOP, (first_gop + gops) * GOP
    sample0, sample1 = frame0 * SAMPLES_PER_FRAME, frame1 * SAMPLES_PER_FRAME
    packets = {}

    # video 0: H.264, stream id 0xE2
    units = [u for u in inp.h264_units if first_gop <= u.gop < first_gop + gops]
    base = units[0].off
    data = inp.h264[base:units[-1].end]
    vunits = [Unit(u.off - base, u.end - base, u.pts, u.dts, u.sync, u.gop) for u in units]
    protect = []
    for u in vunits:
        c = data.index(b'\0\0\1\x09', u.off)
        protect.append((u.off, c + 4))
    gop_offsets = [u.off for u in vunits if u.sync]
    pk = packetize(VIDEO0, data, vunits, 0xE2, None, protect=protect, breaks=gop_offsets)
    gop_units = {}
    for u in vunits:
        gop_units.setdefault(u.gop, u)
    for p in pk:
        for g, u in gop_units.items():
            if p.pos == u.off:
                p.gop_start = g - first_gop
                p.first_unit_end = u.end
    packets[VIDEO0] = pk

    # video 1: VC-1, stream id 0xFD, stream id extension 0x56
    units = [u for u in inp.vc1_units if first_gop <= u.gop < first_gop + gops]
    base = units[0].off
    data = inp.vc1[base:units[-1].end]
    vunits = [Unit(u.off - base, u.end - base, u.pts, None, u.sync, u.gop) for u in units]
    codes = [c for c in start_codes(data) if data[c + 3] in (0x0D, 0x0E, 0x0F)]
    packets[VIDEO1] = packetize(VIDEO1, data, vunits, 0xFD, None, ext_id=0x56,
                                protect=[(c, c + 4) for c in codes],
                                breaks=[u.off for u in vunits if u.sync])

    # audio 0 to 3
    sub_ids = {AC3: 0x80, EAC3: 0xC1, DTS: 0x8A, TRUEHD: 0xB3}
    for stream, (data, units) in inp.audio.items():
        adata, aunits = split_audio(data, units, sample0, sample1, stream == TRUEHD,
                                    index == len(FILE_GOPS) - 1)
        if stream == TRUEHD:
            head = audio_header(sub_ids[stream], extra=b'\x00')
        else:
            head = audio_header(sub_ids[stream])
        packets[stream] = packetize(stream, adata, aunits, 0xBD, head)

    # audio 4: LPCM, 80-sample frames (1/600 s) counted from the start of the file
    pcm = inp.pcm[sample0 * 4:sample1 * 4]
    assert len(pcm) == (sample1 - sample0) * 4
    frame_bytes = 80 * 4
    lunits = [Unit(o, min(o + frame_bytes, len(pcm)), T0 + sample_ticks(sample0 + o // 4))
              for o in range(0, len(pcm), frame_bytes)]

    def lpcm_params(first, pos):
        number = (first.off // frame_bytes) % 20 if first else 0
        return bytes([number, 0x01, 0x80])  # frame number; 16 bits, 48 kHz, 2 channels; no DRC

    per_packet = 2000   # 500 sample pairs
    packets[LPCM] = packetize(LPCM, pcm, lunits, 0xBD, audio_header(0xA4, extra_fn=lpcm_params),
                              breaks=range(per_packet, len(pcm), per_packet))

    # subpictures 0x20, 0x21
    t_begin, t_end = T0 + video_ticks(frame0), T0 + video_ticks(frame1)
    for stream, sub in ((SUB0, 0x20), (SUB1, 0x21)):
        events = [(s, e) for n, s, e, t in SUBTITLES if n == SUB_NUMBER[stream]]
        spus = inp.spus[sub]
        assert len(spus) == len(events)
        out = []
        for (start, end), spu in zip(events, spus):
            pts = T0 + round(start * 90000)
            if not t_begin <= pts < t_end:
                continue
            out += packetize(stream, spu, [Unit(0, len(spu), pts)], 0xBD,
                             lambda first, count, pointer, pos, sub=sub: bytes([sub]))
        packets[stream] = out

    # interleave by decoding time, video first at equal times
    order = sorted((p for s in sorted(packets) for p in packets[s]), key=lambda p: (p.key, p.stream))
    first_video = order.index(packets[VIDEO0][0])
    assert first_video == 0, 'the first VOBU must start with video 0'

    # pack list with navigation and advanced packs
    packs = []
    for p in order:
        if p.stream == VIDEO0 and p.gop_start is not None:
            packs.append(('nav', p))
            if p.gop_start in ADV_PACK_VOBUS:
                packs.append(('adv', p))
        packs.append(('data', p))
    # system clock: about SCR_LEAD ahead of decoding, never faster than the mux rate
    scrs, scr27 = [], prev_scr
    for kind, p in packs:
        scr27 = max(0 if scr27 is None else scr27 + SCR_STEP, (p.key - SCR_LEAD) * 300)
        scrs.append(scr27)

    nav_at = [i for i, (kind, p) in enumerate(packs) if kind == 'nav']
    first_ptm, last_ptm = T0 + video_ticks(frame0), T0 + video_ticks(frame1)
    out = bytearray()
    for i, ((kind, p), scr) in enumerate(zip(packs, scrs)):
        if kind == 'data':
            out += b'\0\0\1\xba' + pack_header(scr) + mux_rate_bytes() + b'\xf8' + p.body
        elif kind == 'adv':
            out += adv_pack(scr, i)
        else:
            vobu = nav_at.index(i)
            vobu_end = (nav_at[vobu + 1] if vobu + 1 < len(nav_at) else len(packs)) - 1
            first_ref_end = max(k for k in range(i, vobu_end + 1)
                                if packs[k][0] == 'data' and packs[k][1].stream == VIDEO0
                                and packs[k][1].pos < p.first_unit_end)
            s_ptm = T0 + video_ticks((first_gop + p.gop_start) * GOP)
            e_ptm = T0 + video_ticks((first_gop + p.gop_start + 1) * GOP)

            def sync(stream, width):
                """Packs from this NV_PCK to the nearest pack of the stream, forwards first;
                a pack before the NV_PCK gets the top bit set."""
                fwd = [k for k in range(i, len(packs)) if packs[k][0] == 'data' and packs[k][1].stream == stream]
                if fwd:
                    return min(fwd[0] - i, (1 << (width - 1)) - 1)
                back = [k for k in range(i) if packs[k][0] == 'data' and packs[k][1].stream == stream]
                return (1 << (width - 1)) | min(i - back[-1], (1 << (width - 1)) - 1) if back else 0

            gci = bytearray(32)
            gci[12] = GCI_ENCRYPTION
            gci[24] = GCI_VALID
            gci[26] = GCI_VALUES
            pci = bytearray(32)
            struct.pack_into('>I', pci, 0, i)               # NV_PCK_LBN
            struct.pack_into('>II', pci, 12, s_ptm, e_ptm)  # VOBU_S_PTM, VOBU_E_PTM
            dsi = bytearray(546 + 32 * 4)
            struct.pack_into('>IIII', dsi, 0, (scr // 300) & 0xFFFFFFFF, i, vobu_end - i, first_ref_end - i)
            struct.pack_into('>H', dsi, 24, VOB_IDS[index])  # VOB_IDN
            dsi[27] = 1                                      # C_IDN
            struct.pack_into('>II', dsi, 44, first_ptm, last_ptm)
            for stream, n in AUDIO_NUMBER.items():
                struct.pack_into('>H', dsi, 530 + 2 * n, sync(stream, 16))
            for stream, n in SUB_NUMBER.items():
                struct.pack_into('>I', dsi, 546 + 4 * n, sync(stream, 32))
            out += nav_pack(scr, bytes(gci), bytes(pci), bytes(dsi))
    assert len(out) == PACK * len(packs)
    return bytes(out), scrs[-1], (first_ptm, last_ptm)


# ---------------------------------------------------------------------------
# Playlist

def hmsf(seconds, fps=60):
    """hh:mm:ss:ff with ff counted in frames of the 60 fps time base."""
    frames = int(seconds * fps + 1e-9)
    s, f = divmod(frames, fps)
    return '%02d:%02d:%02d:%02d' % (s // 3600, s // 60 % 60, s % 60, f)


def playlist():
    total = video_ticks(TOTAL_FRAMES) / 90000
    split = video_ticks(FILE_GOPS[0] * GOP) / 90000
    chapter_gops = (0, 2, 4, 5, 7, 9, 12, 14, 16, 18, 20, 22)
    chapters = '\n'.join(
        '        <Chapter titleTimeBegin="%s" displayName="Chapter %d"/>' % (hmsf(video_ticks(g * GOP) / 90000), k + 1)
        for k, g in enumerate(chapter_gops))
    tracks = '''\
          <Video track="1" mediaAttr="1" description="Main"/>
          <Video track="2" mediaAttr="2" description="Alternate"/>
          <Audio track="1" streamNumber="1" mediaAttr="1" langcode="en:00" description="English"/>
          <Audio track="2" streamNumber="2" mediaAttr="2" langcode="fr:00" description="French"/>
          <Audio track="3" streamNumber="3" mediaAttr="3" langcode="de:00" description="German"/>
          <Audio track="4" streamNumber="4" mediaAttr="4" langcode="ja:00" description="Japanese"/>
          <Audio track="5" streamNumber="5" mediaAttr="5" langcode="en:01" description="Commentary"/>
          <Subtitle track="1" streamNumber="1" mediaAttr="1" langcode="en:00" description="English"/>
          <Subtitle track="2" streamNumber="2" mediaAttr="1" langcode="fr:00" description="French"/>'''
    clips = []
    for k, (begin, end, clip_begin) in enumerate(((0, split, 0), (split, total, split))):
        clips.append('''\
      <PrimaryAudioVideoClip titleTimeBegin="%s" titleTimeEnd="%s" clipTimeBegin="%s" dataSource="Disc"
          src="file:///dvddisc/HVDVD_TS/FEATURE_%d.MAP">
%s
      </PrimaryAudioVideoClip>''' % (hmsf(begin), hmsf(end), hmsf(0), k + 1, tracks))
    return '''\
<?xml version="1.0" encoding="UTF-8"?>
<Playlist xmlns="http://www.dvdforum.org/2005/HDDVDVideo/Playlist" majorVersion="1" minorVersion="0"
    displayName="Tessary Demo Disc">
  <Configuration>
    <StreamingBuffer size="0"/>
    <Aperture width="1920" height="1080"/>
    <MainVideoDefaultColor color="108080"/>
    <NetworkTimeout timeout="60"/>
  </Configuration>
  <MediaAttributeList>
    <VideoAttributeItem index="1" codec="AVC" sampleAspectRatio="16:9" horizontalResolution="1920" verticalResolution="1080" encodedFrameRate="24" sourceFrameRate="24" scanType="Progressive"/>
    <VideoAttributeItem index="2" codec="VC-1" sampleAspectRatio="16:9" horizontalResolution="1920" verticalResolution="1080" encodedFrameRate="24" sourceFrameRate="24" scanType="Progressive"/>
    <AudioAttributeItem index="1" codec="AC-3" sampleFrequency="48" channels="6" bitrate="448"/>
    <AudioAttributeItem index="2" codec="DD+" sampleFrequency="48" channels="6" bitrate="384"/>
    <AudioAttributeItem index="3" codec="DTS" sampleFrequency="48" channels="6" bitrate="768"/>
    <AudioAttributeItem index="4" codec="MLP" sampleFrequency="48" channels="2"/>
    <AudioAttributeItem index="5" codec="LPCM" sampleFrequency="48" sampleDepth="16" channels="2"/>
    <SubpictureAttributeItem index="1" codec="2bitRLE"/>
  </MediaAttributeList>
  <TitleSet timeBase="60fps" tickBase="24fps" defaultLanguage="en">
    <FirstPlayTitle titleDuration="00:00:00:00"/>
    <Title id="MainFeature" titleNumber="1" displayName="Main Feature" titleDuration="%s" onEnd="Trailer">
%s
      <ChapterList>
%s
      </ChapterList>
    </Title>
    <Title id="Trailer" titleNumber="2" displayName="Trailer" titleDuration="00:00:05:00">
      <PrimaryAudioVideoClip titleTimeBegin="00:00:00:00" titleTimeEnd="00:00:05:00" clipTimeBegin="00:00:00:00" dataSource="Disc"
          src="file:///dvddisc/HVDVD_TS/TRAILER.MAP">
        <Video track="1" mediaAttr="1" description="Main"/>
        <Audio track="1" streamNumber="1" mediaAttr="2" langcode="en:00" description="English"/>
      </PrimaryAudioVideoClip>
      <ChapterList>
        <Chapter titleTimeBegin="00:00:00:00" displayName="Trailer"/>
      </ChapterList>
    </Title>
  </TitleSet>
</Playlist>
''' % (hmsf(total), '\n'.join(clips), chapters)


# ---------------------------------------------------------------------------

def mux(work, out):
    inp = Inputs(work)
    os.makedirs(os.path.join(out, 'HVDVD_TS'), exist_ok=True)
    os.makedirs(os.path.join(out, 'ADV_OBJ'), exist_ok=True)
    scr27, first_gop = None, 0
    for index, gops in enumerate(FILE_GOPS):
        data, scr27, (first, last) = build_file(inp, index, first_gop, gops, scr27)
        name = os.path.join(out, 'HVDVD_TS', 'FEATURE_%d.EVO' % (index + 1))
        with open(name, 'wb') as f:
            f.write(data)
        print('%s: %d bytes, %d packs, VOB %d, PTM %08X..%08X' % (
            name, len(data), len(data) // PACK, VOB_IDS[index], first, last))
        first_gop += gops
    with open(os.path.join(out, 'ADV_OBJ', 'VPLST000.XPL'), 'w', encoding='utf-8', newline='\r\n') as f:
        f.write(playlist())


def main(argv):
    if len(argv) == 3 and argv[1] == 'subtitles':
        write_subtitle_sources(argv[2])
    elif len(argv) == 4 and argv[1] == 'mux':
        mux(argv[2], argv[3])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv)
