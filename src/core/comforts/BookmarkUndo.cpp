#include "comforts/BookmarkUndo.h"

#include <cstdint>

#include "engine/Engine.h"
#include "persistence/Bookmarks.h"
#include "platform/RecordFile.h"

namespace shiori {
namespace {

// A folder name for the game that stays the same from run to run: FNV-1a of its save folder's path.
std::string GameKey(const std::filesystem::path& save_folder) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const unsigned char c : save_folder.generic_string()) hash = (hash ^ c) * 1099511628211ULL;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string key;
  for (int shift = 60; shift >= 0; shift -= 4) key += kHex[(hash >> shift) & 0xF];
  return key;
}

bool IsSlot(int slot) { return slot >= 1 && slot <= Bookmarks::kSlots; }

}  // namespace

std::optional<std::filesystem::path> BookmarkUndo::KeptFile(int slot) const {
  if (!folder_) return std::nullopt;
  return *folder_ / "replaced-bookmarks" / GameKey(engine_.folder().save()) /
         ("data" + std::to_string(slot + 1) + ".rgd");
}

void BookmarkUndo::SetFolder(const std::filesystem::path& user_folder) {
  folder_ = user_folder;
  for (int slot = 1; slot <= Bookmarks::kSlots; ++slot) {
    const auto bytes = ReadWholeFile(*KeptFile(slot));
    kept_[slot] = bytes ? std::optional<std::string>(bytes.value()) : std::nullopt;
  }
}

// Only a slot holding a bookmark has something to keep: an empty or unreadable one loses nothing.
std::optional<std::string> BookmarkUndo::HeldBookmark(int slot) const {
  if (engine_.bookmarks().Peek(slot).stamp == Bookmarks::kEmptyStamp) return std::nullopt;
  const auto bytes = ReadWholeFile(engine_.bookmarks().File(slot));
  return bytes ? std::optional<std::string>(bytes.value()) : std::nullopt;
}

void BookmarkUndo::Keep(int slot) {
  if (IsSlot(slot)) Store(slot, HeldBookmark(slot));
}

void BookmarkUndo::Store(int slot, std::optional<std::string> bytes) {
  kept_[slot] = std::move(bytes);
  const auto file = KeptFile(slot);
  if (!file) return;
  std::error_code ignored;
  if (!kept_[slot]) {
    std::filesystem::remove(*file, ignored);
    return;
  }
  std::filesystem::create_directories(file->parent_path(), ignored);
  if (const Status written = WriteFileAtomically(*file, *kept_[slot]); !written) {
    engine_.services().warnings.Warn(written.error() + " (the replaced bookmark is kept for this run only)");
  }
}

bool BookmarkUndo::CanTakeBack(int slot) const { return IsSlot(slot) && kept_[slot].has_value(); }

std::vector<int> BookmarkUndo::Slots() const {
  std::vector<int> slots;
  for (int slot = 1; slot <= Bookmarks::kSlots; ++slot) {
    if (CanTakeBack(slot)) slots.push_back(slot);
  }
  return slots;
}

Status BookmarkUndo::TakeBack(int slot) {
  if (!CanTakeBack(slot)) return Status::Failure("no replaced bookmark of slot " + std::to_string(slot) + " is kept");
  const std::string restored = *kept_[slot];
  const std::optional<std::string> replaced = HeldBookmark(slot);
  const Status written = WriteFileAtomically(engine_.bookmarks().File(slot), restored);
  if (!written) return written;
  Store(slot, replaced);
  engine_.bookmarks().LabelQuickSaveItems();
  return Done{};
}

}  // namespace shiori
