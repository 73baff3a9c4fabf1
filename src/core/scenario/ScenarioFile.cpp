#include "scenario/ScenarioFile.h"

#include <algorithm>
#include <system_error>

#include "platform/RecordFile.h"

namespace shiori {

Result<ScenarioRecord> ScenarioFile::Read(long page) const {
  std::error_code error;
  const auto size = std::filesystem::file_size(path_, error);
  if (error || page < 1 || static_cast<std::uintmax_t>(page - 1) * ScenarioRecord::kSize >= size) {
    return ScenarioRecord::Empty();
  }
  auto bytes = ReadRecord(path_, ScenarioRecord::kSize, page);
  if (!bytes) return Result<ScenarioRecord>::Failure(bytes.error());
  // The last record of a truncated file is shorter than a full record; only its present bytes count.
  const auto present = std::min<std::uintmax_t>(ScenarioRecord::kSize, size - (page - 1) * ScenarioRecord::kSize);
  return ScenarioRecord::Decode(std::span<const std::uint8_t>(bytes.value()).first(present));
}

}  // namespace shiori
