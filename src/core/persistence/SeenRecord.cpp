#include "persistence/SeenRecord.h"

#include <vector>

#include "engine/Engine.h"
#include "persistence/Bookmarks.h"
#include "platform/RecordFile.h"

namespace shiori {

std::filesystem::path SeenRecord::File() const { return engine_.folder().SaveFile("data5.rgd"); }

void SeenRecord::MarkPageSeen() {
  const std::int16_t page = engine_.state().CurrentPage;
  if (page < 1) return;
  const Status written = WriteRecord(File(), 1, page, {kRead}, kUnread);
  if (!written) engine_.services().warnings.Warn(written.error());
}

Result<RecordReader> SeenRecord::Open() const { return RecordReader::Open(File(), 1); }

std::uint8_t SeenRecord::MarkOf(const RecordReader& record, std::int16_t page) const {
  const auto mark = record.Read(page);
  if (!mark) engine_.services().warnings.Warn(mark.error());
  return mark && !mark.value().empty() ? mark.value()[0] : kUnread;
}

std::uint8_t SeenRecord::ReadMark(std::int16_t page) const {
  const auto record = Open();
  if (!record) {
    engine_.services().warnings.Warn(record.error());
    return kUnread;
  }
  return MarkOf(record.value(), page);
}

std::vector<std::int16_t> SeenRecord::ReadPages() const {
  std::vector<std::int16_t> pages;
  const Result<std::string> marks = ReadWholeFile(File());
  if (!marks) return pages;
  const std::size_t count = std::min<std::size_t>(marks.value().size(), kPages);
  for (std::size_t i = 0; i < count; ++i) {
    if (static_cast<std::uint8_t>(marks.value()[i]) == kRead) pages.push_back(static_cast<std::int16_t>(i + 1));
  }
  return pages;
}

bool SeenRecord::IsPageSeen(std::int16_t page) const { return ReadMark(page) == kRead; }

void SeenRecord::CountIfSeen(std::int16_t page, int route) {
  if (IsPageSeen(page)) ++engine_.state().RouteSeenCount[route - 1];
}

Status SeenRecord::InitialiseSaveData() {
  for (int slot = 1; slot <= Bookmarks::kSlots; ++slot) {
    if (Status emptied = engine_.bookmarks().WriteEmptySlot(slot); !emptied) return emptied;
  }
  // One write of the 9999 marks gives the same file as 9999 single-byte writes, and leaves any tail alone.
  return WriteRecord(File(), kPages, 1, std::vector<std::uint8_t>(kPages, kUnread), kUnread);
}

}  // namespace shiori
