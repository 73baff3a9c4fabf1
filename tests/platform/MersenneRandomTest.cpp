#include <gtest/gtest.h>

#include "platform/MersenneRandom.h"

namespace shiori::test {
namespace {

// The load menu's preview line is drawn from this source: every shell and every standard library must give the
// same numbers for the same seed, down to the last bit (generate_canonical rounds the first two of these up).
TEST(MersenneRandom, GivesTheSameNumbersEverywhere) {
  MersenneRandom random;
  random.Seed(1234);
  EXPECT_EQ(random.Next(), 0x1.e4fb8ade22ad8p-1);
  EXPECT_EQ(random.Next(), 0x1.abd05ada3c0bp-5);
  random.Seed(1234);
  EXPECT_EQ(random.Next(), 0x1.e4fb8ade22ad8p-1);
}

}  // namespace
}  // namespace shiori::test
