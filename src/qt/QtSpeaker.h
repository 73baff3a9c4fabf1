#pragma once

#include <QObject>
#include <QStringList>
#include <QThread>
#include <functional>

#include "platform/Services.h"

namespace shiori {

class SpeechWorker;

// Self-voicing on Qt's text to speech (speech-dispatcher on Linux). The engine is made on first use, on a thread of
// its own: connecting to the speech server may wait for it to start, and the window must never wait for speech.
// Only a Japanese voice is ever used; another language's voice would read kanji as "Chinese letter".
class QtSpeaker : public QObject, public Speaker {
 public:
  explicit QtSpeaker(QObject* parent = nullptr);
  ~QtSpeaker() override;

  void Say(std::string_view text, const Voicing& voicing) override;
  void Stop() override;
  // Makes the engine and looks for voices now, so that the preferences can list them.
  void Prepare();

  // Told on the window's thread once the system's voices are known.
  std::function<void(VoiceSupport)> Found;
  // The names of the Japanese voices found; empty until then.
  [[nodiscard]] const QStringList& voices() const { return voices_; }

 private:
  void Reported(VoiceSupport support, const QStringList& voices);

  QThread thread_;
  SpeechWorker* worker_ = nullptr;  // lives on thread_
  QStringList voices_;
};

}  // namespace shiori
