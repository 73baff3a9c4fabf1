#pragma once

#include <filesystem>

#include "platform/RecordFile.h"
#include "platform/Result.h"
#include "scenario/ScenarioRecord.h"

namespace shiori {

// The scenario held open for one operation that reads many pages (the next-choice search).
class ScenarioReader {
 public:
  explicit ScenarioReader(RecordReader records) : records_(std::move(records)) {}

  // A page outside the file (0, negative, or past the end) reads as an empty record; the last page of a
  // truncated file reads as far as it goes.
  [[nodiscard]] Result<ScenarioRecord> Read(long page) const;
  // The same without the text lines, which a walk over many pages never shows.
  [[nodiscard]] Result<ScenarioRecord> ReadHeader(long page) const;

 private:
  [[nodiscard]] Result<ScenarioRecord> Read(long page, ScenarioRecord (*decode)(std::span<const std::uint8_t>)) const;

  RecordReader records_;
};

// The scenario file "data1.rgd", read one page at a time and never written. Every read opens the file, reads one
// record and closes it again. A missing file reads as empty and is never created.
class ScenarioFile {
 public:
  explicit ScenarioFile(std::filesystem::path path) : path_(std::move(path)) {}

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] Result<ScenarioReader> Open() const;
  [[nodiscard]] Result<ScenarioRecord> Read(long page) const;
  // Whether the file holds a record for `page` (a page outside it reads as an empty one).
  [[nodiscard]] bool Holds(long page) const;

 private:
  std::filesystem::path path_;
};

}  // namespace shiori
