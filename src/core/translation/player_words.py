#!/usr/bin/env python3
"""Writes the core's table of the player's own words from Qt's translation sources.

The .ts files are the one place where the player's words are translated: the desktop reads them as .qm files, the
page as JSON, and the core, which knows no toolkit, as this table. Only the messages of the context "Core" go into
it; the shells' own contexts stay with the shells.

usage: player_words.py OUT.h TS_FILE...   (each TS_FILE named shiori_<language>.ts)
"""
import sys
import xml.etree.ElementTree as ElementTree

CONTEXT = "Core"


def cpp_string(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return f'"{escaped}"'


def messages(ts_file):
    root = ElementTree.parse(ts_file).getroot()
    language = root.get("language")
    for context in root.iter("context"):
        if context.findtext("name") != CONTEXT:
            continue
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") in ("unfinished", "obsolete", "vanished"):
                continue
            if translation.text:
                yield language, message.findtext("source"), translation.text


def main():
    out, ts_files = sys.argv[1], sys.argv[2:]
    rows = sorted(row for ts_file in ts_files for row in messages(ts_file))
    with open(out, "w", encoding="utf-8") as header:
        header.write("// Written by player_words.py from the .ts files; do not edit.\n#pragma once\n\n")
        header.write("#include <string_view>\n\nnamespace shiori::generated {\n\n")
        header.write("struct PlayerWord {\n  std::string_view language;\n  std::string_view source;\n"
                     "  std::string_view translation;\n};\n\n")
        header.write("// Sorted by language, then source.\ninline constexpr PlayerWord kPlayerWords[] = {\n")
        for language, source, translation in rows:
            header.write(f"    {{{cpp_string(language)}, {cpp_string(source)}, {cpp_string(translation)}}},\n")
        header.write("};\n\n}  // namespace shiori::generated\n")


if __name__ == "__main__":
    main()
