#include "scenario/ScenarioFile.h"

namespace shiori {

Result<ScenarioRecord> ScenarioReader::Read(long page, ScenarioRecord (*decode)(std::span<const std::uint8_t>)) const {
  auto bytes = records_.Read(page);
  if (!bytes) return Result<ScenarioRecord>::Failure(bytes.error());
  if (bytes.value().empty()) return ScenarioRecord::Empty();
  return decode(bytes.value());
}

Result<ScenarioRecord> ScenarioReader::Read(long page) const { return Read(page, &ScenarioRecord::Decode); }

Result<ScenarioRecord> ScenarioReader::ReadHeader(long page) const { return Read(page, &ScenarioRecord::DecodeHeader); }

Result<ScenarioReader> ScenarioFile::Open() const {
  auto records = RecordReader::Open(path_, ScenarioRecord::kSize);
  if (!records) return Result<ScenarioReader>::Failure(records.error());
  return ScenarioReader(std::move(records.value()));
}

bool ScenarioFile::Holds(long page) const {
  std::error_code error;
  const auto size = std::filesystem::file_size(path_, error);
  return !error && page >= 1 && static_cast<std::uintmax_t>(page) <= size / ScenarioRecord::kSize;
}

Result<ScenarioRecord> ScenarioFile::Read(long page) const {
  auto reader = Open();
  if (!reader) return Result<ScenarioRecord>::Failure(reader.error());
  return reader.value().Read(page);
}

}  // namespace shiori
