#include "persistence/Bookmarks.h"

#include <array>
#include <chrono>
#include <ctime>
#include <limits>

#include "engine/Engine.h"
#include "platform/ValueFile.h"

namespace shiori {

std::filesystem::path Bookmarks::File(int slot) const {
  return engine_.folder().SaveFile("data" + std::to_string(slot + 1) + ".rgd");
}

std::string Bookmarks::Stamp(const std::string& date_text, const std::string& time_text) {
  const std::string date = date_text.size() >= 5 ? date_text.substr(date_text.size() - 5) : date_text;
  const std::string time = time_text.size() >= 8 ? time_text.substr(time_text.size() - 8, 5) : time_text;
  return date + " " + time;
}

namespace {

// The local date the file was last written, as "YYYY/MM/DD".
std::optional<std::string> FileDate(const std::filesystem::path& file) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(file, error);
  if (error) return std::nullopt;
  // Through the present moment of both clocks: not every C++ library converts between them yet.
  const auto since = std::chrono::duration_cast<std::chrono::system_clock::duration>(
      written - std::filesystem::file_time_type::clock::now());
  const std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() + since);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return std::nullopt;
  std::array<char, 16> text{};
  if (std::strftime(text.data(), text.size(), "%Y/%m/%d", &local) == 0) return std::nullopt;
  return std::string(text.data());
}

}  // namespace

std::string Bookmarks::ListedStamp(int slot, const std::string& stamp) const {
  const auto date = FileDate(File(slot));
  const std::string today = engine_.services().clock.DateText();
  if (!date || date->size() != 10 || stamp.size() < 5 || date->substr(5) != stamp.substr(0, 5)) return stamp;
  return date->substr(0, 4) == today.substr(0, 4) ? stamp : date->substr(0, 5) + stamp;
}

Status Bookmarks::SaveBookmark(int slot) {
  if (slot < 1 || slot > kSlots) return Status::Failure("there is no bookmark " + std::to_string(slot));
  PlayState& s = engine_.state();
  Services& services = engine_.services();
  s.BgmOn = engine_.form().menuBGM.checked();
  const std::string time = services.clock.TimeText();
  const std::string stamp = Stamp(services.clock.DateText(), time);
  if (Overwriting) Overwriting(slot);
  const Status written = WriteValueFile(File(slot), {Number{s.CurrentPage}, stamp, s.BgmOn});
  if (!written) services.warnings.Warn(written.error());
  if (written) LabelQuickSaveItem(slot, stamp);
  if (Saved) Saved(slot, written);
  return written;
}

void Bookmarks::LabelQuickSaveItem(int slot, const std::string& stamp) {
  static constexpr std::array<const char*, 4> kItemNames = {"", "データ１：", "データ２：", "データ３："};
  engine_.form().menuSAVE[slot]->SetCaption(kItemNames[slot] + stamp);
}

void Bookmarks::LabelQuickSaveItems() {
  for (int slot = 1; slot <= kSlots; ++slot) {
    const Slot bookmark = Peek(slot);
    if (bookmark.stamp != kEmptyStamp) LabelQuickSaveItem(slot, bookmark.stamp);
  }
}

// A file that is missing, unreadable or not of the form page, "stamp", flag reads as an empty slot.
Bookmarks::Slot Bookmarks::Peek(int slot) const {
  const auto values = ReadValueFile(File(slot));
  if (!values) return {};
  const ValueLine& line = values.value();
  const Number* page = line.empty() ? nullptr : std::get_if<Number>(&line[0]);
  const std::string* stamp = line.size() < 2 ? nullptr : std::get_if<std::string>(&line[1]);
  if (page == nullptr || stamp == nullptr || *page < std::numeric_limits<std::int16_t>::min() ||
      *page > std::numeric_limits<std::int16_t>::max()) {
    engine_.services().warnings.Warn(File(slot).string() + ": not a bookmark; the slot is listed as empty");
    return {};
  }
  return {static_cast<std::int16_t>(*page), *stamp};
}

std::string Bookmarks::ReadBookmarkStamp(int slot) {
  PlayState& s = engine_.state();
  Slot bookmark = Peek(slot);
  s.CurrentPage = bookmark.page == 0 ? 1 : bookmark.page;
  static_cast<void>(engine_.ReadPageRecord());
  return std::move(bookmark.stamp);
}

void Bookmarks::LoadBookmark(int slot) { static_cast<void>(ReadBookmarkStamp(slot)); }

Status Bookmarks::WriteEmptySlot(int slot) { return WriteValueFile(File(slot), {1L, std::string(kEmptyStamp), false}); }

}  // namespace shiori
