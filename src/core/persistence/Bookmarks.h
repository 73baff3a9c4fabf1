#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/Result.h"

namespace shiori {

class Engine;

// The three bookmarks, one value file each: slot 1 "data2.rgd", slot 2 "data3.rgd", slot 3 "data4.rgd", holding
// the page, the stamp MM/DD hh:mm of the save, and the music switch at saving. A missing or malformed file is an
// empty slot that resumes at page 1; it is not rewritten until the reader saves to it.
class Bookmarks {
 public:
  static constexpr int kSlots = 3;
  static constexpr const char* kEmptyStamp = "セーブデータがありません";

  explicit Bookmarks(Engine& engine) : engine_(engine) {}

  // Saves `CurrentPage` to `slot` and relabels its quick-save item. Refuses slots outside 1..3 (slot 0 would
  // name the scenario file). Fails, with the reason (also given as a warning), when the file could not be written.
  [[nodiscard]] Status SaveBookmark(int slot);
  // Labels each quick-save item whose slot holds a bookmark with that bookmark's stamp, as a save would.
  void LabelQuickSaveItems();
  // Sets `CurrentPage` and `PageBuffer` to the slot's page and returns its stamp text.
  std::string ReadBookmarkStamp(int slot);
  // The same, for resuming: the stamp is dropped.
  void LoadBookmark(int slot);
  // Writes the slot as an empty one: page 1, no stamp, music off.
  [[nodiscard]] Status WriteEmptySlot(int slot);

  // The stamp as the load menu lists it: with the year of the save in front ("2024/12/01 14:05") when it is not
  // this year. The file keeps the stamp without a year, as it always has; the year is the file's own date, when
  // that agrees with the stamp's month and day (a copied file may carry another).
  [[nodiscard]] std::string ListedStamp(int slot, const std::string& stamp) const;

  // "12/01 14:05" from "2026/12/01" and "14:05:09".
  [[nodiscard]] static std::string Stamp(const std::string& date_text, const std::string& time_text);

  struct Slot {
    std::int16_t page = 1;
    std::string stamp = kEmptyStamp;
  };
  // What the slot holds, read without touching the story's state.
  [[nodiscard]] Slot Peek(int slot) const;
  [[nodiscard]] std::filesystem::path File(int slot) const;

  // Told before a save writes over `slot`, and after, with how it went.
  std::function<void(int slot)> Overwriting;
  std::function<void(int slot, const Status& saved)> Saved;

 private:
  void LabelQuickSaveItem(int slot, const std::string& stamp);

  Engine& engine_;
};

}  // namespace shiori
