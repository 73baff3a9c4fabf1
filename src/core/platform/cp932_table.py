#!/usr/bin/env python3
"""Writes the CP932 (Windows Shift-JIS) tables of the core as a C++ header, from Python's cp932 codec.

Usage: cp932_table.py OUTPUT.h

The tables give the results the player has always had on Linux (glibc's CP932 converter), which differ from
Python's codec in a few places, each listed below:
  - 0x80, 0xA0 and 0xFD..0xFF are no characters (Python maps them to U+0080 and private-use code points);
  - where several byte pairs decode to one character, encoding picks the JIS X 0208 row or NEC's row 13 first,
    then IBM's extension rows (0xFA..0xFC), and NEC's copy of IBM's extension (0xED, 0xEE) last, as Windows does;
  - besides the look-alikes Python's codec encodes one way (CENT SIGN, NOT SIGN, WAVE DASH ...), three more do:
    YEN SIGN to '\\', OVERLINE to '~', EM DASH to the horizontal bar 0x815C.
"""
import sys

NOT_CHARACTERS = {0x80, 0xA0, 0xFD, 0xFE, 0xFF}
ONE_WAY_ENCODINGS = {0x00A5: 0x5C, 0x203E: 0x7E, 0x2014: 0x815C}
LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = range(0x40, 0xFD)
NONE = 0xFFFF  # a noncharacter: never the result of decoding


def decode(data):
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError:
        return None
    if len(text) != 1 or ord(text) >= NONE:
        raise SystemExit(f"unexpected decoding of {data.hex()}: {text!r}")
    return ord(text)


def or_none(code_point):
    return NONE if code_point is None else code_point


def single_bytes():
    return [NONE if byte in NOT_CHARACTERS else or_none(decode(bytes([byte]))) for byte in range(256)]


def double_bytes():
    return [or_none(decode(bytes([lead, trail]))) for lead in LEADS for trail in TRAILS]


def python_one_way_encodings(table):
    """The characters Python's codec encodes though no byte sequence decodes to them."""
    found = {}
    for code_point in range(NONE):
        if code_point in table or 0xD800 <= code_point < 0xE000:
            continue
        try:
            encoded = chr(code_point).encode("cp932")
        except UnicodeEncodeError:
            continue
        if not (len(encoded) == 1 and encoded[0] in NOT_CHARACTERS):
            found[code_point] = int.from_bytes(encoded, "big")
    return found


def preference(sequence):
    """Sorts the byte sequences of one character: the one to encode it with first."""
    nec_copy_of_ibm = sequence > 0xFF and (sequence >> 8) in (0xED, 0xEE)
    return (nec_copy_of_ibm, sequence)


def encodings(single, double):
    choices = {}
    for byte, code_point in enumerate(single):
        if code_point != NONE:
            choices.setdefault(code_point, []).append(byte)
    for index, code_point in enumerate(double):
        if code_point != NONE:
            lead = LEADS[index // len(TRAILS)]
            trail = TRAILS[index % len(TRAILS)]
            choices.setdefault(code_point, []).append(lead << 8 | trail)
    table = {code_point: min(sequences, key=preference) for code_point, sequences in choices.items()}
    for code_point, sequence in {**python_one_way_encodings(table), **ONE_WAY_ENCODINGS}.items():
        if code_point in table:
            raise SystemExit(f"U+{code_point:04X} already encodes")
        table[code_point] = sequence
    return sorted(table.items())


def rows(values, per_line=16):
    return "\n".join("    " + ", ".join(values[i:i + per_line]) + "," for i in range(0, len(values), per_line))


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    single = single_bytes()
    double = double_bytes()
    encode = encodings(single, double)
    header = f"""// Written by cp932_table.py from Python's cp932 codec at build time.
#pragma once

#include <array>
#include <cstdint>

namespace shiori::cp932 {{

inline constexpr char16_t kNone = 0x{NONE:04X};

// The character of each single byte, or kNone.
inline constexpr std::array<char16_t, 256> kSingle = {{
{rows([f"0x{c:04X}" for c in single])}
}};

// The character of each double byte: lead bytes 0x81..0x9F and 0xE0..0xFC in turn, each with trail bytes
// 0x{TRAILS.start:02X}..0x{TRAILS.stop - 1:02X}; kNone where the pair is no character.
inline constexpr std::size_t kTrailCount = {len(TRAILS)};
inline constexpr std::uint8_t kFirstTrail = 0x{TRAILS.start:02X};
inline constexpr std::array<char16_t, {len(double)}> kDouble = {{
{rows([f"0x{c:04X}" for c in double])}
}};

// Every character CP932 holds with its byte sequence (one byte when below 0x100), by code point.
struct Encoding {{
  char16_t code_point;
  std::uint16_t bytes;
}};
inline constexpr std::array<Encoding, {len(encode)}> kEncodings = {{{{
{rows([f"{{0x{c:04X}, 0x{b:04X}}}" for c, b in encode], 8)}
}}}};

}}  // namespace shiori::cp932
"""
    with open(sys.argv[1], "w", encoding="ascii") as out:
        out.write(header)


if __name__ == "__main__":
    main()
