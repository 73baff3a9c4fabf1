#!/usr/bin/python3
"""Packs what the web page loads besides its code: the demo game as a zip, and the stage font cut down to the
characters Shift-JIS (code page 932) text can hold and those the stage's own marks use, as WOFF2. Each is made
again only when its sources are newer.

Pictures and music are nearly all of the demo's size and are needed only when shown or played: the zip holds the
head of each (the player checks a picture's signature and reads a piece's length from its header), and the whole
files lie beside the zip in demo/, listed in demo-fetched.json, for the page to fetch when it needs them."""
import argparse
import json
import pathlib
import struct
import zipfile

# The one font of the stage: the core's text layout was measured on it (src/core/stage/stage_font_metrics.py).
FONT = pathlib.Path("/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf")
# What the core writes on the stage itself beyond the story's text: "…" where it cuts a line short, the geta mark
# for a character the font lacks, the arrows of the history's help, ▶ on the AUTO and SKIP tags.
STAGE_MARKS = "…〓←↑→↓▶"


def stage_characters():
    """Every character a scenario or a caption can hold (ASCII, half-width katakana and every double-byte code),
    and the stage's own marks."""
    chars = {chr(c) for c in range(0x20, 0x7F)}
    chars.update(bytes([b]).decode("cp932") for b in range(0xA1, 0xE0))
    for lead in [*range(0x81, 0xA0), *range(0xE0, 0xFD)]:
        for trail in [*range(0x40, 0x7F), *range(0x80, 0xFD)]:
            try:
                chars.add(bytes([lead, trail]).decode("cp932"))
            except UnicodeDecodeError:
                pass
    chars.update(STAGE_MARKS)
    return "".join(sorted(chars))


def newer(out: pathlib.Path, sources):
    return not out.exists() or any(source.stat().st_mtime > out.stat().st_mtime for source in sources)


FETCHED = {".rgd", ".log", ".wav"}  # pictures (whatever their name says) and music
PICTURE_HEAD = 64  # more than any signature the player checks


def head(name: str, data: bytes) -> bytes:
    return wave_header(data) if name.lower().endswith(".wav") else data[:PICTURE_HEAD]


def wave_header(data: bytes) -> bytes:
    """The bytes of a wave file up to the start of its samples: RIFF header, chunks, the data chunk's header."""
    at = 12
    while at + 8 <= len(data):
        chunk, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        if chunk == b"data":
            return data[:at + 8]
        at += 8 + size + (size & 1)
    return data


def pack_demo(demo: pathlib.Path, site: pathlib.Path):
    out = site / "demo.zip"
    files = sorted(file for file in demo.rglob("*") if file.is_file())
    if not newer(out, files):
        return
    fetched = {}
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for file in files:
            relative = file.relative_to(demo).as_posix()
            data = file.read_bytes()
            # The scenario and the settings files stay whole: the player reads them at once.
            if file.suffix.lower() in FETCHED and relative != "data1.rgd":
                whole = site / "demo" / relative
                whole.parent.mkdir(parents=True, exist_ok=True)
                whole.write_bytes(data)
                fetched[relative] = f"demo/{relative}"
                data = head(relative, data)
            archive.writestr(f"demo/{relative}", data)
    (site / "demo-fetched.json").write_text(json.dumps(fetched, indent=1) + "\n")


def cut_font(out: pathlib.Path):
    from fontTools import subset

    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = []
    options.hinting = False
    font = subset.load_font(str(FONT), options)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=stage_characters())
    subsetter.subset(font)
    subset.save_font(font, str(out), options)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--demo", type=pathlib.Path, required=True, help="the built demo game folder")
    parser.add_argument("--out", type=pathlib.Path, required=True, help="the site folder")
    args = parser.parse_args()
    pack_demo(args.demo, args.out)
    font = args.out / "stage-font.woff2"
    if newer(font, [FONT, pathlib.Path(__file__)]):
        cut_font(font)


if __name__ == "__main__":
    main()
