#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace shiori {

// What the core needs from its host. The Qt window and the headless driver each supply these; tests pass fakes.

// Checks that a picture file exists and decodes. The core keeps only the name of the picture a layer shows; the
// shell decodes and draws it.
class PictureService {
 public:
  virtual ~PictureService() = default;
  [[nodiscard]] virtual bool CanLoad(const std::filesystem::path& file) = 0;
};

// The wave device: a multimedia control that plays one wave file per "play" command. The core drives it with a
// fixed set of operations in fixed orders; the headless driver logs each of them.
class WaveDevice {
 public:
  virtual ~WaveDevice() = default;
  // How the story sets the device up before it opens a file. A real device plays the same either way, so only the
  // driver's recording device, whose log scripts compare, takes note of them.
  virtual void SetNotify(bool /*on*/) {}
  virtual void SetWait(bool /*on*/) {}
  virtual void SetShareable(bool /*on*/) {}
  virtual void SetDeviceType(std::string_view /*type*/) {}
  // `relative` is the name as the story built it ("data/0012.wav"); `file` is where it lies on disk.
  virtual void SetFileName(std::string_view relative, const std::filesystem::path& file) = 0;
  virtual void Command(std::string_view command) = 0;  // "open", "play", "stop", "close"
  virtual void SetEnabled(bool enabled) = 0;
  // The reader's music volume, 0 .. 100: a preference of the player, not a command of the story, so a device
  // that cannot change its volume may ignore it.
  virtual void SetVolume(int /*percent*/) {}
  // The name last given to SetFileName, as the story built it ("" before the first).
  [[nodiscard]] virtual std::string FileName() const = 0;
};

// The answer Enter gives to a question: Yes, unless Yes would destroy what cannot be had back.
enum class DefaultAnswer { kYes, kNo };

// A modal yes/no question with no icon. True means Yes.
class Questioner {
 public:
  virtual ~Questioner() = default;
  [[nodiscard]] virtual bool Ask(std::string_view text, std::string_view title,
                                 DefaultAnswer default_answer = DefaultAnswer::kYes) = 0;
};

// The wall clock: the date and time texts a bookmark stamp is built from.
class WallClock {
 public:
  virtual ~WallClock() = default;
  [[nodiscard]] virtual std::string DateText() = 0;  // "YYYY/MM/DD"
  [[nodiscard]] virtual std::string TimeText() = 0;  // "hh:mm:ss", 24-hour clock
  // Milliseconds since local midnight: the seed of the random generator.
  [[nodiscard]] virtual std::int64_t MillisecondsSinceMidnight() = 0;
};

// Uniform random numbers in [0, 1), seeded from the wall clock on request.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Seed(std::uint64_t seed) = 0;
  [[nodiscard]] virtual double Next() = 0;
};

// Where warnings go (standard error in the shells): a missing picture or music file, an unreadable settings file.
class WarningSink {
 public:
  virtual ~WarningSink() = default;
  virtual void Warn(std::string_view message) = 0;
};

// How the reader wants to be read to: speed in percent of the voice's normal rate, and the voice's name as the
// system lists it (empty: the system's first Japanese voice).
struct Voicing {
  int rate_percent = 100;
  std::string voice;
};

// Whether the shell's speech can read Japanese. Another language's voice would read kanji as "Chinese letter",
// so the core says nothing at all rather than that.
enum class VoiceSupport { kUnknown, kJapanese, kNoJapanese };

// The system's speech, for self-voicing. Both calls return at once: speech goes on in the background and must
// never hold up the story. The core stops the previous utterance before it says the next.
class Speaker {
 public:
  virtual ~Speaker() = default;
  virtual void Say(std::string_view text, const Voicing& voicing) = 0;
  virtual void Stop() = 0;
};

struct Services {
  PictureService& pictures;
  WaveDevice& wave;
  Questioner& questions;
  WallClock& clock;
  RandomSource& random;
  WarningSink& warnings;
};

}  // namespace shiori
