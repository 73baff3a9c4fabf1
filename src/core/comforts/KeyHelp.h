#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace shiori {

// The key help (F1): every key the player answers, on one screen over the stage. While it is up the story
// waits; any key or click takes it away and does nothing else.
class KeyHelp {
 public:
  using Row = std::pair<std::string, std::string>;  // the keys, what they do

  void Toggle() { open_ = !open_; }
  void Close() { open_ = false; }
  [[nodiscard]] bool open() const { return open_; }
  // The rows the screen shows, in the order a reader meets them.
  [[nodiscard]] static const std::vector<Row>& Rows();

 private:
  bool open_ = false;
};

}  // namespace shiori
