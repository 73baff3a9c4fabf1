#include "qt/QtSpeaker.h"

#include <QLocale>
#include <QPointer>
#include <QTextToSpeech>
#include <QVoice>
#include <algorithm>
#include <memory>

namespace shiori {
namespace {

// QTextToSpeech's rate runs from -1 (half as fast, or so) to 1 (twice as fast); 0 is the voice's own.
double EngineRate(int percent) { return std::clamp((percent - 100) / 100.0, -1.0, 1.0); }

}  // namespace

// Owns the engine on the speech thread; every member runs there.
class SpeechWorker : public QObject {
 public:
  using Report = std::function<void(VoiceSupport, const QStringList&)>;
  explicit SpeechWorker(Report report) : report_(std::move(report)) {}

  void Prepare() {
    if (engine_) return;
    engine_ = std::make_unique<QTextToSpeech>();
    if (engine_->state() == QTextToSpeech::Error) {
      report_(VoiceSupport::kNoJapanese, {});
      return;
    }
    for (const QLocale& locale : engine_->availableLocales()) {
      if (locale.language() != QLocale::Japanese) continue;
      engine_->setLocale(locale);
      for (const QVoice& voice : engine_->availableVoices()) voices_.push_back(voice);
    }
    QStringList names;
    for (const QVoice& voice : voices_) names.push_back(voice.name());
    report_(voices_.empty() ? VoiceSupport::kNoJapanese : VoiceSupport::kJapanese, names);
  }

  void Say(const QString& text, int rate_percent, const QString& name) {
    Prepare();
    if (voices_.empty()) return;
    const auto named = std::find_if(voices_.begin(), voices_.end(), [&](const QVoice& v) { return v.name() == name; });
    engine_->setVoice(named != voices_.end() ? *named : voices_.front());
    engine_->setRate(EngineRate(rate_percent));
    engine_->say(text);
  }

  void Stop() {
    if (engine_) engine_->stop();
  }

 private:
  Report report_;
  std::unique_ptr<QTextToSpeech> engine_;
  QList<QVoice> voices_;
};

QtSpeaker::QtSpeaker(QObject* parent) : QObject(parent) {
  QPointer<QtSpeaker> self(this);
  auto* worker = new SpeechWorker([self](VoiceSupport support, const QStringList& voices) {
    QMetaObject::invokeMethod(
        self.data(),
        [self, support, voices] {
          if (self) self->Reported(support, voices);
        },
        Qt::QueuedConnection);
  });
  worker->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker, &QObject::deleteLater);
  worker_ = worker;
  thread_.setObjectName(QStringLiteral("speech"));
  thread_.start();
}

QtSpeaker::~QtSpeaker() {
  thread_.quit();
  thread_.wait();
}

void QtSpeaker::Say(std::string_view text, const Voicing& voicing) {
  SpeechWorker* worker = worker_;
  const QString said = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QString name = QString::fromStdString(voicing.voice);
  const int rate = voicing.rate_percent;
  QMetaObject::invokeMethod(
      worker, [worker, said, rate, name] { worker->Say(said, rate, name); }, Qt::QueuedConnection);
}

void QtSpeaker::Stop() {
  SpeechWorker* worker = worker_;
  QMetaObject::invokeMethod(
      worker, [worker] { worker->Stop(); }, Qt::QueuedConnection);
}

void QtSpeaker::Prepare() {
  SpeechWorker* worker = worker_;
  QMetaObject::invokeMethod(
      worker, [worker] { worker->Prepare(); }, Qt::QueuedConnection);
}

void QtSpeaker::Reported(VoiceSupport support, const QStringList& voices) {
  voices_ = voices;
  if (Found) Found(support);
}

}  // namespace shiori
