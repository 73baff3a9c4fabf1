#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace shiori {

enum class Severity { kWarning, kError };

// One finding, printed compiler-style: "data1.rgd: page 17: error: ...".
struct Diagnostic {
  std::string file;      // relative to the game folder, '/'-separated
  std::size_t page = 0;  // 0: the finding is about the file as a whole
  Severity severity = Severity::kError;
  std::string message;

  [[nodiscard]] std::string ToString() const;
};

struct LintReport {
  std::vector<Diagnostic> diagnostics;  // files of the game first, then the scenario's pages in order

  [[nodiscard]] bool HasErrors() const;
};

// Checks a game folder the way the player will use it: the scenario's pages, the pictures and music they name,
// the menu, gallery and ending files, and that the gallery's CG pages can be read on some path from page 1.
[[nodiscard]] LintReport LintGame(const std::filesystem::path& game);

}  // namespace shiori
