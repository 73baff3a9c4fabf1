#pragma once

#include <QRawFont>
#include <filesystem>
#include <vector>

#include "platform/Result.h"

namespace shiori {

// The stage font, read from the file the player ships (IPAex Gothic) whatever fonts the machine has installed: the
// core placed every glyph by that file's metrics, so no other font may stand in for it.

// Where the player looks for the file: beside it as the build and `cmake --install` lay it out
// (<exe dir>/../share/shiori/fonts/), then where the build found it.
[[nodiscard]] std::vector<std::filesystem::path> StageFontPlaces();

// The font in `file` at one pixel, or why it cannot be used. The file is mapped, not read: only the pages of the
// glyphs drawn are ever loaded, a few hundred kilobytes of its six megabytes. A file loaded once is kept for the
// life of the process, so loading it again costs nothing.
[[nodiscard]] Result<QRawFont> LoadFontFile(const std::filesystem::path& file);

// The first of StageFontPlaces() that holds a usable font; the failure names every place looked at.
[[nodiscard]] Result<QRawFont> LoadStageFont();

}  // namespace shiori
