#!/usr/bin/env python3
"""Regenerates the elementary-stream snippets of this folder from real encoder output.

    make_snippets.py [OUT_DIR]      (default: the folder of this script; needs ffmpeg)

Each snippet holds the first headers of a short ffmpeg encode, not whole pictures:
  *.264  H.264 (libx264, black pictures): the sequence and picture parameter sets and the
         first slice (so that ffprobe can decode a picture); the encoder's SEI is left out.
  *.m2v  MPEG-2 video (mpeg2video): the sequence header, its extensions, the GOP header and
         the first picture header with its coding extension, then the second picture header
         with its coding extension; the slices between them are left out.
The values each encode was asked for are in the table below; the tests compare the
inspectors' lines with them and with what ffprobe reports for the snippets.
"""

import os
import subprocess
import sys
import tempfile

SRC = ['-f', 'lavfi', '-i']

H264 = {
    # name: (source, encoder options)
    'h264_1080p_23976_high41': ('color=black:size=1920x1080:rate=24000/1001',
                                ['-profile:v', 'high', '-level', '4.1', '-pix_fmt', 'yuv420p']),
    'h264_1080i_2997_high41': ('color=black:size=1920x1080:rate=30000/1001',
                               ['-profile:v', 'high', '-level', '4.1', '-pix_fmt', 'yuv420p',
                                '-flags', '+ildct+ilme', '-x264-params', 'tff=1']),
    'h264_1080p_25_main40': ('color=black:size=1920x1080:rate=25',
                             ['-profile:v', 'main', '-level', '4.0', '-pix_fmt', 'yuv420p']),
    # High 4:2:2 without B-frames (pic_order_cnt_type 2), in a size that is cropped on the
    # right and at the bottom.
    'h264_1916x1076_50_high422_poc2': ('color=black:size=1916x1076:rate=50',
                                       ['-profile:v', 'high422', '-pix_fmt', 'yuv422p',
                                        '-bf', '0']),
    # High 4:4:4 Predictive (profile_idc 244, with separate_colour_plane_flag).
    'h264_720p_30_high444': ('color=black:size=1280x720:rate=30',
                             ['-profile:v', 'high444', '-pix_fmt', 'yuv444p']),
}

MPEG2 = {
    'm2v_1080i_2997_16x9': ('color=black:size=1920x1080:rate=30000/1001',
                            ['-flags', '+ildct+ilme', '-top', '1', '-aspect', '16:9',
                             '-b:v', '20M', '-maxrate', '30M', '-bufsize', '9781248']),
    'm2v_576p_25_4x3': ('color=black:size=720x576:rate=25',
                        ['-aspect', '4:3', '-b:v', '6M', '-maxrate', '8M',
                         '-bufsize', '1835008']),
    'm2v_1080p_23976_16x9': ('color=black:size=1920x1080:rate=24000/1001',
                             ['-aspect', '16:9', '-b:v', '15M', '-maxrate', '25M',
                              '-bufsize', '9781248']),
}


def start_codes(data):
    """Offsets of every 00 00 01 prefix."""
    i = data.find(b'\0\0\1')
    while i >= 0:
        yield i
        i = data.find(b'\0\0\1', i + 3)


def encode(source, options, codec, fmt, path, frames='3'):
    subprocess.run(['ffmpeg', '-hide_banner', '-loglevel', 'error', '-y'] + SRC + [source] +
                   ['-frames:v', frames, '-c:v', codec] + options + ['-f', fmt, path], check=True)
    with open(path, 'rb') as f:
        return f.read()


def h264_snippet(data):
    starts = [i - 1 if i > 0 and data[i - 1] == 0 else i for i in start_codes(data)]
    units = [data[a:b] for a, b in zip(starts, starts[1:] + [len(data)])]
    kept = []
    for unit in units:
        nal_type = unit[unit.index(b'\0\0\1') + 3] & 0x1F
        if nal_type in (7, 8):
            kept.append(unit)
        elif nal_type in (1, 5):
            kept.append(unit)
            return b''.join(kept)
    raise ValueError('no slice')


def mpeg2_snippet(data):
    pictures = [i for i in start_codes(data) if data[i + 3] == 0x00]
    def header_end(picture):
        for i in start_codes(data):
            if i > picture and 0x01 <= data[i + 3] <= 0xAF:
                return i
        raise ValueError('no slice')
    return data[:header_end(pictures[0])] + data[pictures[1]:header_end(pictures[1])]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with tempfile.TemporaryDirectory() as tmp:
        for name, (source, options) in H264.items():
            data = encode(source, options, 'libx264', 'h264', os.path.join(tmp, 'x.264'), '1')
            with open(os.path.join(out, name + '.264'), 'wb') as f:
                f.write(h264_snippet(data))
        for name, (source, options) in MPEG2.items():
            data = encode(source, options + ['-bf', '0'], 'mpeg2video', 'mpeg2video',
                          os.path.join(tmp, 'x.m2v'))
            with open(os.path.join(out, name + '.m2v'), 'wb') as f:
                f.write(mpeg2_snippet(data))


if __name__ == '__main__':
    main()
