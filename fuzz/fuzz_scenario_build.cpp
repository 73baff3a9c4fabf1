// Scenario text from any bytes: building fails with messages or gives a file that dumps to text building the
// same bytes again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ScenarioText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto built = shiori::BuildScenario(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.txt");
  if (!built) return 0;
  const std::string text = shiori::DumpScenario(built.value());
  const auto rebuilt = shiori::BuildScenario(text, "dump.txt");
  if (!rebuilt || rebuilt.value() != built.value()) {
    std::fprintf(stderr, "the dump does not build the same bytes:\n%s\n", text.c_str());
    std::abort();
  }
  return 0;
}
