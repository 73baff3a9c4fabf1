// The picture check of any bytes: never reads past the end, always gives an answer.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto problem = shiori::PictureProblem(bytes);
  if (problem && problem->empty()) std::abort();  // a refusal always says why
  return 0;
}
