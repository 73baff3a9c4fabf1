#include "FuzzGame.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "HeadlessDriver.h"
#include "support/FixtureGame.h"

namespace shiori::fuzz {

FuzzGame& FuzzGame::Instance() {
  static FuzzGame game;
  return game;
}

namespace {

// Saves are flushed to disk, which on a real disk costs more than the rest of a run: memory-backed when possible.
std::filesystem::path ScratchFolder() {
  const std::filesystem::path memory = "/dev/shm";
  const bool in_memory = std::filesystem::is_directory(memory) && ::access(memory.c_str(), W_OK) == 0;
  return (in_memory ? memory : std::filesystem::temp_directory_path()) / ("shiori-fuzz-" + std::to_string(::getpid()));
}

}  // namespace

FuzzGame::FuzzGame() : root_(ScratchFolder()), game_(root_ / "game"), save_(root_ / "save") {
  test::WriteFixtureGame(game_);
  std::filesystem::create_directories(save_);
}

FuzzGame::~FuzzGame() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void FuzzGame::ClearSaves() const {
  for (const auto& entry : std::filesystem::directory_iterator(save_)) std::filesystem::remove(entry.path());
}

void FuzzGame::WriteSave(const std::string& name, std::string_view bytes) const {
  std::ofstream(save_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int FuzzGame::Play(const std::string& script, std::ostream* out) const {
  std::istringstream in(script);
  std::ostream discard(nullptr);
  const HeadlessOptions options{game_, save_, "2026-12-01 14:05:09"};
  return RunHeadless(options, in, out != nullptr ? *out : discard, discard, nullptr);
}

std::string BoundWaits(std::string_view script, double budget_ms) {
  std::string bounded;
  std::istringstream lines{std::string(script)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string verb, amount, extra;
    double ms = 0;
    if (words >> verb >> amount && !(words >> extra) && verb == "wait") {
      const auto [end, error] = std::from_chars(amount.data(), amount.data() + amount.size(), ms);
      if (error == std::errc() && std::isfinite(ms) && ms > budget_ms) line = "wait " + std::to_string(budget_ms);
      if (error == std::errc() && std::isfinite(ms) && ms > 0) budget_ms = std::max(0.0, budget_ms - ms);
    }
    bounded += line;
    bounded += '\n';
  }
  return bounded;
}

}  // namespace shiori::fuzz
