#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "platform/GameFolder.h"
#include "platform/Result.h"
#include "window/Form.h"

namespace shiori {

struct HeadlessOptions {
  std::filesystem::path game_dir;
  std::optional<std::filesystem::path> save_dir;
  std::optional<std::string> now;  // "YYYY-MM-DD hh:mm:ss": a fixed wall clock that advances with the virtual one
  std::optional<std::filesystem::path> translation;  // a PO file: the story shown translated
};

// Draws the 640 x 400 client area exactly as the window does, at `scale` output pixels per stage pixel, and writes
// it as a PNG. Supplied by the Qt shell, so that the driver itself needs no toolkit.
using ScreenshotWriter =
    std::function<Status(const Form& form, const GameFolder& folder, const std::filesystem::path& png, int scale)>;

// Runs the player on a virtual clock, reading commands from `in` and printing JSON to `out`. Returns the exit
// status: 0 when the program ended or the input ran out, 1 when start-up failed, 2 on a malformed command.
int RunHeadless(const HeadlessOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
                const ScreenshotWriter& screenshot);

}  // namespace shiori
