#pragma once

#include <cstdint>
#include <optional>

namespace shiori {

class Engine;

// Skipping through pages already read to the next choice page, and going back to the last choice page shown.
class SkipAndReturn {
 public:
  // A search examines at most this many pages, the one it starts at included.
  static constexpr int kSearchLimit = 2000;

  explicit SkipAndReturn(Engine& engine) : engine_(engine) {}

  // The next choice page reachable from `CurrentPage` through read pages, without entering an ending. Changes no
  // shared state.
  [[nodiscard]] std::optional<std::int16_t> FindNextChoice() const;
  // Offers the skip command when a choice page can be reached, then reads record `CurrentPage` back into
  // `PageBuffer` (after a finished page, the record of the page that follows it).
  void UpdateSkipAvailability();
  void menuNEXT_Click();
  void ReturnToPreviousChoice();

 private:
  Engine& engine_;
};

}  // namespace shiori
