#include "Synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace shiori::demo {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// A fixed generator, so that every build composes the same tunes.
class Dice {
 public:
  explicit Dice(std::uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  double Uniform() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
  }
  int Pick(int count) { return std::min(count - 1, static_cast<int>(Uniform() * count)); }

 private:
  std::uint32_t state_;
};

double Sine(double phase) {
  static const std::array<float, 4096> table = [] {
    std::array<float, 4096> t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<float>(std::sin(kTwoPi * i / t.size()));
    return t;
  }();
  const double wrapped = phase - std::floor(phase);
  return table[static_cast<std::size_t>(wrapped * 4096) & 4095];
}

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

enum class Voice { kPad, kBass, kArpeggio, kFlute, kBell, kDrum };

// Adds one note to the mix: `start` and `length` in seconds; the release tail follows the length.
void AddNote(std::vector<float>& mix, double start, double length, double frequency, double gain, Voice voice) {
  const double release = voice == Voice::kPad ? 0.6 : (voice == Voice::kFlute ? 0.15 : 1.2);
  const auto first = static_cast<std::size_t>(start * kSampleRate);
  const auto count = static_cast<std::size_t>((length + release) * kSampleRate);
  const std::size_t end = std::min(mix.size(), first + count);
  double phase = 0;
  for (std::size_t i = first; i < end; ++i) {
    const double t = static_cast<double>(i - first) / kSampleRate;
    double envelope = 0;
    double value = 0;
    switch (voice) {
      case Voice::kPad:
        envelope = std::min(1.0, t / 0.35) * (t < length ? 1.0 : std::max(0.0, 1 - (t - length) / release));
        value = Sine(phase) + 0.18 * Sine(3 * phase) + 0.08 * Sine(2 * phase + 0.25);
        break;
      case Voice::kBass:
        envelope = std::min(1.0, t / 0.01) * std::exp(-t / 0.9) * (t < length ? 1.0 : std::exp(-(t - length) / 0.08));
        value = Sine(phase) + 0.25 * Sine(2 * phase);
        break;
      case Voice::kArpeggio:
      case Voice::kBell:
        envelope = std::min(1.0, t / 0.004) * std::exp(-t / (voice == Voice::kBell ? 0.8 : 0.35));
        value =
            Sine(phase) + 0.3 * Sine(2 * phase) * std::exp(-t / 0.15) + 0.12 * Sine(4.01 * phase) * std::exp(-t / 0.08);
        break;
      case Voice::kFlute: {
        envelope = std::min(1.0, t / 0.05) *
                   (t < length ? 0.85 + 0.15 * std::exp(-t / 0.2) : 0.85 * std::max(0.0, 1 - (t - length) / release));
        value = Sine(phase) + 0.14 * Sine(2 * phase) + 0.04 * Sine(3 * phase);
        break;
      }
      case Voice::kDrum:
        envelope = std::exp(-t / 0.13);
        value = Sine(phase);
        break;
    }
    mix[i] += static_cast<float>(gain * envelope * value);
    double f = frequency;
    if (voice == Voice::kFlute && t > 0.25) f *= 1 + 0.003 * std::sin(kTwoPi * 5.2 * t);
    if (voice == Voice::kDrum) f *= 1 + std::exp(-t / 0.04);
    phase += f / kSampleRate;
  }
}

// Schroeder's reverberator: four damped combs in parallel, two all-passes in series. It softens the tones and
// makes the small room the pieces are heard in.
void Reverberate(std::vector<float>& mix, double wet) {
  struct Comb {
    std::vector<float> line;
    std::size_t at = 0;
    float low = 0;
  };
  std::array<Comb, 4> combs{Comb{std::vector<float>(557)}, Comb{std::vector<float>(601)}, Comb{std::vector<float>(641)},
                            Comb{std::vector<float>(683)}};
  std::array<std::vector<float>, 2> passes{std::vector<float>(113), std::vector<float>(173)};
  std::array<std::size_t, 2> pass_at{};
  for (float& sample : mix) {
    float sum = 0;
    for (Comb& c : combs) {
      const float out = c.line[c.at];
      c.low = out * 0.7f + c.low * 0.3f;
      c.line[c.at] = sample + c.low * 0.8f;
      c.at = (c.at + 1) % c.line.size();
      sum += out;
    }
    float y = sum * 0.25f;
    for (std::size_t k = 0; k < passes.size(); ++k) {
      const float delayed = passes[k][pass_at[k]];
      const float in = y;
      y = delayed - 0.5f * in;
      passes[k][pass_at[k]] = in + 0.5f * delayed;
      pass_at[k] = (pass_at[k] + 1) % passes[k].size();
    }
    sample = static_cast<float>(sample * (1 - wet) + y * wet * 2.2);
  }
}

