#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace shiori {

// "0000" pattern of picture and music file numbers: at least four decimal digits with leading zeros
// (17 -> "0017", 12345 -> "12345", -5 -> "-0005").
[[nodiscard]] std::string FourDigits(long number);

// Normalises a name as the story builds it ("\data\0017.rgd", "data1.rgd", "data/0017.rgd") into the relative
// form shown to tools and tests: no leading separator, '/' between components, case kept ("data/0017.rgd").
[[nodiscard]] std::string RelativeName(std::string_view name);

// Finds `relative` ('/'-separated) under `folder`. A component that does not exist with its exact case is
// looked up case-insensitively (ASCII), component by component, since data copied from old media is often
// upper case. Returns the path that exists, or nullopt.
[[nodiscard]] std::optional<std::filesystem::path> FindCaseInsensitive(const std::filesystem::path& folder,
                                                                       std::string_view relative);

// The two folders of a game: the game folder holds the scenario "data1.rgd", pictures and music ("data/",
// "log/"); the save folder holds the bookmarks "data2.rgd" .. "data4.rgd", the read-page record "data5.rgd" and
// the settings "conf.rgd", "conf2.rgd". The save folder is the game folder when that is writable (so existing
// saves keep working), else $XDG_DATA_HOME/shiori/<game folder name>/ (~/.local/share when unset), unless the
// player is told another one. A game folder holding the marker file `shiori-read-only` (the bundled demo does,
// wherever it lies) counts as read-only even where it could be written.
class GameFolder {
 public:
  static constexpr const char* kReadOnlyMarker = "shiori-read-only";
  [[nodiscard]] static bool IsMarkedReadOnly(const std::filesystem::path& game);

  GameFolder(std::filesystem::path game, std::filesystem::path save);

  // Chooses the save folder as described above; `override` wins when given.
  [[nodiscard]] static GameFolder Open(const std::filesystem::path& game,
                                       const std::optional<std::filesystem::path>& override_save = std::nullopt);

  [[nodiscard]] const std::filesystem::path& game() const { return game_; }
  [[nodiscard]] const std::filesystem::path& save() const { return save_; }

  // Whether there is a story to play: the game folder exists, is a folder and holds the scenario "data1.rgd".
  // The message names the folder and what is wrong with it.
  [[nodiscard]] Status CheckPlayable() const;

  // Where a file of the game folder lies: the existing file found case-insensitively, or, when none exists,
  // the path with the name as given (so that an error message can name it).
  [[nodiscard]] std::filesystem::path GameFile(std::string_view name) const;

  // The same in the save folder. Bare names and names starting with a backslash resolve alike.
  [[nodiscard]] std::filesystem::path SaveFile(std::string_view name) const;

 private:
  std::filesystem::path game_;
  std::filesystem::path save_;
};

}  // namespace shiori
