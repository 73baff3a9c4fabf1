#!/usr/bin/env python3
"""Writes a small game folder for the window's end-to-end test: three text pages and a choice, pictures with a
marker in the top-left corner (so a screenshot shows where the stage lies and at what scale), silent music.
    make_game.py SHIORI_TOOL FOLDER [--long]     (--long: four pages of twelve full lines, for the benchmark)
The story is written as scenario text and built with `shiori-tool build`."""
import os
import struct
import subprocess
import sys

MARKER = (255, 0, 255)  # magenta, 8 x 8 stage pixels at the stage's top-left corner
MARKER_SIZE = 8


def bmp(path, base):
    """An 8-bit palette BMP of 640 x 400: soft bands of `base`, the marker at the top-left corner."""
    width, height = 640, 400
    palette = [MARKER] + [tuple(min(255, c + i * 6) for c in base) for i in range(15)]
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray((1 + ((x + 2 * y) // 48) % 15) for x in range(width))
        if y < MARKER_SIZE:
            row[0:MARKER_SIZE] = bytes(MARKER_SIZE)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    colour_table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette) + bytes(4 * (256 - len(palette)))
    offset = 14 + 40 + len(colour_table)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 3780, 3780, 256, 0)
    with open(path, "wb") as out:
        out.write(header + info + colour_table + pixels)


def silent_wave(path, milliseconds=500):
    rate = 8000
    data = bytes(rate * milliseconds // 1000)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    with open(path, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def text_page(number, lines, next_page, picture=1):
    """A text page: every line shown whole, the last one ending the page."""
    return "page %d\nstart 1\npicture %d\nmusic 1\nnext %d\n%s\n" % (
        number, picture, next_page, "".join("| %s\n" % line for line in lines))


LONG_LINES = [
    "　雨は夜半を過ぎても、まだ降り続いていた。",
    "古い校舎の廊下には、誰の足音も残っていない。",
    "図書室の窓だけが、ぼんやりと明るかった。",
    "閉館の時刻はとうに過ぎているはずなのに、",
    "カウンターの奥で、誰かが頁をめくる音がする。",
    "わたしは傘を閉じて、そっと扉に手をかけた。",
    "蝶番が小さく鳴って、紙と埃の匂いがした。",
    "「……遅かったね」と、聞き慣れた声がした。",
    "振り向いた彼女の指には、赤い栞が挟まれている。",
    "それは、去年の夏にわたしが失くしたものだった。",
    "どうして、と訊くより先に、彼女は笑った。",
    "「ずっと、返そうと思ってたの」",
]


def long_game_story():
    """Four full pages, twelve lines each, in a ring: for measuring a window that types for a long while."""
    return "".join(text_page(1 + n, LONG_LINES[n:] + LONG_LINES[:n], 1 + (n + 1) % 4, picture=1 + n % 2)
                   for n in range(4))


STORY = (text_page(1, ["　放課後の図書室は、いつもより静かだった。", "窓の外では、雨が降り始めている。",
                       "「まだ残ってたんだ」"], 2)
         + text_page(2, ["声のした方を振り向くと、", "貸出カウンターの向こうに彼女がいた。"], 3, picture=2)
         + "page 3\nstart 1\npicture 2\nmusic 1\ntype choice\nchoice 4\n| 一緒に帰ろうと言う\n"
           "choice 5\n| 黙って本を閉じる\n\n"
         + text_page(4, ["「……うん」", "彼女は小さくうなずいた。"], 1)
         + text_page(5, ["雨の音だけが、しばらく続いた。"], 1))


def main():
    tool, folder = sys.argv[1], sys.argv[2]
    long_pages = len(sys.argv) > 3 and sys.argv[3] == "--long"
    for sub in ("data", "log"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    story = os.path.join(folder, "story.txt")
    with open(story, "w", encoding="utf-8") as out:
        out.write(long_game_story() if long_pages else STORY)
    subprocess.run([tool, "build", story, "-o", os.path.join(folder, "data1.rgd")], check=True)
    colours = {"op01": (40, 60, 110), "ld01": (60, 80, 60), "ld02": (60, 80, 60), "rg01": (90, 50, 60),
               "0001": (70, 70, 90), "0002": (90, 80, 60)}
    for number in range(1, 6):
        colours["e%02d" % number] = (30, 30, 30)
    for name, base in colours.items():
        bmp(os.path.join(folder, "data", name + ".rgd"), base)
    bmp(os.path.join(folder, "log", "0000.log"), (50, 50, 50))
    for number in (1, 12):
        silent_wave(os.path.join(folder, "data", "%04d.wav" % number))


if __name__ == "__main__":
    main()
