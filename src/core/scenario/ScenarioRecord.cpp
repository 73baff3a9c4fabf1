#include "scenario/ScenarioRecord.h"

#include <algorithm>

#include "platform/ShiftJis.h"
#include "platform/Utf8.h"

namespace shiori {
namespace {

std::int16_t ReadInt16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void WriteInt16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int16_t value) {
  const auto raw = static_cast<std::uint16_t>(value);
  bytes[offset] = static_cast<std::uint8_t>(raw & 0xFF);
  bytes[offset + 1] = static_cast<std::uint8_t>(raw >> 8);
}

std::string PadToLineLength(std::string text) {
  const std::size_t length = Utf8Length(text);
  if (length < ScenarioRecord::kLineBytes) text.append(ScenarioRecord::kLineBytes - length, ' ');
  return text;
}

std::string DecodeLine(std::span<const std::uint8_t> bytes) {
  std::string raw(bytes.begin(), bytes.end());
  std::replace(raw.begin(), raw.end(), '\0', ' ');
  return PadToLineLength(DecodeShiftJis(raw));
}

}  // namespace

ScenarioRecord ScenarioRecord::Empty() {
  ScenarioRecord record;
  record.lineText.fill(std::string(kLineBytes, ' '));
  return record;
}

ScenarioRecord ScenarioRecord::DecodeHeader(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, kHeaderSize> header{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), kHeaderSize), header.begin());
  const std::span<const std::uint8_t> b(header);

  ScenarioRecord record = Empty();
  record.startMark = ReadInt16(b, kStartMarkOffset);
  record.pictureNo = ReadInt16(b, kPictureNoOffset);
  record.musicNo = ReadInt16(b, kMusicNoOffset);
  record.pageType = ReadInt16(b, kPageTypeOffset);
  for (std::size_t i = 0; i < record.target.size(); ++i) record.target[i] = ReadInt16(b, kTargetOffset + 2 * i);
  std::copy_n(b.begin() + kChoiceLinesOffset, record.choiceLines.size(), record.choiceLines.begin());
  std::copy_n(b.begin() + kLineCodeOffset, kLineCount, record.lineCode.begin());
  record.endingMark = ReadInt16(b, kEndingMarkOffset);
  return record;
}

ScenarioRecord ScenarioRecord::Decode(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> full(kSize, ' ');
  const std::size_t present = std::min(bytes.size(), kSize);
  std::fill_n(full.begin(), kHeaderSize, 0);
  std::copy_n(bytes.begin(), present, full.begin());

  ScenarioRecord record = DecodeHeader(full);
  for (std::size_t k = 0; k < kLineCount; ++k) {
    record.lineText[k] =
        DecodeLine(std::span<const std::uint8_t>(full).subspan(kHeaderSize + k * kLineBytes, kLineBytes));
  }
  return record;
}

std::vector<std::uint8_t> ScenarioRecord::Encode() const {
  std::vector<std::uint8_t> bytes(kSize, 0);
  WriteInt16(bytes, kStartMarkOffset, startMark);
  WriteInt16(bytes, kPictureNoOffset, pictureNo);
  WriteInt16(bytes, kMusicNoOffset, musicNo);
  WriteInt16(bytes, kPageTypeOffset, pageType);
  for (std::size_t i = 0; i < target.size(); ++i) WriteInt16(bytes, kTargetOffset + 2 * i, target[i]);
  std::copy(choiceLines.begin(), choiceLines.end(), bytes.begin() + kChoiceLinesOffset);
  std::copy(lineCode.begin(), lineCode.end(), bytes.begin() + kLineCodeOffset);
  WriteInt16(bytes, kEndingMarkOffset, endingMark);
  for (std::size_t k = 0; k < kLineCount; ++k) {
    std::string encoded = EncodeShiftJis(lineText[k]);
    encoded.resize(kLineBytes, ' ');
    std::copy(encoded.begin(), encoded.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + k * kLineBytes));
  }
  return bytes;
}

}  // namespace shiori
