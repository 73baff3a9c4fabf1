#include "qt/PulseWaveDevice.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/volume.h>

#include <algorithm>
#include <optional>

#include "platform/WaveFile.h"

namespace shiori {
namespace {

// How the samples of a wave file reach the server as they are: integer PCM, floating point, A-law and mu-law.
std::optional<pa_sample_spec> SampleSpec(const WaveLayout& wave) {
  const std::optional<SampleFormat> played = PlayedFormat(wave);
  if (!played || wave.channels > PA_CHANNELS_MAX) return std::nullopt;
  // In the order of SampleFormat.
  constexpr pa_sample_format_t kFormats[] = {PA_SAMPLE_U8,        PA_SAMPLE_S16LE, PA_SAMPLE_S24LE, PA_SAMPLE_S32LE,
                                             PA_SAMPLE_FLOAT32LE, PA_SAMPLE_ALAW,  PA_SAMPLE_ULAW};
  const pa_sample_format_t format = kFormats[static_cast<int>(*played)];
  const pa_sample_spec spec{format, wave.sample_rate, static_cast<std::uint8_t>(wave.channels)};
  if (pa_sample_spec_valid(&spec) == 0) return std::nullopt;
  return spec;
}

// Waits on the connection's thread, the lock held, until `settled` says the server has answered.
template <class Settled>
void WaitUntil(pa_threaded_mainloop* loop, Settled settled) {
  while (!settled()) pa_threaded_mainloop_wait(loop);
}

constexpr const char* kNoServer = "no audio output device; the music stays silent";

void Finish(pa_operation* operation) {
  if (operation != nullptr) pa_operation_unref(operation);
}

}  // namespace

PulseWaveDevice::PulseWaveDevice(WarningSink& warnings) : warnings_(warnings) {}

PulseWaveDevice::~PulseWaveDevice() {
  if (loop_ == nullptr) return;
  pa_threaded_mainloop_lock(loop_);
  DropStream();
  if (context_ != nullptr) {
    pa_context_disconnect(context_);
    pa_context_unref(context_);
  }
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

void PulseWaveDevice::SetFileName(std::string_view relative, const std::filesystem::path& file) {
  relative_ = std::string(relative);
  file_ = file;
}

void PulseWaveDevice::Command(std::string_view command) {
  if (command == "play") {
    Play();
  } else if (command == "stop" || command == "close") {
    Stop();
  }
}

void PulseWaveDevice::WarnOnce(const std::string& key, const std::string& message) {
  if (warned_.insert(key).second) warnings_.Warn(message);
}

void PulseWaveDevice::Play() {
  if (!enabled_) return;
  std::error_code error;
  if (file_.empty() || !std::filesystem::is_regular_file(file_, error)) {
    WarnOnce(relative_, "music file " + relative_ + " not found; the music stays silent");
    return;
  }
  const std::optional<WaveLayout> wave = ReadWaveLayout(file_);
  const std::optional<pa_sample_spec> spec = wave ? SampleSpec(*wave) : std::nullopt;
  if (!spec) {
    WarnOnce(relative_, "cannot play " + relative_ + " (not a PCM wave file); the music stays silent");
    return;
  }
  if (!Connect()) return;
  pa_threaded_mainloop_lock(loop_);
  if (EnsureStream(*spec)) {
    source_ = std::ifstream(file_, std::ios::binary);
    source_.seekg(static_cast<std::streamoff>(wave->data_offset));
    remaining_ = wave->data_bytes;
    // What is still queued of the last piece goes; the new one starts as soon as its first second is there.
    Finish(pa_stream_flush(stream_, nullptr, nullptr));
    Finish(pa_stream_cork(stream_, 0, nullptr, nullptr));
    Feed(pa_stream_writable_size(stream_));
  }
  pa_threaded_mainloop_unlock(loop_);
}

void PulseWaveDevice::Stop() {
  if (stream_ == nullptr) return;
  pa_threaded_mainloop_lock(loop_);
  remaining_ = 0;
  source_.close();
  Finish(pa_stream_cork(stream_, 1, nullptr, nullptr));
  pa_threaded_mainloop_unlock(loop_);
}

bool PulseWaveDevice::Connect() {
  if (no_server_) return false;
  if (loop_ == nullptr) {
    loop_ = pa_threaded_mainloop_new();
    context_ = loop_ != nullptr ? pa_context_new(pa_threaded_mainloop_get_api(loop_), "shiori") : nullptr;
    if (context_ != nullptr) pa_context_set_state_callback(context_, Signal, this);
    if (context_ == nullptr || pa_threaded_mainloop_start(loop_) < 0) {
      no_server_ = true;
      WarnOnce("", kNoServer);
      return false;
    }
  }
  pa_threaded_mainloop_lock(loop_);
  if (pa_context_get_state(context_) == PA_CONTEXT_UNCONNECTED &&
      pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) {
    no_server_ = true;
  }
  WaitUntil(loop_, [this] {
    const pa_context_state_t state = pa_context_get_state(context_);
    return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
  });
  // A server that has gone away since is as good as none.
  no_server_ = no_server_ || pa_context_get_state(context_) != PA_CONTEXT_READY;
  pa_threaded_mainloop_unlock(loop_);
  if (no_server_) WarnOnce("", kNoServer);
  return !no_server_;
}

bool PulseWaveDevice::EnsureStream(const pa_sample_spec& spec) {
  if (stream_ != nullptr && pa_sample_spec_equal(&spec_, &spec) != 0 &&
      pa_stream_get_state(stream_) == PA_STREAM_READY) {
    return true;
  }
  DropStream();
  spec_ = spec;
  stream_ = pa_stream_new(context_, "music", &spec_, nullptr);
  if (stream_ == nullptr) {
    WarnOnce(relative_,
             "cannot play " + relative_ + " (" + pa_strerror(pa_context_errno(context_)) + "); the music stays silent");
    return false;
  }
  pa_stream_set_state_callback(stream_, SignalStream, this);
  pa_stream_set_write_callback(stream_, Writable, this);
  // A second of samples queued at the server, topped up a quarter at a time: four short wake-ups a second while
  // music plays, none while it is stopped. A new piece replaces the queue at once, so the depth costs no delay.
  const std::uint32_t second = static_cast<std::uint32_t>(pa_bytes_per_second(&spec_));
  const std::uint32_t server_default = static_cast<std::uint32_t>(-1);
  const pa_buffer_attr buffer{server_default, second, server_default, second / 4, server_default};
  if (pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr, nullptr) == 0) {
    WaitUntil(loop_, [this] {
      const pa_stream_state_t state = pa_stream_get_state(stream_);
      return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
    });
  }
  if (pa_stream_get_state(stream_) == PA_STREAM_READY) {
    ApplyVolume();
    return true;
  }
  WarnOnce(relative_,
           "cannot play " + relative_ + " (" + pa_strerror(pa_context_errno(context_)) + "); the music stays silent");
  DropStream();
  return false;
}

void PulseWaveDevice::SetVolume(int percent) {
  volume_percent_ = std::clamp(percent, 0, 100);
  if (stream_ == nullptr) return;  // a stream made later starts at this volume
  pa_threaded_mainloop_lock(loop_);
  ApplyVolume();
  pa_threaded_mainloop_unlock(loop_);
}

void PulseWaveDevice::ApplyVolume() {
  pa_cvolume volume;
  pa_cvolume_set(&volume, spec_.channels, pa_sw_volume_from_linear(volume_percent_ / 100.0));
  Finish(pa_context_set_sink_input_volume(context_, pa_stream_get_index(stream_), &volume, nullptr, nullptr));
}

void PulseWaveDevice::DropStream() {
  if (stream_ == nullptr) return;
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_write_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
  remaining_ = 0;
}

void PulseWaveDevice::Feed(std::size_t bytes) {
  if (remaining_ == 0) return;
  const std::size_t frame = pa_frame_size(&spec_);
  while (remaining_ >= frame && bytes >= frame) {
    void* buffer = nullptr;
    std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, remaining_));
    if (pa_stream_begin_write(stream_, &buffer, &size) < 0) return;
    size = static_cast<std::size_t>(std::min<std::uint64_t>({size, bytes, remaining_}));
    size -= size % frame;
    source_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    const auto got = static_cast<std::size_t>(source_.gcount()) / frame * frame;
    if (got == 0) {
      pa_stream_cancel_write(stream_);
      break;  // the file holds fewer samples than its header says
    }
    pa_stream_write(stream_, buffer, got, nullptr, 0, PA_SEEK_RELATIVE);
    remaining_ -= got;
    bytes -= got;
    if (got < size) break;
  }
  if (remaining_ >= frame && source_) return;
  // The end of the piece: played out even if it is shorter than the queue the server waits to fill first.
  remaining_ = 0;
  Finish(pa_stream_trigger(stream_, nullptr, nullptr));
}

void PulseWaveDevice::Signal(pa_context*, void* self) {
  pa_threaded_mainloop_signal(static_cast<PulseWaveDevice*>(self)->loop_, 0);
}

void PulseWaveDevice::SignalStream(pa_stream*, void* self) {
  pa_threaded_mainloop_signal(static_cast<PulseWaveDevice*>(self)->loop_, 0);
}

void PulseWaveDevice::Writable(pa_stream*, std::size_t bytes, void* self) {
  static_cast<PulseWaveDevice*>(self)->Feed(bytes);
}

}  // namespace shiori