struct Note {
  int start;   // in eighths from the start of the bar
  int length;  // in eighths
  int offset;  // scale steps above the chord's root
};
using Motif = std::vector<std::vector<Note>>;  // one list of notes per bar

// Bars of a phrase are rhythms in eighths; the pitches walk by step and land on chord tones on the strong beats.
Motif MakeMotif(Dice& dice, int bars, bool closing) {
  static const std::vector<std::vector<int>> kRhythms = {{2, 2, 2, 2}, {3, 1, 2, 2}, {2, 1, 1, 4}, {4, 2, 2},
                                                         {1, 1, 2, 4}, {3, 3, 2},    {2, 2, 4},    {2, 2, 1, 1, 2}};
  Motif motif;
  int offset = 2 * dice.Pick(3);
  for (int bar = 0; bar < bars; ++bar) {
    const bool last = closing && bar == bars - 1;
    const std::vector<int>& rhythm = last ? std::vector<int>{4, 4} : kRhythms[dice.Pick(kRhythms.size())];
    std::vector<Note> notes;
    int at = 0;
    for (const int length : rhythm) {
      if (at == 0 || at == 4) {
        const int tones[] = {0, 2, 4, 7};
        int best = tones[0];
        for (const int tone : tones) {
          if (std::abs(tone - offset) < std::abs(best - offset) ||
              (std::abs(tone - offset) == std::abs(best - offset) && dice.Uniform() < 0.5)) {
            best = tone;
          }
        }
        offset = last && at == 4 ? 0 : best;
      } else {
        const double roll = dice.Uniform();
        offset += roll < 0.45 ? 1 : (roll < 0.9 ? -1 : 0);
        offset = std::clamp(offset, -2, 8);
      }
      notes.push_back({at, length, offset});
      at += length;
    }
    motif.push_back(notes);
  }
  return motif;
}

std::vector<int> ScaleOf(const Mood& mood) {
  if (mood.minor) return {0, 2, 3, 5, 7, 8, 10};
  return {0, 2, 4, 5, 7, 9, 11};
}

int Pitch(const std::vector<int>& scale, int tonic, int degree) {
  const int size = static_cast<int>(scale.size());
  const int octave = degree >= 0 ? degree / size : -((-degree + size - 1) / size);
  return tonic + 12 * octave + scale[static_cast<std::size_t>(degree - octave * size)];
}

// Keeps a note of the festival flute on the five-note scale: the fourth moves up a step, the seventh down, to
// notes that still sound well over the chord.
int Pentatonic(const std::vector<int>& scale, int degree) {
  const int size = static_cast<int>(scale.size());
  const int within = ((degree % size) + size) % size;
  if (within == 3) return degree + 1;
  return within == 6 ? degree - 1 : degree;
}

}  // namespace

const std::vector<Mood>& DemoMoods() {
  static const std::vector<Mood> kMoods = {
      // number, length, bpm, tonic, minor, pentatonic, progression, arpeggio, melody, drum, bell
      {12, 24000, 84, 65, false, false, {0, 4, 5, 3, 0, 4, 3, 4}, 0.35, 0.55, 0.0, true},
      {1, 57000, 100, 60, false, false, {0, 5, 3, 4, 0, 5, 1, 4}, 0.4, 0.6, 0.0, false},
      {2, 52000, 72, 62, false, false, {0, 2, 3, 0, 5, 3, 1, 4}, 0.5, 0.5, 0.0, true},
      {3, 35000, 66, 57, true, false, {0, 5, 2, 6, 0, 3, 5, 4}, 0.25, 0.5, 0.0, false},
      {5, 44000, 120, 67, false, true, {0, 3, 4, 0, 5, 3, 4, 0}, 0.3, 0.65, 0.5, false},
      {6, 31000, 76, 64, true, false, {0, 3, 5, 4, 0, 3, 6, 4}, 0.3, 0.5, 0.0, false},
      {31, 63000, 70, 60, false, false, {3, 4, 2, 5, 1, 4, 0, 0}, 0.4, 0.5, 0.0, true},
      {32, 56000, 80, 63, false, false, {0, 4, 5, 2, 3, 0, 3, 4}, 0.45, 0.6, 0.0, false},
  };
  return kMoods;
}

