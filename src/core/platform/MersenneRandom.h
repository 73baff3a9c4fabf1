#pragma once

#include <cstdint>
#include <random>

#include "platform/Services.h"

namespace shiori {

// The one random source of every shell. The draw is the top 53 bits of a 64-bit Mersenne twister, spelled out
// rather than left to std::generate_canonical, whose rounding differs between standard libraries: the same seed
// gives the same numbers in the window, the headless driver and the browser.
class MersenneRandom : public RandomSource {
 public:
  void Seed(std::uint64_t seed) override { engine_.seed(seed); }
  [[nodiscard]] double Next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

 private:
  std::mt19937_64 engine_{0};
};

}  // namespace shiori
