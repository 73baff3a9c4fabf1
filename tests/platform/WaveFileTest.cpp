#include <gtest/gtest.h>

#include "platform/WaveFile.h"
#include "support/TempDir.h"
#include "support/WaveBytes.h"

namespace shiori::test {
namespace {

TEST(WaveDurationMs, ReadsTheLengthFromTheHeader) {
  TempDir dir;
  // 176400 bytes a second. The odd-sized chunk before the data is padded.
  EXPECT_EQ(WaveDurationMs(dir.Write("a.wav", WaveBytes(176400, 176400 * 57))), 57000);
  EXPECT_EQ(WaveDurationMs(dir.Write("b.wav", WaveBytes(176400, 88200))), 500);
  // The largest data chunk a wave file can hold does not overflow the count.
  EXPECT_EQ(WaveDurationMs(dir.Write("c.wav", WaveBytes(176400, 0xFFFFFFFF))), 24347887);
}

TEST(ReadWaveLayout, FindsTheSamplesAndTheirFormat) {
  TempDir dir;
  const std::string header = WaveBytes(176400, 1000);
  const std::optional<WaveLayout> pcm = ReadWaveLayout(dir.Write("pcm.wav", header + std::string(1000, '\0')));
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->format_tag, 1);
  EXPECT_EQ(pcm->channels, 1);
  EXPECT_EQ(pcm->sample_rate, 176400u);
  EXPECT_EQ(pcm->bits_per_sample, 8);
  EXPECT_EQ(pcm->data_offset, header.size()) << "past the extra chunk, at the first sample";
  EXPECT_EQ(pcm->data_bytes, 1000u);

  // An extensible header (40 bytes of format) names its real format in its sub-format: here floating point.
  std::string extensible = header;
  extensible.replace(16, 4, std::string("\x28\x00\x00\x00", 4));
  extensible.replace(20, 2, std::string("\xFE\xFF", 2));
  extensible.insert(36, std::string("\x16\x00\x20\x00\x03\x00\x00\x00\x03\x00", 10) + std::string(14, 'g'));
  const std::optional<WaveLayout> floating = ReadWaveLayout(dir.Write("float.wav", extensible));
  ASSERT_TRUE(floating);
  EXPECT_EQ(floating->format_tag, 3);
  EXPECT_EQ(floating->data_offset, header.size() + 24);
  EXPECT_EQ(WaveDurationMs(dir.path() / "float.wav"), 5) << "1000 bytes at 176400 a second";

  const std::string no_format("RIFF\x0c\x00\x00\x00WAVEdata\x00\x00\x00\x00", 20);
  EXPECT_FALSE(ReadWaveLayout(dir.Write("late.wav", no_format))) << "samples before any format say nothing";
}

TEST(WaveDurationMs, TellsNothingAboutWhatIsNoWaveFile) {
  TempDir dir;
  const std::string good = WaveBytes(176400, 176400);
  EXPECT_FALSE(WaveDurationMs(dir.path() / "missing.wav"));
  EXPECT_FALSE(WaveDurationMs(dir.Write("empty.wav", "")));
  EXPECT_FALSE(WaveDurationMs(dir.Write("text.wav", "this is no wave file at all, only text")));
  EXPECT_FALSE(WaveDurationMs(dir.Write("cut.wav", good.substr(0, 30)))) << "cut inside the format chunk";
  EXPECT_FALSE(WaveDurationMs(dir.Write("nodata.wav", good.substr(0, good.size() - 8))));
  std::string silent_rate = good;
  silent_rate.replace(28, 4, std::string(4, '\0'));  // a byte rate of 0
  EXPECT_FALSE(WaveDurationMs(dir.Write("rate.wav", silent_rate)));
  std::string riff = good;
  riff[0] = 'X';
  EXPECT_FALSE(WaveDurationMs(dir.Write("riff.wav", riff)));
  // Four gigabytes at one byte a second would be a timer interval far past what a timer can hold.
  EXPECT_FALSE(WaveDurationMs(dir.Write("slow.wav", WaveBytes(1, 0xFFFFFFFF))));
  std::string huge_chunk = good;
  huge_chunk.replace(40, 4, std::string(4, '\xFF'));  // the extra chunk claims 4 GB
  EXPECT_FALSE(WaveDurationMs(dir.Write("huge.wav", huge_chunk)));
}

TEST(WaveProblem, NamesWhatThePlayerCannotPlay) {
  TempDir dir;
  EXPECT_EQ(WaveProblem(dir.Write("good.wav", WaveBytes(8000, 100, std::string(100, '\x80')))), std::nullopt);
  EXPECT_EQ(WaveProblem(dir.Write("cut.wav", WaveBytes(8000, 100, std::string(60, '\x80')))),
            "a wave file cut short (it holds 60 of the 100 bytes of samples its header gives)");
  EXPECT_EQ(WaveProblem(dir.Write("empty.wav", WaveBytes(8000, 0))), "a wave file without samples");
  EXPECT_EQ(WaveProblem(dir.Write("text.wav", "garbage")),
            "not a wave file: no RIFF WAVE header with a format chunk before its data");
  std::string adpcm = WaveBytes(8000, 4, "abcd");
  adpcm[20] = 2;  // Microsoft ADPCM: the sound server takes no such samples
  EXPECT_EQ(WaveProblem(dir.Write("adpcm.wav", adpcm)).value_or("").rfind("a wave file in a sample format", 0), 0u);
  std::string no_channels = WaveBytes(8000, 4, "abcd");
  no_channels[22] = 0;
  EXPECT_EQ(WaveProblem(dir.Write("mute.wav", no_channels)).value_or("").rfind("a wave file with a damaged", 0), 0u);
}

}  // namespace
}  // namespace shiori::test
