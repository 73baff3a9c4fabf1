#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "menus/PreviewTexts.h"
#include "platform/Utf8.h"

namespace shiori {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

// A preview text taken apart: its paragraphs of story lines and its closing tag line.
struct Shape {
  std::vector<std::size_t> lines_per_paragraph;
  std::size_t longest_line = 0;
  std::size_t spaces_before_tag = 0;
  std::size_t tag_phrase_length = 0;
  std::string tag_line;
  bool operator==(const Shape& other) const {
    return lines_per_paragraph == other.lines_per_paragraph && longest_line == other.longest_line &&
           spaces_before_tag == other.spaces_before_tag && tag_phrase_length == other.tag_phrase_length;
  }
};

std::vector<std::string_view> SplitCrLf(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
    if (end == std::string_view::npos) return lines;
    at = end + 2;
  }
}

// Fails the test (and returns an empty shape) when the text is not built as paragraphs, an empty line and a tag.
Shape ShapeOf(std::string_view text) {
  Shape shape;
  const std::vector<std::string_view> lines = SplitCrLf(text);
  EXPECT_GE(lines.size(), 3u);
  if (lines.size() < 3) return shape;
  EXPECT_TRUE(lines[lines.size() - 2].empty()) << "an empty line comes before the tag";
  std::size_t in_paragraph = 0;
  for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
    EXPECT_EQ(lines[i].find('\n'), std::string_view::npos) << "a bare LF in line " << i;
    if (lines[i].empty()) {
      EXPECT_GT(in_paragraph, 0u) << "two empty lines in a row before line " << i;
      shape.lines_per_paragraph.push_back(in_paragraph);
      in_paragraph = 0;
      continue;
    }
    shape.longest_line = std::max(shape.longest_line, Utf8Length(lines[i]));
    ++in_paragraph;
  }
  EXPECT_GT(in_paragraph, 0u);
  shape.lines_per_paragraph.push_back(in_paragraph);

  std::string_view tag = lines.back();
  shape.tag_line = std::string(tag);
  while (tag.starts_with(kIdeographicSpace)) {
    tag.remove_prefix(kIdeographicSpace.size());
    ++shape.spaces_before_tag;
  }
  EXPECT_TRUE(tag.size() >= 2 && tag.front() == '-' && tag.back() == '-') << shape.tag_line;
  if (tag.size() >= 2) shape.tag_phrase_length = Utf8Length(tag.substr(1, tag.size() - 2));
  return shape;
}

// The preview box is a fixed 255 x 174 label: the texts are laid out for it line by line, and the tag is pushed to
// its right edge by counted spaces. A text of another shape would wrap, overflow or leave the tag out of place.
TEST(PreviewTextsTest, EveryTextHasTheShapeTheBoxIsLaidOutFor) {
  const Shape expected[10] = {
      {{4, 3}, 20, 16, 4, {}},       {{2, 2, 4}, 20, 17, 4, {}},    {{2, 3, 2}, 21, 17, 5, {}},
      {{1, 2, 2, 1}, 21, 16, 6, {}}, {{1, 1, 2, 2}, 19, 16, 6, {}}, {{2, 2, 1, 3}, 20, 17, 4, {}},
      {{2, 1, 1}, 68, 17, 6, {}},    {{2, 2, 2}, 29, 18, 4, {}},    {{3, 2, 1}, 53, 18, 5, {}},
      {{1, 1, 2, 2}, 27, 17, 5, {}},
  };
  const auto& texts = PreviewTexts();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE("preview text " + std::to_string(i + 1));
    const Shape shape = ShapeOf(texts[i]);
    EXPECT_EQ(shape.lines_per_paragraph, expected[i].lines_per_paragraph);
    EXPECT_EQ(shape.longest_line, expected[i].longest_line);
    EXPECT_EQ(shape.spaces_before_tag, expected[i].spaces_before_tag);
    EXPECT_EQ(shape.tag_phrase_length, expected[i].tag_phrase_length);
  }
}

// Two pairs of texts come from the same place and end with the same tag line; the others each name their own.
TEST(PreviewTextsTest, OnlyTheScenesOfOnePlaceShareATag) {
  std::vector<std::string> tags;
  for (const std::string_view text : PreviewTexts()) tags.push_back(ShapeOf(text).tag_line);
  for (std::size_t a = 0; a < tags.size(); ++a) {
    for (std::size_t b = a + 1; b < tags.size(); ++b) {
      const bool pair = (a == 1 && b == 5) || (a == 2 && b == 9);
      EXPECT_EQ(tags[a] == tags[b], pair) << "texts " << a + 1 << " and " << b + 1;
    }
  }
}

}  // namespace
}  // namespace shiori
