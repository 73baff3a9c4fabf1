#include "tool/ToolFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ScenarioText.h"
#include "persistence/RouteCgTable.h"
#include "platform/GameFolder.h"
#include "support/PictureBytes.h"
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
  for (const char* name :
       {"data/op01.rgd", "data/ld01.rgd", "data/ld02.rgd", "data/rg01.rgd", "log/0000.log", "data/e01.rgd",
        "data/e02.rgd", "data/e03.rgd", "data/e04.rgd", "data/e05.rgd", "data/0001.rgd"}) {
    dir_.Write(name, kPngBytes);
  }
  for (const char* name : {"data/0004.wav", "data/0012.wav", "data/0031.wav", "data/0032.wav"}) {
    dir_.Write(name, WaveBytes(8000, 16, std::string(16, '\x80')));
  }
  for (const auto& route : RouteCgTable()) {
    for (const CgStep& step : route) dir_.Write(RelativeName(step.picture), kPngBytes);
  }
}

void GameFixture::WriteScenario(std::string_view text) const {
  const std::vector<std::uint8_t> bytes = BuildText(text);
  dir_.Write("data1.rgd", std::string(bytes.begin(), bytes.end()));
}

}  // namespace shiori::test
