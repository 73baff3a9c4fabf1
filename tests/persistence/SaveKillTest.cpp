#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <thread>

#include "support/FolderSnapshot.h"
#include "support/TestGame.h"

extern char** environ;

namespace shiori::test {
namespace {

constexpr int kKills = 60;

const std::filesystem::path kPlayer = std::filesystem::path(SHIORI_BIN_DIR) / "shiori";

// Runs the player headless on `game` with `script` as its input, and kills it after `delay`.
void RunAndKill(const std::filesystem::path& game, const std::filesystem::path& script,
                std::chrono::microseconds delay) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, script.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const std::string player = kPlayer.string();
  const std::string folder = game.string();
  std::string headless = "--headless";
  std::string now_flag = "--now";
  std::string now = "2026-12-01 14:05:09";
  char* argv[] = {const_cast<char*>(player.c_str()),
                  headless.data(),
                  const_cast<char*>(folder.c_str()),
                  now_flag.data(),
                  now.data(),
                  nullptr};
  pid_t child = 0;
  const int spawned = posix_spawn(&child, player.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(spawned, 0) << "cannot start " << player;
  std::this_thread::sleep_for(delay);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
}

std::size_t Temporaries(TestGame& game) {
  std::size_t count = 0;
  for (const auto& [name, bytes] : SnapshotFolder(game.dir().path())) count += name.find(".tmp-") != std::string::npos;
  return count;
}

// A save loop: the settings screen stays open over the story, so that bookmarks and the speed are written
// turn about, with the stamp moving on a minute each round.
std::string SaveLoop() {
  std::string script = "click lblMLT(2)\nclick lblMLT(0)\nclick lblMLT(3)\nwait 1000\n";
  for (int round = 0; round < 2000; ++round) {
    script += "menu menuSAVE(1)\nclick lblMOJI_F\nmenu menuSAVE(2)\nclick lblMOJI_S\nmenu menuSAVE(3)\nwait 60000\n";
  }
  return script;
}

TEST(SaveKill, AKilledSaveLeavesTheOldOrTheNewFile) {
  if (!std::filesystem::exists(kPlayer)) GTEST_SKIP() << kPlayer << " is not built";
  TestGame game;
  game.Page(1, PageSpec::Text({"一"}, {201}, 2));
  game.Page(2, PageSpec::Text({"二"}, {201}, 3));
  game.Create();
  const std::string empty_slot = Sjis("1,\"セーブデータがありません\",#FALSE#\r\n");
  for (const char* slot : {"data2.rgd", "data3.rgd", "data4.rgd"}) game.dir().Write(slot, empty_slot);
  game.dir().Write("conf2.rgd", "2\r\n");
  TempDir scripts;
  const std::filesystem::path script = scripts.Write("loop.txt", SaveLoop());

  const std::regex saved(R"(2,"12/\d\d \d\d:\d\d",#TRUE#\r\n)");
  const std::set<std::string> speeds = {"1\r\n", "2\r\n", "3\r\n"};
  std::set<std::string> seen_contents;
  std::mt19937 random(20261201);
  std::uniform_int_distribution<int> delay_us(2'000, 250'000);
  for (int kill = 0; kill < kKills; ++kill) {
    RunAndKill(game.dir().path(), script, std::chrono::microseconds(delay_us(random)));
    const auto files = SnapshotFolder(game.dir().path());
    for (const char* slot : {"data2.rgd", "data3.rgd", "data4.rgd"}) {
      ASSERT_TRUE(files.contains(slot)) << slot << " vanished at kill " << kill;
      const std::string& bytes = files.at(slot);
      EXPECT_TRUE(bytes == empty_slot || std::regex_match(bytes, saved))
          << slot << " at kill " << kill << ": " << bytes;
      seen_contents.insert(bytes);
    }
    ASSERT_TRUE(files.contains("conf2.rgd"));
    EXPECT_TRUE(speeds.contains(files.at("conf2.rgd"))) << "at kill " << kill << ": " << files.at("conf2.rgd");
    EXPECT_FALSE(files.contains("conf.rgd")) << "the music switch is written only at a normal end";
    // A kill interrupts one write at most, and the next write of that file clears its temporary.
    EXPECT_LE(Temporaries(game), 4U) << "at kill " << kill;
  }
  EXPECT_GE(seen_contents.size(), 3U) << "the kills should fall in the middle of the saving";

  // A normal run afterwards writes every file once more, clearing what the last kill left.
  const std::filesystem::path once =
      scripts.Write("once.txt",
                    "click lblMLT(2)\nclick lblMLT(0)\nclick lblMLT(3)\nwait 1000\nmenu menuSAVE(1)\n"
                    "menu menuSAVE(2)\nmenu menuSAVE(3)\nclick lblMOJI_N\nclose\n");
  RunAndKill(game.dir().path(), once, std::chrono::seconds(2));
  EXPECT_EQ(Temporaries(game), 0U);
  EXPECT_EQ(game.dir().Read("conf2.rgd"), "2\r\n");
  EXPECT_EQ(game.dir().Read("conf.rgd"), "#TRUE#\r\n");
}

}  // namespace
}  // namespace shiori::test
