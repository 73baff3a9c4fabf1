#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace shiori {

// One page of the story: 48 bytes of little-endian numeric fields, then twelve 46-byte Shift-JIS lines.
struct ScenarioRecord {
  static constexpr std::size_t kSize = 600;
  static constexpr std::size_t kHeaderSize = 48;
  static constexpr std::size_t kLineCount = 12;
  static constexpr std::size_t kLineBytes = 46;

  // Field offsets inside the record.
  static constexpr std::size_t kStartMarkOffset = 0;
  static constexpr std::size_t kPictureNoOffset = 2;
  static constexpr std::size_t kMusicNoOffset = 4;
  static constexpr std::size_t kPageTypeOffset = 6;
  static constexpr std::size_t kTargetOffset = 8;
  static constexpr std::size_t kChoiceLinesOffset = 16;
  static constexpr std::size_t kLineCodeOffset = 21;
  static constexpr std::size_t kEndingMarkOffset = 36;

  static constexpr std::int16_t kChoicePage = 2;
  static constexpr std::int16_t kInertPage = 5;
  // Targets and ending marks above this are ending codes, not pages.
  static constexpr std::int16_t kEndingThreshold = 9500;
  // The music the title screen plays (data/0012.wav).
  static constexpr std::int16_t kTitleMusicNo = 12;

  std::int16_t startMark = 0;
  std::int16_t pictureNo = 0;
  std::int16_t musicNo = 0;
  std::int16_t pageType = 0;
  std::array<std::int16_t, 4> target{};
  std::array<std::uint8_t, 2> choiceLines{};
  std::array<std::uint8_t, kLineCount> lineCode{};
  std::int16_t endingMark = 0;
  // Decoded UTF-8, padded with spaces to 46 characters.
  std::array<std::string, kLineCount> lineText;

  // All fields 0 and every line blank: what a page outside the file reads as.
  [[nodiscard]] static ScenarioRecord Empty();

  // Decodes a record. Bytes missing at the end (a truncated file) read as 0 in the fields and as blanks in the
  // lines; NUL bytes in a line read as blanks, as some authoring tools pad with them.
  [[nodiscard]] static ScenarioRecord Decode(std::span<const std::uint8_t> bytes);
  // The numeric fields only, with blank lines: for walks over many pages that never show their text.
  [[nodiscard]] static ScenarioRecord DecodeHeader(std::span<const std::uint8_t> bytes);

  // The 600 bytes of this record: lines encoded as Shift-JIS, cut at 46 bytes, padded with blanks; reserved
  // bytes 0. For tools and test fixtures.
  [[nodiscard]] std::vector<std::uint8_t> Encode() const;

  // Text pages (types 0 and 1) are typed line by line; the others show a choice or nothing.
  [[nodiscard]] static constexpr bool IsTextPageType(std::int16_t type) { return type <= 1; }
  [[nodiscard]] bool IsTextPage() const { return IsTextPageType(pageType); }

  bool operator==(const ScenarioRecord&) const = default;
};

}  // namespace shiori
