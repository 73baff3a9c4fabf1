// Any scenario file dumps to text that builds exactly the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "ScenarioText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const std::string text = shiori::DumpScenario(bytes);
  const auto rebuilt = shiori::BuildScenario(text, "dump.txt");
  if (!rebuilt) {
    std::fprintf(stderr, "the dump does not build:\n%s\n%s\n", rebuilt.error().c_str(), text.c_str());
    std::abort();
  }
  if (!std::equal(rebuilt.value().begin(), rebuilt.value().end(), bytes.begin(), bytes.end())) {
    std::fprintf(stderr, "the dump builds other bytes:\n%s\n", text.c_str());
    std::abort();
  }
  return 0;
}
