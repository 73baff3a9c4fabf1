// shiori-tool as an author meets it on the command line: what it says, where, and its exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tool/ToolFixtures.h"

namespace shiori {
namespace {

struct ToolRun {
  int status = -1;
  std::string out;  // standard output and standard error together
};

ToolRun Tool(const std::string& arguments) {
  const std::string command = std::string(SHIORI_BIN_DIR) + "/shiori-tool " + arguments + " 2>&1";
  ToolRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> chunk{};
  while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe)) run.out.append(chunk.data(), n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::size_t LineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CommandLineTest, MissingPathsTakeOneLineAndFoldersStandForTheirScenario) {
  for (const char* command : {"lint", "walk", "dump"}) {
    const ToolRun run = Tool(std::string(command) + " /no/such/game");
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_EQ(run.out, "shiori-tool: /no/such/game: no such file or folder\n") << command;
  }
  test::GameFixture game;
  game.WriteScenario(test::ChainStory(test::CgPagesInOrder()));
  const std::string folder = game.dir().path().string();
  const ToolRun of_folder = Tool("dump " + folder);
  EXPECT_EQ(of_folder.status, 0);
  EXPECT_EQ(of_folder.out, Tool("dump " + folder + "/data1.rgd").out);
  EXPECT_EQ(Tool("walk " + folder + "/data1.rgd").out, Tool("walk " + folder).out);

  const ToolRun lint = Tool("lint " + folder);
  EXPECT_EQ(lint.status, 0);
  EXPECT_EQ(lint.out, "data1.rgd: 39 of 39 pages reachable, 0 problems\n");
}

TEST(CommandLineTest, BuildWarnsOfANextThatNamesNoPageAndRefusesItWhenStrict) {
  test::GameFixture game;
  const std::filesystem::path text = game.dir().Write("story.txt", "page 1\npicture 1\nnext 7\n| a\n");
  const std::filesystem::path scenario = game.dir().path() / "out.rgd";
  const std::string build = "build " + text.string() + " -o " + scenario.string();

  const ToolRun lenient = Tool(build);
  EXPECT_EQ(lenient.status, 0);
  EXPECT_EQ(lenient.out, text.string() + ": page 1: warning: the next page is page 7, outside the file (pages 1-1)\n");
  EXPECT_TRUE(std::filesystem::exists(scenario));

  std::filesystem::remove(scenario);
  const ToolRun strict = Tool(build + " --strict");
  EXPECT_EQ(strict.status, 1);
  EXPECT_EQ(LineCount(strict.out), 1U) << strict.out;
  EXPECT_NE(strict.out.find("error: the next page is page 7"), std::string::npos) << strict.out;
  EXPECT_FALSE(std::filesystem::exists(scenario)) << "a strict build writes nothing it warned about";
}

TEST(CommandLineTest, BuildWarnsOfLookAlikesItWroteAndRefusesThemWhenStrict) {
  test::GameFixture game;
  const std::filesystem::path text = game.dir().Write("story.txt", "page 1\nnext 1\n| 10〜12時\n");
  const std::filesystem::path scenario = game.dir().path() / "out.rgd";
  const std::string build = "build " + text.string() + " -o " + scenario.string();

  const ToolRun lenient = Tool(build);
  EXPECT_EQ(lenient.status, 0);
  EXPECT_EQ(lenient.out, text.string() + ":3: warning: written as CP932 has it: 〜 as ～ (0x8160)\n");
  EXPECT_NE(Tool("dump " + scenario.string()).out.find("| 10～12時\n"), std::string::npos);

  std::filesystem::remove(scenario);
  const ToolRun strict = Tool(build + " --strict");
  EXPECT_EQ(strict.status, 1);
  EXPECT_NE(strict.out.find(":3: error: '〜' is not in Shift-JIS"), std::string::npos) << strict.out;
  EXPECT_FALSE(std::filesystem::exists(scenario));
}

}  // namespace
}  // namespace shiori
