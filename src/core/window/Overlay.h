#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/Widget.h"

namespace shiori {

// What a bookmark holds, shown in the load menu's preview box while its entry is pointed at or focused: its
// page's picture, small, and the page's first lines.
struct SlotPreview {
  std::optional<std::string> picture;  // none when it cannot be shown: a black box stands in its place
  std::vector<std::string> lines;
  bool operator==(const SlotPreview&) const = default;
};

// Where the load menu's button to take a replaced bookmark back lies: beside the bookmark's entry.
[[nodiscard]] constexpr Rect UndoButtonBeside(const Rect& entry) {
  constexpr int kWidth = 44;
  constexpr int kHeight = 22;
  return {entry.left + entry.width + 4, entry.top + (entry.height - kHeight) / 2, kWidth, kHeight};
}

// What the reader comforts show over the stage, as plain data beside the widgets, so that every shell and the
// headless screenshots draw it with the same painter. Nothing here belongs to the story.
struct Overlay {
  // The text history, drawn over a dimmed stage: the lines in view, top to bottom, and where the view lies in
  // the whole history (0 = the oldest line at the top, 1 = the newest line at the bottom).
  bool backlog_open = false;
  std::vector<std::string> backlog_lines;
  double backlog_position = 1;
  // Its heading and the hint on how to read back, in the player's language.
  std::string backlog_title;
  std::string backlog_hint;
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
  // The load menu: the bookmark pointed at, and the slots whose replaced bookmark can be taken back.
  std::optional<SlotPreview> preview;
  std::vector<int> undo_slots;

  bool operator==(const Overlay&) const = default;
};

}  // namespace shiori
