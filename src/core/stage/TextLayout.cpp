#include "stage/TextLayout.h"

#include <algorithm>
#include <cmath>

#include "platform/Utf8.h"
#include "stage/StageFont.h"

namespace shiori::stage {
namespace {

// How far a line may be narrowed rather than wrapped out of sight: on the box's last line.
constexpr float kMaxSqueeze = 1.12f;
// How far any line may be narrowed rather than wrapped at all: our full-width characters are a little wider than
// the twelve pixels a box was measured in (21 of them take 256 pixels, not 252), which would otherwise push the
// last character of a full line, often a lone full stop, onto a line of its own.
constexpr float kQuietSqueeze = 1.02f;
// How far a line may be narrowed by taking space from between its characters alone (a pixel a character at most
// for 27-pixel text); beyond it the glyphs narrow too.
constexpr float kSpacingSqueeze = 1.04f;
// How many pixels of a line's cell may hang below a label and still count as a whole line.
constexpr float kLineSlack = 2;

// Japanese text wraps between any two characters.
bool IsJapanese(char32_t c) {
  return (c >= 0x2E80 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF);
}

// Characters that close what came before them and so never begin a line.
bool IsClosing(char32_t c) {
  static constexpr std::u32string_view kClosing =
      U"、。，．・：；？！）」』】〕〉》〙〗’”…‥ー々ゝゞぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ）！？，．：；"
      U"｡｣､ｰﾞﾟｧｨｩｪｫｬｭｮｯ)]}!?,.:;";
  return kClosing.find(c) != std::u32string_view::npos;
}

// Spaces at the end of a wrapped line hang past it: they take no room, as in every word processor.
bool IsHangingSpace(char32_t c) { return c == U' ' || c == U'\t'; }

// A line may end between `before` and `after`.
bool MayBreakBetween(char32_t before, char32_t after) {
  if (IsClosing(after)) return false;
  return IsHangingSpace(before) || IsJapanese(before) || IsJapanese(after);
}

struct Paragraph {
  std::u32string_view text;
  std::size_t first;  // its first character's index in the whole text
};

std::vector<Paragraph> Paragraphs(const std::u32string& text) {
  std::vector<Paragraph> paragraphs;
  std::size_t start = 0;
  std::size_t index = 0;  // CR LF counts as one character
  std::size_t first = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != U'\r' && text[i] != U'\n') {
      ++index;
      continue;
    }
    paragraphs.push_back({std::u32string_view(text).substr(start, i - start), first});
    if (i + 1 < text.size() && text[i] == U'\r' && text[i + 1] == U'\n') ++i;
    start = i + 1;
    first = ++index;
  }
  return paragraphs;
}

float TrimmedWidth(std::u32string_view text, float pixel_size) {
  while (!text.empty() && IsHangingSpace(text.back())) text.remove_suffix(1);
  return LineWidth(text, pixel_size);
}

// Where the line that starts at `start` ends: the last place it may break before it grows wider than `width`,
// else (a word wider than the box) as many characters as fit, at least one.
std::size_t LineEnd(std::u32string_view text, std::size_t start, float width, float pixel_size) {
  float x = 0;
  std::size_t fits = start;  // characters [start, fits) fit
  while (fits < text.size()) {
    const float next = x + StageFont::Advance(text[fits]) * pixel_size;
    if (next > width + 0.01f && !IsHangingSpace(text[fits])) break;
    x = next;
    ++fits;
  }
  if (fits >= text.size()) return text.size();
  for (std::size_t end = fits; end > start; --end) {
    if (MayBreakBetween(text[end - 1], text[end])) return end;
  }
  // No break fits: cut inside the word, keeping closing punctuation with what it closes where there is room.
  std::size_t end = std::max(fits, start + 1);
  while (end > start + 1 && end < text.size() && IsClosing(text[end])) --end;
  return end;
}

