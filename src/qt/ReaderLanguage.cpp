#include "qt/ReaderLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace shiori {
namespace {

QString FromPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

void InstallJapaneseQtTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

QString NoStoryMessage(const std::filesystem::path& game) {
  return QStringLiteral("物語を始められません。\n\nフォルダ %1 にシナリオファイル data1.rgd がありません。")
      .arg(FromPath(game));
}

QString NoFontMessage(const std::string& problem) {
  return QStringLiteral(
             "文字を表示するフォントを読み込めません。\n\nThe stage font cannot be loaded: %1\n\nReinstall shiori, or "
             "install the package fonts-ipaexfont-gothic.")
      .arg(QString::fromStdString(problem));
}

QString ScreenshotSavedMessage(const QString& path) {
  return QStringLiteral("スクリーンショットを保存しました: %1").arg(path);
}

QString ScreenshotFailedMessage() { return QStringLiteral("スクリーンショットを保存できませんでした"); }

QString SaveFolderMessage(const std::filesystem::path& save) {
  return QStringLiteral("セーブデータの保存先: %1").arg(FromPath(save));
}

}  // namespace shiori
