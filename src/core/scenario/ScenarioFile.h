#pragma once

#include <filesystem>

#include "platform/Result.h"
#include "scenario/ScenarioRecord.h"

namespace shiori {

// The scenario file "data1.rgd", read one page at a time and never written. Every read opens the file, reads one
// record and closes it again. A page outside the file (0, negative, or past the end) reads as an empty record;
// a missing file reads as empty too and is never created.
class ScenarioFile {
 public:
  explicit ScenarioFile(std::filesystem::path path) : path_(std::move(path)) {}

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] Result<ScenarioRecord> Read(long page) const;

 private:
  std::filesystem::path path_;
};

}  // namespace shiori