std::vector<std::int16_t> Compose(const Mood& mood) {
  std::vector<float> mix(SampleCount(mood.length_ms), 0.0f);
  const std::vector<int> scale = ScaleOf(mood);
  const double beat = 60.0 / mood.bpm;
  const double bar_length = 4 * beat;
  const double eighth = beat / 2;
  const int bars = static_cast<int>(std::ceil(mood.length_ms / 1000.0 / bar_length));
  Dice dice(static_cast<std::uint32_t>(mood.number));
  const Motif theme = MakeMotif(dice, 2, false);
  const Motif closing = MakeMotif(dice, 2, true);
  Motif answer = MakeMotif(dice, 2, false);

  for (int bar = 0; bar < bars; ++bar) {
    const double start = bar * bar_length;
    const int root = mood.progression[static_cast<std::size_t>(bar) % mood.progression.size()];
    // Pad: the triad, kept inside one octave above the tonic so that the chords move smoothly.
    for (int k = 0; k < 3; ++k) {
      int pitch = Pitch(scale, mood.tonic - 12, root + 2 * k);
      while (pitch < mood.tonic - 7) pitch += 12;
      while (pitch > mood.tonic + 6) pitch -= 12;
      AddNote(mix, start, bar_length, Frequency(pitch), 0.09, Voice::kPad);
    }
    int bass = Pitch(scale, mood.tonic - 24, root);
    if (bass > mood.tonic - 17) bass -= 12;
    AddNote(mix, start, 2 * beat, Frequency(bass), 0.22, Voice::kBass);
    AddNote(mix, start + 2 * beat, 2 * beat, Frequency(bar % 2 == 0 ? bass : bass + 7), 0.18, Voice::kBass);
    if (mood.arpeggio > 0) {
      static constexpr int kFigure[] = {0, 2, 4, 7, 4, 2, 4, 7};
      for (int e = 0; e < 8; ++e) {
        AddNote(mix, start + e * eighth, eighth, Frequency(Pitch(scale, mood.tonic, root + kFigure[e])),
                0.07 * mood.arpeggio, Voice::kArpeggio);
      }
    }
    if (mood.drum > 0) {
      for (const double at : {0.0, 2.0, 3.5}) AddNote(mix, start + at * beat, 0.2, 70, 0.35 * mood.drum, Voice::kDrum);
    }
    // Melody: a phrase of eight bars, theme - theme - answer - closing, silent in the first phrase's first two bars
    // of a long piece so that the accompaniment sets the mood.
    const int in_phrase = bar % 8;
    if (in_phrase == 4 && bar >= 8) answer = MakeMotif(dice, 2, false);
    if (bar < 2 && bars > 12) continue;
    const Motif& motif = in_phrase < 4 ? theme : (in_phrase < 6 ? answer : closing);
    for (const Note& note : motif[static_cast<std::size_t>(in_phrase % 2)]) {
      int degree = root + note.offset;
      if (mood.pentatonic) degree = Pentatonic(scale, degree);
      int pitch = Pitch(scale, mood.tonic + 12, degree);
      while (pitch > mood.tonic + 24) pitch -= 12;
      while (pitch < mood.tonic + 3) pitch += 12;
      AddNote(mix, start + note.start * eighth, note.length * eighth * 0.95, Frequency(pitch), 0.16 * mood.melody,
              mood.bell ? Voice::kBell : Voice::kFlute);
    }
  }

  Reverberate(mix, 0.3);
  float peak = 0;
  for (const float sample : mix) peak = std::max(peak, std::abs(sample));
  const double scale_to = peak > 0 ? 0.8 / peak : 0;
  const std::size_t fade_in = kSampleRate / 20;
  const std::size_t fade_out = std::min(mix.size(), static_cast<std::size_t>(2 * kSampleRate));
  std::vector<std::int16_t> samples(mix.size());
  for (std::size_t i = 0; i < mix.size(); ++i) {
    double gain = scale_to;
    if (i < fade_in) gain *= static_cast<double>(i) / fade_in;
    const std::size_t left = mix.size() - i;
    if (left < fade_out) gain *= static_cast<double>(left) / fade_out;
    samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(mix[i] * gain, -1.0, 1.0) * 32767));
  }
  return samples;
}

std::vector<std::uint8_t> WaveFile(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> bytes;
  const auto put = [&bytes](std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  const auto tag = [&bytes](const char* text) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(text[i]));
  };
  const auto data_size = static_cast<std::uint32_t>(samples.size() * 2);
  tag("RIFF");
  put(36 + data_size, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(kSampleRate, 4);
  put(kSampleRate * 2, 4);
  put(2, 2);
  put(16, 2);
  tag("data");
  put(data_size, 4);
  for (const std::int16_t sample : samples) put(static_cast<std::uint16_t>(sample), 2);
  return bytes;
}

}  // namespace shiori::demo
