#pragma once

#include <pulse/sample.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/Services.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace shiori {

// Plays one wave file per "play" on the sound server (PulseAudio, or PipeWire's PulseAudio service), streaming its
// samples from the file as the server asks for them: nothing is decoded, and nothing but a small buffer is held.
// Without a sound server, or when a file is missing or does not play, the music is silent and a warning says so
// once (per file), never more: the story goes on.
//
// The server is reached on the first "play", so that a reader who never hears music never connects. The
// connection has its own thread, which reads the file; every call here takes that thread's lock.
class PulseWaveDevice : public WaveDevice {
 public:
  explicit PulseWaveDevice(WarningSink& warnings);
  ~PulseWaveDevice() override;
  PulseWaveDevice(const PulseWaveDevice&) = delete;
  PulseWaveDevice& operator=(const PulseWaveDevice&) = delete;

  void SetFileName(std::string_view relative, const std::filesystem::path& file) override;
  void Command(std::string_view command) override;
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetVolume(int percent) override;
  [[nodiscard]] std::string FileName() const override { return relative_; }

 private:
  void Play();
  void Stop();
  // Connects to the server once; false, with the one warning, when there is none.
  [[nodiscard]] bool Connect();
  // A stream for samples of `spec`, made anew when the format changes; false, with a warning, when the server
  // refuses it.
  [[nodiscard]] bool EnsureStream(const pa_sample_spec& spec);
  void DropStream();
  // Sets the stream's volume at the server to the reader's; the lock is held.
  void ApplyVolume();
  void WarnOnce(const std::string& key, const std::string& message);

  // On the connection's thread: hands the server up to `bytes` more samples from the file.
  void Feed(std::size_t bytes);
  static void Signal(pa_context*, void* self);
  static void SignalStream(pa_stream*, void* self);
  static void Writable(pa_stream*, std::size_t bytes, void* self);

  WarningSink& warnings_;
  std::string relative_;
  std::filesystem::path file_;
  bool enabled_ = true;
  int volume_percent_ = 100;
  bool no_server_ = false;
  std::set<std::string> warned_;

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_sample_spec spec_{};
  // What is left to play of the current file, read as the server asks (shared with the connection's thread).
  std::ifstream source_;
  std::uint64_t remaining_ = 0;
};

}  // namespace shiori
