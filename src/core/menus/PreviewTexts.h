#pragma once

#include <array>
#include <string_view>

namespace shiori {

// The ten scene passages the load menu shows as a preview, lines joined by CR LF.
[[nodiscard]] const std::array<std::string_view, 10>& PreviewTexts();

}  // namespace shiori
