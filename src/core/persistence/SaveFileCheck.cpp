#include "persistence/SaveFileCheck.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string>
#include <variant>

#include "persistence/SeenRecord.h"
#include "platform/ValueFile.h"

namespace shiori {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// What the player takes for a bookmark when it reads one (Bookmarks::Read): a page number and a stamp.
bool IsBookmark(const ValueLine& line) {
  const Number* page = line.empty() ? nullptr : std::get_if<Number>(&line[0]);
  return line.size() >= 2 && page != nullptr && *page >= std::numeric_limits<std::int16_t>::min() &&
         *page <= std::numeric_limits<std::int16_t>::max() && std::holds_alternative<std::string>(line[1]);
}

Status CheckValueFile(const std::string& name, std::string_view content, bool (*fits)(const ValueLine&),
                      const char* what) {
  const Result<ValueLine> line = ParseValueLine(content);
  if (!line) return Status::Failure(name + ": " + line.error());
  if (!fits(line.value())) return Status::Failure(name + ": not " + std::string(what));
  return Done{};
}

// One mark per page, each unread or read; a page number is 16 bits, so no record is longer than its pages.
Status CheckSeenRecord(const std::string& name, std::string_view content) {
  constexpr std::size_t kLongest = std::numeric_limits<std::int16_t>::max();
  if (content.size() > kLongest) return Status::Failure(name + ": longer than any read-page record");
  const auto stray = std::find_if(content.begin(), content.end(), [](char c) {
    return c != static_cast<char>(SeenRecord::kUnread) && c != static_cast<char>(SeenRecord::kRead);
  });
  if (stray != content.end()) {
    return Status::Failure(name + ": not a read-page record (byte " + std::to_string(stray - content.begin()) +
                           " is neither unread nor read)");
  }
  return Done{};
}

}  // namespace

Status CheckSaveFile(std::string_view name, std::string_view content) {
  const std::string file = Lower(name);
  if (file == "data2.rgd" || file == "data3.rgd" || file == "data4.rgd") {
    return CheckValueFile(file, content, IsBookmark, "a bookmark (a page number and a \"stamp\")");
  }
  if (file == "data5.rgd") return CheckSeenRecord(file, content);
  if (file == "conf.rgd") {
    return CheckValueFile(
        file, content, [](const ValueLine& l) { return !l.empty() && std::holds_alternative<bool>(l[0]); },
        "the music setting (#TRUE# or #FALSE#)");
  }
  if (file == "conf2.rgd") {
    return CheckValueFile(
        file, content,
        [](const ValueLine& l) {
          const Number* speed = l.empty() ? nullptr : std::get_if<Number>(&l[0]);
          return speed != nullptr && *speed >= 0 && *speed <= 255;
        },
        "the text speed (a number from 0 to 255)");
  }
  return Status::Failure(std::string(name) + ": not the name of a save file");
}

}  // namespace shiori
