#!/usr/bin/python3
"""Packs what the web page loads besides its code: the demo game as a zip, and the stage font cut down to the
characters Shift-JIS (code page 932) text can hold, as WOFF2. Each is made again only when its sources are newer."""
import argparse
import pathlib
import zipfile

FONT = pathlib.Path("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc")


def shift_jis_characters():
    """Every character a scenario or a caption can hold: ASCII, half-width katakana and every double-byte code."""
    chars = {chr(c) for c in range(0x20, 0x7F)}
    chars.update(bytes([b]).decode("cp932") for b in range(0xA1, 0xE0))
    for lead in [*range(0x81, 0xA0), *range(0xE0, 0xFD)]:
        for trail in [*range(0x40, 0x7F), *range(0x80, 0xFD)]:
            try:
                chars.add(bytes([lead, trail]).decode("cp932"))
            except UnicodeDecodeError:
                pass
    return "".join(sorted(chars))


def newer(out: pathlib.Path, sources):
    return not out.exists() or any(source.stat().st_mtime > out.stat().st_mtime for source in sources)


def pack_demo(demo: pathlib.Path, out: pathlib.Path):
    files = sorted(file for file in demo.rglob("*") if file.is_file())
    if not newer(out, files):
        return
    with zipfile.ZipFile(out, "w") as archive:
        for file in files:
            # Wave music hardly shrinks, and unpacking it would only delay the title: it is stored as it is.
            method = zipfile.ZIP_STORED if file.suffix.lower() == ".wav" else zipfile.ZIP_DEFLATED
            archive.write(file, pathlib.PurePosixPath("demo", file.relative_to(demo)), method, 9)


def cut_font(out: pathlib.Path):
    from fontTools import subset

    options = subset.Options()
    options.flavor = "woff2"
    options.font_number = 0
    options.layout_features = []
    options.hinting = False
    font = subset.load_font(str(FONT), options)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=shift_jis_characters())
    subsetter.subset(font)
    subset.save_font(font, str(out), options)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--demo", type=pathlib.Path, required=True, help="the built demo game folder")
    parser.add_argument("--out", type=pathlib.Path, required=True, help="the site folder")
    args = parser.parse_args()
    pack_demo(args.demo, args.out / "demo.zip")
    font = args.out / "stage-font.woff2"
    if newer(font, [FONT, pathlib.Path(__file__)]):
        cut_font(font)


if __name__ == "__main__":
    main()
