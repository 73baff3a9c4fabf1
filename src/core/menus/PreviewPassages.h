#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shiori {

class Engine;

// A passage of a preview file as written: its lines apart by LF, the '>' marks still on them; and the line of the
// file it starts on. What a translation of the passage names as its original.
struct PreviewSource {
  std::string text;
  std::size_t line = 0;
};

// The passages the load menu shows in its preview box, one at a time, chosen at random. A game may bring its own
// in "preview.txt" (docs/preview-format.md); without one, the preview is a page the reader has already read, so
// that it never gives away what lies ahead: no unread page and no page that starts an ending.
class PreviewPassages {
 public:
  static constexpr const char* kFileName = "preview.txt";
  // Full-width characters a line of the preview box holds: a flush-right line is pushed to this edge.
  static constexpr std::size_t kColumns = 21;
  // The box of the load menu that shows them, and its size of text in points.
  static constexpr int kBoxWidth = 255;
  static constexpr int kBoxHeight = 174;
  static constexpr double kFont = 9;

  explicit PreviewPassages(Engine& engine) : engine_(engine) {}

  // The passage for a random draw in [0, 1), its lines joined by CR LF; empty when there is none to show.
  [[nodiscard]] std::string Pick(double draw);

 private:
  [[nodiscard]] const std::vector<PreviewSource>& GamePassages();
  [[nodiscard]] std::vector<std::string> ReadPagePassages() const;

  Engine& engine_;
  std::optional<std::vector<PreviewSource>> game_passages_;  // read once, at the first preview
};

// The passages of a preview file: blocks of lines apart by a line "---", lines starting with '#' left out, blank
// lines at either end of a block dropped, "> text" set flush right with ideographic spaces. Lines end in LF or
// CR LF; the passages come back with CR LF between their lines.
[[nodiscard]] std::vector<std::string> ParsePreviewPassages(std::string_view text);
// The same passages as written, for translating them.
[[nodiscard]] std::vector<PreviewSource> PreviewSources(std::string_view text);
// A passage as written, set for the box: '>' lines flush right, CR LF between the lines.
[[nodiscard]] std::string FormatPassage(std::string_view source);

}  // namespace shiori
