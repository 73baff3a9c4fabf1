#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
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
  std::size_t line = 0;  // a line of a text file ("en.po:14: ..."); 0 for none

  [[nodiscard]] std::string ToString() const;
};

struct LintReport {
  // The faults, files of the game first, then the scenario's pages in order; then, grouped into a line or two,
  // what follows from them: the pages and CGs that no path from page 1 reaches.
  std::vector<Diagnostic> diagnostics;
  std::size_t page_count = 0;  // pages that are not empty records
  std::size_t reachable_pages = 0;

  [[nodiscard]] bool HasErrors() const;
  // One line for the end of the report: "data1.rgd: 69 of 70 pages reachable, 0 problems".
  [[nodiscard]] std::string Summary() const;
};

// The targets of text and choice pages that lead to no page the scenario holds (0, outside the file, or an empty
// record), as errors. A single one of them can cut off the rest of a story.
[[nodiscard]] std::vector<Diagnostic> FindBrokenLinks(std::span<const std::uint8_t> scenario);

// Checks a game folder the way the player will use it: the scenario's pages, the pictures and music they name,
// the menu, gallery and ending files, and that the gallery's CG pages can be read on some path from page 1.
[[nodiscard]] LintReport LintGame(const std::filesystem::path& game);

// Checks a translation of the game (a PO file) the way the player will show it: its syntax (an error with the
// line), lines and choices that will not fit the window, untranslated, fuzzy and stale entries.
struct TranslationCheck {
  std::vector<Diagnostic> diagnostics;
  std::size_t messages = 0;
  std::size_t translated = 0;

  // "en.po: 280 of 301 messages translated, 3 problems (1 error, 2 warnings)".
  [[nodiscard]] std::string Summary(const std::string& po) const;
};
[[nodiscard]] TranslationCheck CheckTranslation(const std::filesystem::path& game, const std::filesystem::path& po);

}  // namespace shiori
