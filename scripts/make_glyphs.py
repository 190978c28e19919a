#!/usr/bin/env python3
"""Writes the button glyphs and the arrow glyph strip as 24-bit BMP files.

Each picture is drawn below as rows of characters; '.' is the transparent colour (the
bottom-left pixel, fuchsia). Run from the repository root: scripts/make_glyphs.py
"""
import struct
import sys
from pathlib import Path

PALETTE = {
    '.': (255, 0, 255),   # transparent
    'k': (0, 0, 0),
    'w': (255, 255, 255),
    'g': (0, 128, 0),     # dark green
    'G': (0, 200, 0),     # green
    'r': (153, 0, 0),     # dark red (the bar's colour)
    'R': (224, 32, 32),   # red
    'b': (0, 0, 128),     # navy
    'B': (48, 96, 224),   # blue
    'y': (240, 200, 40),  # yellow
    'o': (160, 110, 20),  # folder brown
    's': (128, 128, 128), # grey
    'l': (200, 200, 200), # light grey
}

GLYPHS = {
    # Start: a run arrow.
    'glyph_start': [
        "................",
        "...kk...........",
        "...kGk..........",
        "...kGGk.........",
        "...kGGGk........",
        "...kGGGGk.......",
        "...kGGGGGk......",
        "...kGGGGGGk.....",
        "...kgGGGGGgk....",
        "...kgGGGGgk.....",
        "...kggGGgk......",
        "...kgggGk.......",
        "...kgggk........",
        "...kggk.........",
        "...kgk..........",
        "...kk...........",
    ],
    # Show: an eye.
    'glyph_show': [
        "................",
        "................",
        "................",
        ".....kkkkkk.....",
        "...kkwwwwwwkk...",
        "..kwwwwbbwwwwk..",
        ".kwwwwbBBbwwwwk.",
        "kwwwwbBkkBbwwwwk",
        "kwwwwbBkkBbwwwwk",
        ".kwwwwbBBbwwwwk.",
        "..kwwwwbbwwwwk..",
        "...kkwwwwwwkk...",
        ".....kkkkkk.....",
        "................",
        "................",
        "................",
    ],
    # Page order: two pages with a turning arrow.
    'glyph_arrange': [
        "kkkkkkk.........",
        "kwwwwwk.........",
        "kwsssswk........",
        "kwwwwwwk........",
        "kwsssswk...B....",
        "kwwwwwwk...BB...",
        "kkkkkkkk.BBBBB..",
        "...........BB.B.",
        ".B.........B..B.",
        "B.BB..kkkkkkk.B.",
        "B.BB..kwwwwwk...",
        ".BBBBBkwsssswk..",
        "...BB.kwwwwwwk..",
        "....B.kwsssswk..",
        "......kwwwwwwk..",
        "......kkkkkkkk..",
    ],
    # Second file: a small folder.
    'glyph_2ndfile': [
        ".kk....",
        "kyyk...",
        "kyyykkk",
        "kyyyyyk",
        "kyyyyyk",
        "kooooook"[:7],
        ".kkkkk.",
    ],
    # Insert before: a page entering from the left, above.
    'glyph_insertbefore': [
        ".........kkkkkk.",
        ".........kwwwwk.",
        "....G....kwsswk.",
        "....GG...kwwwwk.",
        "GGGGGGG..kwsswk.",
        "GGGGGGGG.kwwwwk.",
        "GGGGGGG..kkkkkk.",
        "....GG..........",
        "....G....kkkkkk.",
        ".........kllllk.",
        ".........klsslk.",
        ".........kllllk.",
        ".........klsslk.",
        ".........kllllk.",
        ".........kkkkkk.",
        "................",
    ],
    # Insert after: a page entering from the left, below.
    'glyph_insertafter': [
        ".........kkkkkk.",
        ".........kllllk.",
        ".........klsslk.",
        ".........kllllk.",
        ".........klsslk.",
        ".........kllllk.",
        ".........kkkkkk.",
        "....G...........",
        "....GG...kkkkkk.",
        "GGGGGGG..kwwwwk.",
        "GGGGGGGG.kwsswk.",
        "GGGGGGG..kwwwwk.",
        "....GG...kwsswk.",
        "....G....kwwwwk.",
        ".........kkkkkk.",
        "................",
    ],
    # Delete: a red cross.
    'glyph_delete': [
        "................",
        "................",
        "..RR.......RR...",
        "..RRR.....RRR...",
        "...RRR...RRR....",
        "....RRR.RRR.....",
        ".....RRRRR......",
        "......RRR.......",
        ".....RRRRR......",
        "....RRR.RRR.....",
        "...RRR...RRR....",
        "..RRR.....RRR...",
        "..RR.......RR...",
        "................",
        "................",
        "................",
    ],
}

# The arrow strip: eight 13 x 14 cells (down, up, left, right, and the double forms). Each
# cell is its drawn rows from row `top` down, on transparent rows.
def cell(top, rows, width=13, height=14):
    blank = '.' * width
    return [blank] * top + rows + [blank] * (height - top - len(rows))


DOWN = ["...kkkkkkk...", "....kkkkk....", ".....kkk.....", "......k......"]
UP = DOWN[::-1]
ARROWS = [
    cell(4, DOWN),
    cell(4, UP),
    cell(3, [".......k.....", "......kk.....", ".....kkk.....", "....kkkk.....", ".....kkk.....",
             "......kk.....", ".......k....."]),
    cell(3, [".....k.......", ".....kk......", ".....kkk.....", ".....kkkk....", ".....kkk.....",
             ".....kk......", ".....k......."]),
    cell(2, DOWN + ["." * 13] + DOWN),
    cell(2, UP + ["." * 13] + UP),
    cell(3, ["....k....k...", "...kk...kk...", "..kkk..kkk...", ".kkkk.kkkk...", "..kkk..kkk...",
             "...kk...kk...", "....k....k..."]),
    cell(3, ["...k....k....", "...kk...kk...", "...kkk..kkk..", "...kkkk.kkkk.", "...kkk..kkk..",
             "...kk...kk...", "...k....k...."]),
]


def bmp(rows):
    h, w = len(rows), len(rows[0])
    assert all(len(r) == w for r in rows), rows
    stride = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for ch in row:
            r, g, b = PALETTE[ch]
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)) + header + data


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else '.') / 'resources'
    for name, rows in GLYPHS.items():
        (root / 'images' / (name + '.bmp')).write_bytes(bmp(rows))
    strip = [''.join(cell[y] for cell in ARROWS) for y in range(14)]
    (root / 'bitmaps' / '16546.bmp').write_bytes(bmp(strip))


if __name__ == '__main__':
    main()
