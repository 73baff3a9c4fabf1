#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/MersenneRandom.h"
#include "platform/Services.h"
#include "window/Scheduler.h"

namespace shiori {

// Services for a run without a window: nothing is shown or played, everything is recorded for the state dump.

// A picture counts as loadable when its file starts like a BMP, PNG, JPEG or GIF picture.
class SignaturePictureService : public PictureService {
 public:
  bool CanLoad(const std::filesystem::path& file) override;
};

// Logs every operation in order ("notify off", "file data/0012.wav", "command play" ...) and plays nothing.
class RecordingWaveDevice : public WaveDevice {
 public:
  void SetNotify(bool on) override { Log("notify", on); }
  void SetWait(bool on) override { Log("wait", on); }
  void SetShareable(bool on) override { Log("shareable", on); }
  void SetDeviceType(std::string_view type) override { log_.push_back("device " + std::string(type)); }
  void SetFileName(std::string_view relative, const std::filesystem::path& file) override;
  void Command(std::string_view command) override { log_.push_back("command " + std::string(command)); }
  void SetEnabled(bool enabled) override { Log("enabled", enabled); }
  void SetVolume(int percent) override { log_.push_back("volume " + std::to_string(percent)); }
  [[nodiscard]] std::string FileName() const override { return file_name_; }

  [[nodiscard]] const std::vector<std::string>& log() const { return log_; }

 private:
  void Log(const char* flag, bool on) { log_.push_back(std::string(flag) + (on ? " on" : " off")); }

  std::vector<std::string> log_;
  std::string file_name_;
};

// Logs what self-voicing says and where it stops, on the virtual clock, and says nothing.
class RecordingSpeaker : public Speaker {
 public:
  struct Entry {
    std::optional<std::string> said;  // none: a stop
    Voicing voicing;
    Micros at = 0;
  };

  explicit RecordingSpeaker(const Scheduler& scheduler) : scheduler_(scheduler) {}
  void Say(std::string_view text, const Voicing& voicing) override {
    log_.push_back({std::string(text), voicing, scheduler_.Now()});
  }
  void Stop() override { log_.push_back({std::nullopt, {}, scheduler_.Now()}); }

  [[nodiscard]] const std::vector<Entry>& log() const { return log_; }

 private:
  const Scheduler& scheduler_;
  std::vector<Entry> log_;
};

// Answers questions from a queue filled by the script; an unanswered question is answered No.
class ScriptedQuestioner : public Questioner {
 public:
  struct Asked {
    std::string text;
    std::string title;
    bool answer;
  };

  void Queue(bool answer) { answers_.push_back(answer); }
  bool Ask(std::string_view text, std::string_view title, DefaultAnswer default_answer) override;
  [[nodiscard]] const std::vector<Asked>& asked() const { return asked_; }

 private:
  std::deque<bool> answers_;
  std::vector<Asked> asked_;
};

// The wall clock: the real local time, or a fixed start time that advances with the virtual clock.
class VirtualWallClock : public WallClock {
 public:
  // `fixed` is "YYYY-MM-DD hh:mm:ss"; none uses the real local time.
  VirtualWallClock(const Scheduler& scheduler, std::optional<std::chrono::sys_seconds> fixed)
      : scheduler_(scheduler), fixed_(fixed) {}

  // Parses "YYYY-MM-DD hh:mm:ss".
  [[nodiscard]] static std::optional<std::chrono::sys_seconds> Parse(const std::string& text);

  std::string DateText() override;
  std::string TimeText() override;
  std::int64_t MillisecondsSinceMidnight() override;

 private:
  // Local time broken down, in milliseconds since the epoch of its own calendar.
  [[nodiscard]] std::chrono::sys_time<std::chrono::milliseconds> Now() const;

  const Scheduler& scheduler_;
  std::optional<std::chrono::sys_seconds> fixed_;
};

// Warnings go to a stream (standard error), one line each.
class StreamWarnings : public WarningSink {
 public:
  explicit StreamWarnings(std::ostream& out) : out_(out) {}
  void Warn(std::string_view message) override;

 private:
  std::ostream& out_;
};

// Every service of a run without a window, recorded for the state dump.
struct RecordingServices {
  RecordingServices(const Scheduler& scheduler, std::optional<std::chrono::sys_seconds> fixed_time,
                    std::ostream& warning_stream)
      : clock(scheduler, fixed_time), warnings(warning_stream), speaker(scheduler) {}

  [[nodiscard]] Services services() { return {pictures, wave, questions, clock, random, warnings}; }

  SignaturePictureService pictures;
  RecordingWaveDevice wave;
  ScriptedQuestioner questions;
  VirtualWallClock clock;
  MersenneRandom random;
  StreamWarnings warnings;
  // Speech is no service of the story: the comforts' voice is given it apart.
  RecordingSpeaker speaker;
};

}  // namespace shiori
