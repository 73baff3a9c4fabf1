#include "qt/QtServices.h"

#include <QDateTime>
#include <QMessageBox>
#include <QTimer>
#include <iostream>

namespace shiori {

bool QtPictureService::CanLoad(const std::filesystem::path& file) { return !cache_.Get(file).isNull(); }

void StderrWarnings::Warn(std::string_view message) { std::cerr << "shiori: warning: " << message << std::endl; }

bool QtQuestioner::Ask(std::string_view text, std::string_view title, DefaultAnswer default_answer) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(default_answer == DefaultAnswer::kNo ? QMessageBox::No : QMessageBox::Yes);
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

QtServices::QtServices() = default;

Services QtServices::Bundle() { return Services{pictures_, wave_, questions_, clock_, random_, warnings_}; }

}  // namespace shiori