TextLine PlaceLine(std::u32string_view text, std::size_t first, float pixel_size, float left, float baseline,
                   float spacing, float squeeze) {
  TextLine line{{}, baseline, squeeze, first};
  line.glyphs.reserve(text.size());
  float x = 0;
  for (const char32_t c : text) {
    line.glyphs.push_back({StageFont::Shown(c), left + x * squeeze});
    x += StageFont::Advance(c) * pixel_size + spacing;
  }
  return line;
}

float AlignedLeft(const Box& box, float line_width, Alignment alignment) {
  return alignment == Alignment::Centre ? box.x + (box.width - line_width) / 2 : box.x;
}

}  // namespace

float LinePitch(float pixel_size) { return std::round(pixel_size * 10 / 9); }

float BaselineInLine(float pixel_size) {
  return (LinePitch(pixel_size) - pixel_size) / 2 + pixel_size * StageFont::kEmAscent;
}

std::u32string CodePoints(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); at += Utf8CodePointSize(text, at)) {
    out.push_back(Utf8CodePointAt(text, at).value_or(U'\uFFFD'));
  }
  return out;
}

std::vector<TextLine> LayOutText(std::string_view utf8, const TextStyle& style, const Box& box) {
  const float px = style.pixel_size;
  const float pitch = LinePitch(px);
  const int capacity = std::max(1, static_cast<int>((box.height + kLineSlack) / pitch));
  const std::u32string text = CodePoints(utf8);
  std::vector<TextLine> lines;
  int line_index = 0;
  const auto baseline = [&](int index) { return box.y + static_cast<float>(index) * pitch + BaselineInLine(px); };
  for (const Paragraph& paragraph : Paragraphs(text)) {
    if (line_index >= capacity) break;
    const float natural = TrimmedWidth(paragraph.text, px);
    // A line a little too wide for a label with no room below would wrap its end out of sight; narrowed a few per
    // cent, the reader sees all of it. One a hair too wide would wrap a lone last character where there is room:
    // narrowed less, it stays whole.
    const float limit = line_index + 1 >= capacity ? kMaxSqueeze : kQuietSqueeze;
    if (natural > box.width && natural <= box.width * limit) {
      // The space comes from between the glyphs, so that the last one ends at the box's edge.
      const auto gaps = static_cast<float>(std::max<std::size_t>(paragraph.text.size(), 2) - 1);
      const bool by_spacing = natural <= box.width * kSpacingSqueeze;
      const float spacing = by_spacing ? -(natural - box.width) / gaps : 0;
      const float squeeze = by_spacing ? 1 : box.width / natural;
      lines.push_back(PlaceLine(paragraph.text, paragraph.first, px, box.x, baseline(line_index), spacing, squeeze));
      ++line_index;
      continue;
    }
    std::size_t start = 0;
    do {
      const std::size_t end = LineEnd(paragraph.text, start, box.width, px);
      const std::u32string_view shown = paragraph.text.substr(start, end - start);
      if (!shown.empty()) {
        const float left = AlignedLeft(box, TrimmedWidth(shown, px), style.alignment);
        lines.push_back(PlaceLine(shown, paragraph.first + start, px, left, baseline(line_index), 0, 1));
      }
      ++line_index;
      start = end;
    } while (start < paragraph.text.size() && line_index < capacity);
  }
  return lines;
}

std::u32string Elided(std::u32string_view text, float pixel_size, float width) {
  if (LineWidth(text, pixel_size) <= width) return std::u32string(text);
  const float room = width - StageFont::Advance(U'…') * pixel_size;
  float x = 0;
  std::size_t kept = 0;
  while (kept < text.size() && x + StageFont::Advance(text[kept]) * pixel_size <= room) {
    x += StageFont::Advance(text[kept]) * pixel_size;
    ++kept;
  }
  return std::u32string(text.substr(0, kept)) + U'…';
}

}  // namespace shiori::stage
