// Scenario records from any bytes: decoding never fails, and what it gives encodes to a full record again.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "scenario/ScenarioRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const shiori::ScenarioRecord record = shiori::ScenarioRecord::Decode(std::span(data, size));
  for (const std::string& line : record.lineText) {
    if (line.empty()) std::abort();
  }
  if (record.Encode().size() != shiori::ScenarioRecord::kSize) std::abort();
  // A record that went through encoding once is stable: its own encoding decodes to itself.
  const auto once = record.Encode();
  const shiori::ScenarioRecord again = shiori::ScenarioRecord::Decode(once);
  if (again.Encode() != once) std::abort();
  return 0;
}
