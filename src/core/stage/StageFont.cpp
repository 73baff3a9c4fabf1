#include "stage/StageFont.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "StageFontMetrics.h"

namespace shiori::stage {
namespace {

constexpr float kEm = font_table::kUnitsPerEm;

bool Covered(char32_t code) {
  if (code >= 0x10000) return false;
  return ((font_table::kCovered[code / 64] >> (code % 64)) & 1u) != 0;
}

// Which characters are listed as unusual, one bit each: nearly every character a page types is not, and is
// answered without a search.
constexpr std::array<std::uint64_t, 1024> kUnusualBits = [] {
  std::array<std::uint64_t, 1024> bits{};
  for (const font_table::Unusual& u : font_table::kUnusual) bits[u.code / 64] |= std::uint64_t{1} << (u.code % 64);
  return bits;
}();

const font_table::Unusual* FindUnusual(char32_t code) {
  if (code >= 0x10000 || ((kUnusualBits[code / 64] >> (code % 64)) & 1u) == 0) return nullptr;
  const auto& table = font_table::kUnusual;
  const auto found = std::lower_bound(table.begin(), table.end(), code,
                                      [](const font_table::Unusual& u, char32_t c) { return u.code < c; });
  return found != table.end() && found->code == code ? &*found : nullptr;
}

}  // namespace

char32_t StageFont::Shown(char32_t code) { return Covered(code) ? code : kMissing; }

float StageFont::Advance(char32_t code) {
  const font_table::Unusual* unusual = FindUnusual(Shown(code));
  return unusual != nullptr ? unusual->advance / kEm : 1.0f;
}

float StageFont::LeftOverhang(char32_t code) {
  const font_table::Unusual* unusual = FindUnusual(Shown(code));
  return unusual != nullptr ? unusual->left / kEm : 0.0f;
}

float StageFont::RightOverhang(char32_t code) {
  const font_table::Unusual* unusual = FindUnusual(Shown(code));
  return unusual != nullptr ? unusual->right / kEm : 0.0f;
}

float LineWidth(std::u32string_view text, float pixel_size) {
  float width = 0;
  for (const char32_t c : text) width += StageFont::Advance(c) * pixel_size;
  return width;
}

}  // namespace shiori::stage
