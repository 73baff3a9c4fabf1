#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/RecordFile.h"
#include "platform/Result.h"

namespace shiori {

class Engine;

// The read-page record "data5.rgd": one byte per scenario page, 1 = not yet read, 2 = read. Every access opens,
// reads or writes one byte, and closes the file; nothing is cached, so every caller sees the file as it is.
class SeenRecord {
 public:
  static constexpr std::uint8_t kUnread = 1;
  static constexpr std::uint8_t kRead = 2;
  static constexpr int kPages = 9999;

  explicit SeenRecord(Engine& engine) : engine_(engine) {}

  // Marks page `CurrentPage` read. Pages below 1 are ignored; a page past the end lengthens the file with
  // unread marks in between.
  void MarkPageSeen();
  // Only a mark of 2 counts as read here.
  [[nodiscard]] bool IsPageSeen(std::int16_t page) const;
  // Adds 1 to `RouteSeenCount` of `route` (1..3) when the page is read.
  void CountIfSeen(std::int16_t page, int route);
  // The raw mark of a page. A page outside the file (or a missing file) reads as unread.
  [[nodiscard]] std::uint8_t ReadMark(std::int16_t page) const;
  // The record held open for one search; `MarkOf` reads a page's mark from it.
  [[nodiscard]] Result<RecordReader> Open() const;
  [[nodiscard]] std::uint8_t MarkOf(const RecordReader& record, std::int16_t page) const;
  // Every page marked read, in order, from one read of the whole record (none when it is missing).
  [[nodiscard]] std::vector<std::int16_t> ReadPages() const;
  // Empties the three bookmark slots and marks pages 1 to 9999 unread; a longer file keeps its tail.
  [[nodiscard]] Status InitialiseSaveData();

 private:
  [[nodiscard]] std::filesystem::path File() const;

  Engine& engine_;
};

}  // namespace shiori
