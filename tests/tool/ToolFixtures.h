#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"

namespace shiori::test {

// The scenario bytes of hand-written text; fails the current test when the text does not build.
[[nodiscard]] std::vector<std::uint8_t> BuildText(std::string_view text);

// The code of line `line` of page `page` in scenario bytes.
[[nodiscard]] int CodeOf(const std::vector<std::uint8_t>& bytes, int page, int line);

// A story of text pages of two lines with a pause between them ("| 頁N\\p", "| 続き"): `pages` in the order given,
// each opened by a click on the one before; the last ends the story with the full ending. Every page shows
// picture 1 and plays music 4.
[[nodiscard]] std::string ChainStory(const std::vector<int>& pages);

// Page 1 followed by every CG page of the gallery, in page order.
[[nodiscard]] std::vector<int> CgPagesInOrder();

// A game folder with every file the player needs besides the scenario: menu, gallery, CG and ending pictures,
// picture 1 and the music 4, 12, 31 and 32 (the smallest files a player can show and play).
class GameFixture {
 public:
  GameFixture();
  void WriteScenario(std::string_view text) const;
  [[nodiscard]] const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
};

}  // namespace shiori::test
