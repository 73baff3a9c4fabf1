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

}  // namespace shiori::test
