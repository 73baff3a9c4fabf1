// Settings and bookmark lines from any bytes: parsing fails cleanly or gives values that format and parse back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ValueFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parsed = shiori::ParseValueLine(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parsed) return 0;
  // Formatting may replace text Shift-JIS cannot hold, so compare from the first formatted line on.
  const std::string first = shiori::FormatValueLine(parsed.value());
  const auto reparsed = shiori::ParseValueLine(first);
  if (!reparsed || reparsed.value().size() != parsed.value().size()) std::abort();
  if (shiori::FormatValueLine(reparsed.value()) != first) std::abort();
  return 0;
}
