#include "qt/QtServices.h"

#include <QAudio>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QDateTime>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <iostream>

namespace shiori {

bool QtPictureService::CanLoad(const std::filesystem::path& file) { return !cache_.Get(file).isNull(); }

void StderrWarnings::Warn(std::string_view message) { std::cerr << "shiori: warning: " << message << std::endl; }

QtWaveDevice::QtWaveDevice(WarningSink& warnings) : warnings_(warnings) {}

QtWaveDevice::~QtWaveDevice() = default;

void QtWaveDevice::SetFileName(std::string_view relative, const std::filesystem::path& file) {
  relative_ = std::string(relative);
  file_ = file;
}

void QtWaveDevice::Command(std::string_view command) {
  if (command == "play") {
    Play();
  } else if (command == "stop" || command == "close") {
    Stop();
  }
}

void QtWaveDevice::WarnOnce(const std::string& key, const std::string& message) {
  if (warned_.insert(key).second) warnings_.Warn(message);
}

bool QtWaveDevice::EnsurePlayer() {
  if (player_) return true;
  if (no_device_) return false;
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) {
    no_device_ = true;
    WarnOnce("", "no audio output device; the music stays silent");
    return false;
  }
  output_ = std::make_unique<QAudioOutput>(device);
  ApplyVolume();
  player_ = std::make_unique<QMediaPlayer>();
  player_->setAudioOutput(output_.get());
  QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, [this](QMediaPlayer::Error, const QString& why) {
    WarnOnce(relative_, "cannot play " + relative_ + " (" + why.toStdString() + "); the music stays silent");
  });
  return true;
}

void QtWaveDevice::SetVolume(int percent) {
  volume_ = std::clamp(percent, 0, 100);
  ApplyVolume();
}

// The reader hears loudness on a logarithmic scale; the output takes a linear factor.
void QtWaveDevice::ApplyVolume() {
  if (!output_) return;
  output_->setVolume(static_cast<float>(
      QAudio::convertVolume(volume_ / 100.0, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale)));
}

void QtWaveDevice::Play() {
  if (!enabled_) return;
  std::error_code error;
  if (file_.empty() || !std::filesystem::is_regular_file(file_, error)) {
    WarnOnce(relative_, "music file " + relative_ + " not found; the music stays silent");
    return;
  }
  if (!EnsurePlayer()) return;
  const QUrl source = QUrl::fromLocalFile(QString::fromStdString(file_.string()));
  player_->stop();
  if (player_->source() != source) player_->setSource(source);
  player_->setPosition(0);
  player_->play();
}

void QtWaveDevice::Stop() {
  if (player_) player_->stop();
}

bool QtQuestioner::Ask(std::string_view text, std::string_view title) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  // Keyboard focus goes to the question even where no window manager hands it over, so Enter answers it.
  QTimer::singleShot(0, &box, [&box] { box.activateWindow(); });
  if (Asking) Asking(true);
  const int answer = box.exec();
  if (Asking) Asking(false);
  return answer == QMessageBox::Yes;
}

std::string LocalWallClock::DateText() {
  return QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd")).toStdString();
}

std::string LocalWallClock::TimeText() {
  return QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
}

std::int64_t LocalWallClock::MillisecondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay(); }

// The top 53 bits as a fraction: uniform in [0, 1), never 1 (which generate_canonical may round up to).
double MersenneRandom::Next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

QtServices::QtServices() = default;

Services QtServices::Bundle() { return Services{pictures_, wave_, questions_, clock_, random_, warnings_}; }

}  // namespace shiori
