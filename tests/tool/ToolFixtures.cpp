#include "tool/ToolFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ScenarioText.h"
#include "persistence/RouteCgTable.h"
#include "support/GameWriter.h"
#include "support/WaveBytes.h"

namespace shiori::test {

std::vector<std::uint8_t> BuildText(std::string_view text) {
  const auto bytes = BuildScenario(text, "story.txt");
  if (!bytes) {
    ADD_FAILURE() << bytes.error();
    return {};
  }
  return bytes.value();
}

int CodeOf(const std::vector<std::uint8_t>& bytes, int page, int line) {
  return bytes.at(static_cast<std::size_t>((page - 1) * 600 + 21 + line));
}

std::string ChainStory(const std::vector<int>& pages) {
  std::string text;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    text += "page " + std::to_string(pages[i]) + "\npicture 1\nmusic 4\n";
    text += i + 1 < pages.size() ? "next " + std::to_string(pages[i + 1]) + "\n" : "next 9501\nending 9501\n";
    text += "| 頁" + std::to_string(pages[i]) + "\\p\n| 続き\n";
  }
  return text;
}

std::vector<int> CgPagesInOrder() {
  std::vector<int> pages;
  for (const auto& route : RouteCgTable()) {
    for (const CgStep& step : route) pages.push_back(step.page);
  }
  std::sort(pages.begin(), pages.end());
  pages.insert(pages.begin(), 1);
  return pages;
}

GameFixture::GameFixture() {
  GameContents contents;
  for (const int n : {4, 12, 31, 32}) contents.music[n] = WaveBytes(8000, 16, std::string(16, '\x80'));
  GameWriter(dir_.path()).WriteFiles(contents);
}

void GameFixture::WriteScenario(std::string_view text) const {
  const std::vector<std::uint8_t> bytes = BuildText(text);
  dir_.Write("data1.rgd", std::string(bytes.begin(), bytes.end()));
}

}  // namespace shiori::test
