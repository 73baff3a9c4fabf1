#pragma once

#include <string_view>

namespace shiori::test {

// Whether `line` is exactly one JSON value in well-formed UTF-8, as a strict reader would accept it.
[[nodiscard]] bool IsJsonLine(std::string_view line);

}  // namespace shiori::test
