#!/usr/bin/env python3
"""Playlists made to exhaust a playlist reader (driven by bench-playlist-memory.sh).

    make_flood_playlist.py unclosed OUT [MB]      MB (100) megabytes of "<a>": tags that
                                                  open a level each and close none
    make_flood_playlist.py trailing DEMO OUT [MB]  the playlist DEMO, then MB (100)
                                                  megabytes of "<b/>"
    make_flood_playlist.py chapters DEMO OUT [N]   the playlist DEMO with N (200000)
                                                  chapters in the ChapterList of its first
                                                  title instead of its own

Python 3 standard library only; MB are 10^6 bytes. The files are written in blocks, so the
generator holds little whatever their size. Prints the file's size in bytes.
"""

import sys

BLOCK = 1 << 20


def repeat(out, unit, size):
    block = unit * (BLOCK // len(unit))
    written = 0
    while written + len(block) <= size:
        out.write(block)
        written += len(block)
    out.write(unit * ((size - written) // len(unit)))


def chapter_lines(count):
    # 60 frames a second: one chapter every 30 frames.
    for n in range(count):
        frames = n * 30
        seconds, frame = divmod(frames, 60)
        minutes, second = divmod(seconds, 60)
        hour, minute = divmod(minutes, 60)
        yield (f'        <Chapter titleTimeBegin="{hour:02}:{minute:02}:{second:02}:{frame:02}" '
               f'displayName="Chapter {n + 1}"/>\n').encode()


def main(argv):
    kind = argv[1] if len(argv) > 1 else ""
    if kind == "unclosed" and len(argv) in (3, 4):
        size = int(argv[3]) * 1000000 if len(argv) == 4 else 100000000
        with open(argv[2], "wb") as out:
            repeat(out, b"<a>", size)
        target = argv[2]
    elif kind == "trailing" and len(argv) in (4, 5):
        size = int(argv[4]) * 1000000 if len(argv) == 5 else 100000000
        with open(argv[2], "rb") as demo, open(argv[3], "wb") as out:
            out.write(demo.read())
            repeat(out, b"<b/>", size)
        target = argv[3]
    elif kind == "chapters" and len(argv) in (4, 5):
        count = int(argv[4]) if len(argv) == 5 else 200000
        with open(argv[2], "rb") as demo:
            text = demo.read()
        start = text.index(b"<ChapterList>")
        start = text.index(b"\n", start) + 1
        end = text.index(b"</ChapterList>", start)
        end = text.rindex(b"\n", 0, end) + 1
        with open(argv[3], "wb") as out:
            out.write(text[:start])
            pending = []
            for line in chapter_lines(count):
                pending.append(line)
                if len(pending) == 4096:
                    out.write(b"".join(pending))
                    pending = []
            out.write(b"".join(pending))
            out.write(text[end:])
        target = argv[3]
    else:
        sys.stderr.write(__doc__)
        return 2
    with open(target, "rb") as written:
        written.seek(0, 2)
        print(written.tell())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
