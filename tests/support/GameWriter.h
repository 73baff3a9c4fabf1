#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/ScenarioRecord.h"

namespace shiori::test {

// How a written game's pictures look: the smallest picture the player shows, or a whole stage of soft bands in the
// picture's own colour with a magenta square in the top-left corner, so that a screenshot of the real window shows
// where the stage lies and at what scale.
enum class PictureLook { Tiny, Banded };

// What a game folder holds besides its scenario. The menu, gallery, CG and ending pictures are always there: the
// player looks for them whatever the story.
struct GameContents {
  std::vector<int> pictures = {1};   // data/NNNN.rgd
  std::map<int, std::string> music;  // data/NNNN.wav and its bytes
  PictureLook look = PictureLook::Tiny;
};

// The one writer of game folders for the tests, the benchmarks and the fuzz targets. Needs no test framework.
class GameWriter {
 public:
  explicit GameWriter(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Every file but the scenario.
  void WriteFiles(const GameContents& contents) const;
  // The scenario from records, by page number; pages in between are empty records.
  void WriteScenario(const std::map<int, ScenarioRecord>& pages) const;
  // The scenario from text (docs/scenario-format.md); throws std::runtime_error naming the problem when the text
  // does not build.
  void WriteScenario(std::string_view text) const;
  // Any file, by its path relative to the folder, folders made on the way; throws when it cannot be written.
  void Write(std::string_view relative, std::string_view bytes) const;

  [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }

 private:
  void WritePicture(const std::string& relative, PictureLook look) const;

  std::filesystem::path folder_;
};

// Silent 8-bit mono music of `seconds`, at 8000 samples a second.
[[nodiscard]] std::string SilentMusic(double seconds);

}  // namespace shiori::test
