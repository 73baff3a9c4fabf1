#pragma once

#include <filesystem>
#include <string>

namespace shiori::test {

// A small but complete game for fuzzing, soaking and fault injection: two routes from a choice, a return to the
// first page, both endings, every menu, gallery, CG and ending picture, and real (short) music files. Needs no
// test framework, so that fuzz targets can build it too.
void WriteFixtureGame(const std::filesystem::path& folder);

// The scenario text of that game (docs/scenario-format.md).
[[nodiscard]] std::string FixtureStory();

// The game the real window is tested and measured on: three text pages and a choice, or with `long_pages` four
// pages of twelve full lines in a ring; whole-stage pictures with a marker in the top-left corner (PictureLook::
// Banded), so that a screenshot shows where the stage lies and at what scale; silent music.
void WriteWindowGame(const std::filesystem::path& folder, bool long_pages);

}  // namespace shiori::test
