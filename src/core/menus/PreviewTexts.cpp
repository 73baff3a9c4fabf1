#include "menus/PreviewTexts.h"

namespace shiori {

const std::array<std::string_view, 10>& PreviewTexts() {
  static const std::array<std::string_view, 10> texts = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
  return texts;
}

}  // namespace shiori
