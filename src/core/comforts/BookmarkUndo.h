#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace shiori {

class Engine;

// No bookmark is lost to one key: a save over a slot that holds a bookmark keeps the one it replaced, until the
// next save over that slot, and the reader can take it back. Taking it back keeps the newer one in its turn. What
// is kept lies in the reader's own folder (the shell's choice, beside the preferences), one folder per game, as
// the very bytes of the bookmark file, so that nothing in the game's files changes; without such a folder it is
// kept for this run only.
class BookmarkUndo {
 public:
  explicit BookmarkUndo(Engine& engine) : engine_(engine) {}

  // The reader's folder; what was kept there for this game comes back.
  void SetFolder(const std::filesystem::path& user_folder);
  // Before a save over `slot`.
  void Keep(int slot);
  [[nodiscard]] bool CanTakeBack(int slot) const;
  // The slots whose replaced bookmark can be taken back, in order.
  [[nodiscard]] std::vector<int> Slots() const;
  // Puts the replaced bookmark back into its slot.
  [[nodiscard]] Status TakeBack(int slot);

 private:
  [[nodiscard]] std::optional<std::string> HeldBookmark(int slot) const;
  void Store(int slot, std::optional<std::string> bytes);
  [[nodiscard]] std::optional<std::filesystem::path> KeptFile(int slot) const;

  Engine& engine_;
  std::array<std::optional<std::string>, 4> kept_;  // by slot, 1..3
  std::optional<std::filesystem::path> folder_;
};

}  // namespace shiori
