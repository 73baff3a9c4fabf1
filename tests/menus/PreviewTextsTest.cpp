#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menus/PreviewTexts.h"
#include "platform/Utf8.h"

namespace shiori::test {
namespace {

struct Shape {
  std::vector<int> paragraph_lines;
  std::size_t longest;
  std::size_t spaces;
  std::size_t tag;
};

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find("\r\n", at);
    lines.emplace_back(text.substr(at, end - at));
    if (end == std::string_view::npos) return lines;
    at = end + 2;
  }
}

// The box on the load menu is sized for passages of this shape; the tag line is pushed to its right edge.
TEST(PreviewTexts, EachPassageHasTheShapeTheBoxIsMadeFor) {
  const std::vector<Shape> shapes = {{{4, 3}, 20, 16, 4},       {{2, 2, 4}, 20, 17, 4},    {{2, 3, 2}, 21, 17, 5},
                                     {{1, 2, 2, 1}, 21, 16, 6}, {{1, 1, 2, 2}, 19, 16, 6}, {{2, 2, 1, 3}, 20, 17, 4},
                                     {{2, 1, 1}, 68, 17, 6},    {{2, 2, 2}, 29, 18, 4},    {{3, 2, 1}, 53, 18, 5},
                                     {{1, 1, 2, 2}, 27, 17, 5}};
  const auto& texts = PreviewTexts();
  std::vector<std::string> tags;
  for (std::size_t n = 0; n < texts.size(); ++n) {
    SCOPED_TRACE("text " + std::to_string(n + 1));
    const std::vector<std::string> lines = SplitLines(texts[n]);
    ASSERT_GE(lines.size(), 3U);
    const std::string& tag_line = lines.back();
    EXPECT_EQ(lines[lines.size() - 2], "") << "an empty line before the tag";

    std::vector<int> paragraphs{0};
    std::size_t longest = 0;
    for (std::size_t k = 0; k + 2 < lines.size(); ++k) {
      if (lines[k].empty()) {
        paragraphs.push_back(0);
        continue;
      }
      ++paragraphs.back();
      longest = std::max(longest, Utf8Length(lines[k]));
    }
    EXPECT_EQ(paragraphs, shapes[n].paragraph_lines);
    EXPECT_EQ(longest, shapes[n].longest);

    std::size_t spaces = 0;
    const std::string ideographic_space = "\u3000";
    while (tag_line.compare(spaces * 3, 3, ideographic_space) == 0) ++spaces;
    EXPECT_EQ(spaces, shapes[n].spaces);
    const std::string tag = tag_line.substr(spaces * 3);
    ASSERT_GE(tag.size(), 2U);
    EXPECT_EQ(tag.front(), '-');
    EXPECT_EQ(tag.back(), '-');
    EXPECT_EQ(Utf8Length(tag) - 2, shapes[n].tag);
    tags.push_back(tag_line);
  }
  EXPECT_EQ(tags[1], tags[5]);
  EXPECT_EQ(tags[2], tags[9]);
}

}  // namespace
}  // namespace shiori::test
