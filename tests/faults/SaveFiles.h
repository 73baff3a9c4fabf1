#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace shiori::test {

// The files the player writes into its save folder: the three bookmarks and the two settings.
[[nodiscard]] const std::vector<std::string>& SaveFileNames();

// The content of every save file; nullopt for a file that does not exist.
using SaveSnapshot = std::map<std::string, std::optional<std::string>>;

[[nodiscard]] SaveSnapshot TakeSnapshot(const std::filesystem::path& save);
// Makes the save folder hold exactly `snapshot` (files missing from it are removed).
void RestoreSnapshot(const std::filesystem::path& save, const SaveSnapshot& snapshot);

// Runs the headless player in this process on the given command lines; returns what it wrote to standard error.
std::string PlayInProcess(const std::filesystem::path& game, const std::filesystem::path& save,
                          const std::vector<std::string>& lines, std::string* out = nullptr);

// A folder in memory when the machine has one (saves are flushed, which costs more on a disk than a whole run),
// else in the temporary folder.
[[nodiscard]] std::filesystem::path ScratchRoot();

}  // namespace shiori::test
