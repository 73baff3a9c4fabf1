#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shiori {

// Why these bytes cannot be shown as a picture, or none when they can. The format is told by content, as the
// shells decode it (BMP, JPEG, GIF or PNG, whatever the file's name says), and the file's structure is walked
// to its end: garbage, a file cut short and a damaged PNG chunk are found without decoding a pixel, so that the
// tools need neither Qt nor a browser. A picture that passes may still hold damaged compressed data.
[[nodiscard]] std::optional<std::string> PictureProblem(std::string_view bytes);

}  // namespace shiori
