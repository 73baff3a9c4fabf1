#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <string>
#include <vector>

#include "StageFixture.h"
#include "qt/PictureCache.h"
#include "qt/PulseWaveDevice.h"
#include "qt/QtServices.h"
#include "qt/ReaderLanguage.h"
#include "support/WaveBytes.h"

namespace shiori::test {
namespace {

// One pixel of a two-colour GIF: Qt writes no GIF, so the bytes are spelled out.
const std::string kGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
    "\x00\x02\x02\x44\x01\x00;",
    35);

TEST(PictureCache, DecodesByContentWhateverTheExtension) {
  TempGame game;
  game.WritePicture("data/0001.rgd", PalettePicture(), "BMP");
  game.WritePicture("data/0002.rgd", ColourPicture(), "JPEG");
  game.WritePicture("data/0003.rgd", ColourPicture(), "PNG");
  game.WriteBytes("log/0001.log", kGif);
  game.WritePicture("data/liar.png", PalettePicture(), "BMP");  // the extension says PNG, the bytes say BMP
  PictureCache cache;
  const QImage palette = cache.Get(game.dir() / "data/0001.rgd");
  ASSERT_FALSE(palette.isNull());
  EXPECT_EQ(palette.size(), QSize(640, 400));
  EXPECT_EQ(palette.pixel(0, 0), PalettePicture().pixel(0, 0));  // the palette came through
  EXPECT_EQ(palette.pixel(550, 120), PalettePicture().pixel(550, 120));
  EXPECT_EQ(cache.Get(game.dir() / "data/0002.rgd").size(), QSize(640, 400));
  EXPECT_EQ(cache.Get(game.dir() / "data/0003.rgd").pixel(480, 120), ColourPicture().pixel(480, 120));
  EXPECT_EQ(cache.Get(game.dir() / "log/0001.log").pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_FALSE(cache.Get(game.dir() / "data/liar.png").isNull());
}

TEST(PictureCache, MissingBrokenAndReplacedFiles) {
  TempGame game;
  PictureCache cache;
  QtPictureService service(cache);
  EXPECT_FALSE(service.CanLoad(game.dir() / "data/0009.rgd"));
  game.WriteBytes("data/0009.rgd", "BM but nothing after it");
  EXPECT_FALSE(service.CanLoad(game.dir() / "data/0009.rgd"));
  // The first bytes of a JPEG: its header reads fine, its picture is not there. Checking the header alone
  // would call it loadable and leave the stage with nothing to draw.
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  ColourPicture().save(&buffer, "JPEG");
  game.WriteBytes("data/0010.rgd", std::string(jpeg.constData(), 200));
  EXPECT_FALSE(service.CanLoad(game.dir() / "data/0010.rgd"));

  // A picture put in place (or replaced) after a first look is seen afresh.
  const auto first_look = std::filesystem::last_write_time(game.dir() / "data/0009.rgd");
  game.WritePicture("data/0009.rgd", PalettePicture(), "BMP");
  std::filesystem::last_write_time(game.dir() / "data/0009.rgd", first_look + std::chrono::seconds(1));
  EXPECT_TRUE(service.CanLoad(game.dir() / "data/0009.rgd"));
  const QImage picture = cache.Get(game.dir() / "data/0009.rgd");
  EXPECT_EQ(cache.Scaled(picture, QSize(1280, 800)).size(), QSize(1280, 800));
  EXPECT_EQ(cache.Scaled(picture, QSize(640, 400)), picture);
}

// Once the stage has been drawn whole, the pictures it no longer shows are let go (a megabyte each); those it
// shows stay decoded, with their copies at the window's size, so that typing over them decodes and scales nothing.
TEST(PictureCache, KeepsOnlyWhatTheStageShows) {
  TempGame game;
  game.WritePicture("data/0001.rgd", PalettePicture(), "BMP");
  game.WritePicture("data/0002.rgd", ColourPicture(), "PNG");
  PictureCache cache;
  const QImage shown = cache.Get(game.dir() / "data/0001.rgd");
  const QImage gone = cache.Get(game.dir() / "data/0002.rgd");
  const QImage large = cache.Scaled(shown, QSize(1280, 800));
  cache.KeepOnly({shown});
  EXPECT_EQ(cache.Get(game.dir() / "data/0001.rgd").cacheKey(), shown.cacheKey());
  EXPECT_EQ(cache.Scaled(shown, QSize(1280, 800)).cacheKey(), large.cacheKey());
  EXPECT_NE(cache.Get(game.dir() / "data/0002.rgd").cacheKey(), gone.cacheKey()) << "decoded afresh";
}

class RecordedWarnings : public WarningSink {
 public:
  void Warn(std::string_view message) override { lines.emplace_back(message); }
  std::vector<std::string> lines;
};

TEST(PulseWaveDevice, SilentMusicWarnsOnceAndNeverStopsTheStory) {
  TempGame game;
  RecordedWarnings warnings;
  PulseWaveDevice device(warnings);
  device.SetFileName("data/0012.wav", game.dir() / "data/0012.wav");
  EXPECT_EQ(device.FileName(), "data/0012.wav");
  for (const char* command : {"open", "play", "stop", "close", "open", "play"}) device.Command(command);
  ASSERT_EQ(warnings.lines.size(), 1u);
  EXPECT_NE(warnings.lines[0].find("data/0012.wav"), std::string::npos);
  // Switched off, the device plays nothing and so has nothing to warn about.
  device.SetFileName("data/0013.wav", game.dir() / "data/0013.wav");
  device.SetEnabled(false);
  device.Command("play");
  EXPECT_EQ(warnings.lines.size(), 1u);
  device.SetEnabled(true);

  // What is no PCM wave file is named once, however often it is played.
  game.WriteBytes("data/0014.wav", "RIFF....WAVEfmt but nothing a player could use");
  device.SetFileName("data/0014.wav", game.dir() / "data/0014.wav");
  device.Command("play");
  device.Command("play");
  ASSERT_EQ(warnings.lines.size(), 2u);
  EXPECT_NE(warnings.lines[1].find("data/0014.wav"), std::string::npos);

  // Real music without a sound server: one warning for every piece, then silence.
  qputenv("PULSE_SERVER", "unix:" + QByteArray::fromStdString((game.dir() / "no-server").string()));
  for (const char* name : {"data/0015.wav", "data/0016.wav"}) {
    game.WriteBytes(name, WaveBytes(88200, 0));
    device.SetFileName(name, game.dir() / name);
    device.Command("play");
    device.Command("stop");
    device.Command("play");
  }
  qunsetenv("PULSE_SERVER");
  ASSERT_EQ(warnings.lines.size(), 3u);
  EXPECT_NE(warnings.lines[2].find("no audio output"), std::string::npos);
}

// Asks a question and answers it with Enter alone, once the box is up; returns the answer and the buttons' texts.
std::pair<bool, QString> AnswerWithEnter(DefaultAnswer default_answer) {
  QtQuestioner questions;
  QString buttons;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    poll.stop();
    buttons = box->button(QMessageBox::Yes)->text() + "/" + box->button(QMessageBox::No)->text();
    QTest::keyClick(box, Qt::Key_Return);
  });
  poll.start(10);
  const bool answer = questions.Ask("すべてのセーブデータが失われます", "確認", default_answer);
  return {answer, buttons};
}

TEST(QtQuestioner, ButtonsSpeakJapaneseAndEnterNeverWipesTheSaves) {
  InstallJapaneseQtTranslations();
  const auto [wipe, buttons] = AnswerWithEnter(DefaultAnswer::kNo);
  EXPECT_FALSE(wipe) << "Enter on a question that destroys saves answers No";
  EXPECT_TRUE(buttons.contains(QStringLiteral("はい")) && buttons.contains(QStringLiteral("いいえ")))
      << buttons.toStdString();
  EXPECT_TRUE(AnswerWithEnter(DefaultAnswer::kYes).first) << "elsewhere Enter answers Yes, as ever";
}

}  // namespace
}  // namespace shiori::test
