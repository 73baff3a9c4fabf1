#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Synth.h"
#include "sound/BgmPlayer.h"

namespace shiori::demo {
namespace {

std::uint32_t ReadLe(const std::vector<std::uint8_t>& bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

// The player repeats a piece at the interval of its row in the track length table: a wave file of another length
// would be cut off or followed by silence.
TEST(SynthTest, EveryPieceIsExactlyAsLongAsItsTrackLengthRow) {
  for (const Mood& mood : DemoMoods()) {
    EXPECT_EQ(mood.length_ms, BgmPlayer::TrackLength(mood.number)) << mood.number;
    EXPECT_EQ(Compose(mood).size(), SampleCount(mood.length_ms)) << mood.number;
  }
  EXPECT_EQ(SampleCount(47500), 1047375u);
}

TEST(SynthTest, PiecesAreAudibleWithoutClippingAndJoinWithoutAClick) {
  const Mood& title = DemoMoods().front();
  const std::vector<std::int16_t> samples = Compose(title);
  const auto loudest =
      *std::max_element(samples.begin(), samples.end(), [](int a, int b) { return std::abs(a) < std::abs(b); });
  EXPECT_GT(std::abs(loudest), 16000);
  EXPECT_LT(std::abs(loudest), 32000);
  EXPECT_EQ(samples.front(), 0);
  EXPECT_LT(std::abs(samples.back()), 64);
  // No second of the piece is silent.
  for (std::size_t at = 0; at + kSampleRate <= samples.size(); at += kSampleRate) {
    const auto quiet =
        std::all_of(samples.begin() + static_cast<long>(at), samples.begin() + static_cast<long>(at + kSampleRate),
                    [](std::int16_t s) { return std::abs(s) < 300; });
    EXPECT_FALSE(quiet) << "second " << at / kSampleRate;
  }
  EXPECT_EQ(Compose(title), samples) << "the same build must give the same music";
}

TEST(SynthTest, WaveFileIsPlainPcmMono16BitAt22050) {
  const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768};
  const std::vector<std::uint8_t> file = WaveFile(samples);
  ASSERT_EQ(file.size(), 44u + 10u);
  EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
  EXPECT_EQ(ReadLe(file, 4, 4), file.size() - 8);
  EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(ReadLe(file, 16, 4), 16u);
  EXPECT_EQ(ReadLe(file, 20, 2), 1u);  // PCM
  EXPECT_EQ(ReadLe(file, 22, 2), 1u);  // mono
  EXPECT_EQ(ReadLe(file, 24, 4), 22050u);
  EXPECT_EQ(ReadLe(file, 28, 4), 44100u);
  EXPECT_EQ(ReadLe(file, 32, 2), 2u);
  EXPECT_EQ(ReadLe(file, 34, 2), 16u);
  EXPECT_EQ(std::memcmp(file.data() + 36, "data", 4), 0);
  EXPECT_EQ(ReadLe(file, 40, 4), 10u);
  EXPECT_EQ(ReadLe(file, 50, 2), 32767u);
  EXPECT_EQ(ReadLe(file, 52, 2), 0x8000u);
}

}  // namespace
}  // namespace shiori::demo
