#!/usr/bin/env python3
"""Writes the stage font's metrics as a C++ header, read from the font file itself, so that the core lays text out
without a toolkit and every shell draws the same font at the same places.

Usage: stage_font_metrics.py FONT.ttf OUTPUT.h

Which characters of the basic plane the font has, and for those that are not simply one em wide with their ink
inside their cell: their advance, and how far their ink reaches past the cell on either side. That keeps the
table near ten kilobytes. Only the tables every TrueType font has are
read (head, hhea, hmtx, cmap, loca, glyf), with the standard library alone.
"""
import struct
import sys


class Font:
    def __init__(self, data):
        self.data = data
        count = struct.unpack_from(">H", data, 4)[0]
        self.tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack_from(">4sIII", data, 12 + 16 * i)
            self.tables[tag.decode("latin-1")] = (offset, length)
        head = self.table("head")
        self.units_per_em = struct.unpack_from(">H", head, 18)[0]
        self.long_loca = struct.unpack_from(">h", head, 50)[0] == 1
        hhea = self.table("hhea")
        self.ascent, self.descent = struct.unpack_from(">hh", hhea, 4)
        self.metric_count = struct.unpack_from(">H", hhea, 34)[0]

    def table(self, tag):
        offset, length = self.tables[tag]
        return self.data[offset:offset + length]

    def advances(self):
        hmtx = self.table("hmtx")
        return [struct.unpack_from(">H", hmtx, 4 * i)[0] for i in range(self.metric_count)]

    def horizontal_ink(self):
        """Each glyph's leftmost and rightmost ink, or None for a glyph with no outline."""
        loca, glyf = self.table("loca"), self.table("glyf")
        count = len(loca) // (4 if self.long_loca else 2) - 1
        if self.long_loca:
            offsets = struct.unpack_from(f">{count + 1}I", loca)
        else:
            offsets = [2 * o for o in struct.unpack_from(f">{count + 1}H", loca)]
        ink = []
        for i in range(count):
            if offsets[i + 1] <= offsets[i]:
                ink.append(None)
            else:
                x_min, _, x_max, _ = struct.unpack_from(">hhhh", glyf, offsets[i] + 2)
                ink.append((x_min, x_max))
        return ink

    def character_map(self):
        """Unicode code point -> glyph index, from the best Unicode subtable (format 12, else format 4)."""
        cmap = self.table("cmap")
        count = struct.unpack_from(">H", cmap, 2)[0]
        subtables = {}
        for i in range(count):
            platform, encoding, offset = struct.unpack_from(">HHI", cmap, 4 + 8 * i)
            subtables[(platform, encoding)] = offset
        for key in [(3, 10), (0, 4), (3, 1), (0, 3)]:
            if key in subtables:
                offset = subtables[key]
                form = struct.unpack_from(">H", cmap, offset)[0]
                if form == 12:
                    return format12(cmap, offset)
                if form == 4:
                    return format4(cmap, offset)
        raise SystemExit("the font has no Unicode character map")


def format4(cmap, offset):
    segments = struct.unpack_from(">H", cmap, offset + 6)[0] // 2
    ends = struct.unpack_from(f">{segments}H", cmap, offset + 14)
    starts_at = offset + 16 + 2 * segments
    starts = struct.unpack_from(f">{segments}H", cmap, starts_at)
    deltas = struct.unpack_from(f">{segments}h", cmap, starts_at + 2 * segments)
    ranges_at = starts_at + 4 * segments
    range_offsets = struct.unpack_from(f">{segments}H", cmap, ranges_at)
    mapping = {}
    for s in range(segments):
        for code in range(starts[s], ends[s] + 1):
            if code == 0xFFFF:
                continue
            if range_offsets[s] == 0:
                glyph = (code + deltas[s]) & 0xFFFF
            else:
                at = ranges_at + 2 * s + range_offsets[s] + 2 * (code - starts[s])
                glyph = struct.unpack_from(">H", cmap, at)[0]
                glyph = (glyph + deltas[s]) & 0xFFFF if glyph else 0
            if glyph:
                mapping[code] = glyph
    return mapping


def format12(cmap, offset):
    groups = struct.unpack_from(">I", cmap, offset + 12)[0]
    mapping = {}
    for g in range(groups):
        start, end, glyph = struct.unpack_from(">III", cmap, offset + 16 + 12 * g)
        for code in range(start, end + 1):
            mapping[code] = glyph + code - start
    return mapping


def metrics(font):
    advances = font.advances()
    ink = font.horizontal_ink()
    result = {}
    for code, glyph in sorted(font.character_map().items()):
        advance = advances[min(glyph, len(advances) - 1)]
        x = ink[glyph] if glyph < len(ink) else None
        left, right = (0, 0) if x is None else (max(0, -x[0]), max(0, x[1] - advance))
        result[code] = (advance, left, right)
    return result


def covered_words(by_code):
    """The characters of the basic plane the font has, one bit each, in 64-bit words."""
    words = [0] * (0x10000 // 64)
    for code in by_code:
        if code < 0x10000:
            words[code // 64] |= 1 << (code % 64)
    return words


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    with open(sys.argv[1], "rb") as file:
        font = Font(file.read())
    by_code = metrics(font)
    # Nearly every character is a full-width one whose ink stays in its cell: only the others are listed.
    usual = (font.units_per_em, 0, 0)
    unusual = [(code, *values) for code, values in by_code.items() if code < 0x10000 and values != usual]
    words = covered_words(by_code)
    lines = [
        "// Written by stage_font_metrics.py from the stage font; do not edit.",
        "#pragma once",
        "#include <array>",
        "#include <cstdint>",
        "namespace shiori::stage::font_table {",
        f"constexpr int kUnitsPerEm = {font.units_per_em};",
        f"constexpr int kAscent = {font.ascent};",
        f"constexpr int kDescent = {-font.descent};",
        "// Bit c % 64 of word c / 64: the font has character c.",
        f"constexpr std::array<std::uint64_t, {len(words)}> kCovered = {{{{",
    ]
    lines += [", ".join(f"0x{w:X}" for w in words[i:i + 8]) + "," for i in range(0, len(words), 8)]
    lines += [
        "}};",
        "// The characters whose advance is not one em, or whose ink reaches past their cell, by code.",
        "struct Unusual { char16_t code; std::uint16_t advance; std::uint16_t left; std::uint16_t right; };",
        f"constexpr std::array<Unusual, {len(unusual)}> kUnusual = {{{{",
    ]
    lines += [f"  {{0x{u[0]:X}, {u[1]}, {u[2]}, {u[3]}}}," for u in unusual]
    lines += ["}};", "}  // namespace shiori::stage::font_table", ""]
    with open(sys.argv[2], "w", encoding="utf-8") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    main()
