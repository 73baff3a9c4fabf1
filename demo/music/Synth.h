#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shiori::demo {

inline constexpr int kSampleRate = 22050;

// The character of one piece: the composer below turns it into a melody over a chord progression with a pad, a
// bass line and an arpeggio, all soft tones with envelopes.
struct Mood {
  int number = 0;     // the music number the story uses; also seeds the melody
  int length_ms = 0;  // the whole piece, exactly; the player repeats it at this interval
  double bpm = 90;
  int tonic = 60;  // MIDI note of the key's tonic
  bool minor = false;
  bool pentatonic = false;       // keep the melody on five notes (festival flute)
  std::vector<int> progression;  // scale degrees from 0, one chord per bar
  double arpeggio = 0.5;         // loudness of the eighth-note arpeggio, 0 = none
  double melody = 0.6;           // loudness of the lead voice
  double drum = 0.0;             // loudness of a soft low drum on beats 1 and 3
  bool bell = false;             // music-box lead instead of a flute-like one
};

// The pieces of the demo: the title (12), the two endings (31, 32) and the story's pieces.
[[nodiscard]] const std::vector<Mood>& DemoMoods();

// Renders a piece: mono samples at kSampleRate, exactly length_ms long, with a fade at both ends so that the
// repetition joins without a click.
[[nodiscard]] std::vector<std::int16_t> Compose(const Mood& mood);

// A canonical PCM wave file: RIFF header, 16-bit mono at kSampleRate.
[[nodiscard]] std::vector<std::uint8_t> WaveFile(const std::vector<std::int16_t>& samples);

[[nodiscard]] inline std::size_t SampleCount(int length_ms) {
  return static_cast<std::size_t>(length_ms) * kSampleRate / 1000;
}

}  // namespace shiori::demo
