#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace shiori {

// What the reader comforts show over the stage, as plain data beside the widgets, so that every shell and the
// headless screenshots draw it with the same painter. Nothing here belongs to the story.
struct Overlay {
  // The text history, drawn over a dimmed stage: the lines in view, top to bottom, and where the view lies in
  // the whole history (0 = the oldest line at the top, 1 = the newest line at the bottom).
  bool backlog_open = false;
  std::vector<std::string> backlog_lines;
  double backlog_position = 1;
  // A short message such as "セーブしました", shown for a few seconds.
  std::optional<std::string> notice;
  // "AUTO" or "SKIP" while the story reads on by itself.
  std::optional<std::string> indicator;
  // The widgets the keyboard focus and the mouse pointer are on.
  std::optional<std::string> focus;
  std::optional<std::string> hover;
  // The message lines and the arrow are hidden to show the whole picture.
  bool text_hidden = false;
  // The key help over everything: each key and what it does; none while it is not shown.
  std::vector<std::pair<std::string, std::string>> help;

  bool operator==(const Overlay&) const = default;
};

}  // namespace shiori
