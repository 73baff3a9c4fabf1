// The player: the Qt window on a game folder, or, with --headless, the scripted driver used by tests and tools.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QMessageBox>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "HeadlessDriver.h"
#include "engine/Engine.h"
#include "qt/LightProcess.h"
#include "qt/MainWindow.h"
#include "qt/QtServices.h"
#include "qt/ReaderLanguage.h"
#include "qt/Screenshot.h"
#include "qt/StageFontFile.h"
#include "qt/StagePlayer.h"

namespace {

constexpr const char* kUsage =
    "Usage: shiori [GAME_DIR] [--save-dir DIR] [--fullscreen] [--translation FILE.po]\n"
    "       shiori --headless GAME_DIR [--save-dir DIR] [--now \"YYYY-MM-DD hh:mm:ss\"] [--translation FILE.po]\n"
    "\n"
    "Plays the story in GAME_DIR (the folder holding data1.rgd); without one, the bundled demo.\n"
    "\n"
    "  --save-dir DIR   keep bookmarks, settings and the read-page record in DIR\n"
    "  --fullscreen     open full screen (F11 or Alt+Enter switches)\n"
    "  --headless DIR   run without a window, reading commands from standard input\n"
    "                   (see docs/headless.md)\n"
    "  --now TIME       headless only: the wall clock's start, for bookmark stamps\n"
    "  --translation FILE  show the story translated by the PO file FILE; the window keeps it as the\n"
    "                   reader's preference (the driver does not)\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "Qt's own options (-platform NAME, -reverse ...) go to Qt.\n"
    "\n"
    "In the window: Enter, Space or the wheel reads on, Escape opens the menu, Ctrl+C copies the page,\n"
    "F12 saves a screenshot into your pictures folder.\n";

struct Options {
  std::optional<std::filesystem::path> game_dir;
  std::optional<std::filesystem::path> save_dir;
  std::optional<std::string> now;
  std::optional<std::filesystem::path> translation;
  bool headless = false;
  bool full_screen = false;
  bool help = false;
  bool version = false;
};

// Qt's own options, which QApplication takes from the command line itself. They are named here so that the
// parser knows which take a value: the folder after a flag such as -reverse is still the game folder.
constexpr std::array kQtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "display",    "geometry", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "title",         "style",  "stylesheet", "session",  "qmljsdebugger"};
constexpr std::array kQtFlags = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

std::filesystem::path LocalPath(const QString& text) { return QFile::encodeName(text).toStdString(); }

// Reads our options and steps over Qt's. Returns the problem, if any.
std::optional<std::string> Parse(int argc, char** argv, Options& options) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{"h", "help"}), version("version"), full_screen("fullscreen");
  const QCommandLineOption headless("headless", {}, "DIR"), save_dir("save-dir", {}, "DIR"), now("now", {}, "TIME");
  const QCommandLineOption translation("translation", {}, "FILE");
  parser.addOptions({help, version, full_screen, headless, save_dir, now, translation});
  for (const char* name : kQtOptionsWithValue) parser.addOption(QCommandLineOption(name, {}, "VALUE"));
  for (const char* name : kQtFlags) parser.addOption(QCommandLineOption(name));

  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (!parser.parse(arguments)) return parser.errorText().toStdString();

  options.help = parser.isSet(help);
  options.version = parser.isSet(version);
  options.full_screen = parser.isSet(full_screen);
  options.headless = parser.isSet(headless);
  if (options.headless) options.game_dir = LocalPath(parser.value(headless));
  if (parser.isSet(save_dir)) options.save_dir = LocalPath(parser.value(save_dir));
  if (parser.isSet(now)) options.now = parser.value(now).toStdString();
  if (parser.isSet(translation)) options.translation = LocalPath(parser.value(translation));

  const QStringList folders = parser.positionalArguments();
  if (folders.size() + (options.headless ? 1 : 0) > 1) return "more than one game folder";
  if (!folders.isEmpty()) options.game_dir = LocalPath(folders.front());
  if (options.now && !options.headless) return "--now works with --headless only";
  return std::nullopt;
}

// The bundled demo: beside the player in the build tree (build/bin/../demo), or where `cmake --install` puts it
// (bin/../share/shiori/demo).
std::filesystem::path BundledDemo(const char* argv0) {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) exe = std::filesystem::absolute(argv0);
  const std::filesystem::path built = (exe.parent_path() / ".." / "demo").lexically_normal();
  const std::filesystem::path installed = (exe.parent_path() / ".." / "share" / "shiori" / "demo").lexically_normal();
  return std::filesystem::exists(built / "data1.rgd") ? built : installed;
}

int RunHeadless(const Options& options) {
  shiori::HeadlessOptions headless{*options.game_dir, options.save_dir, options.now, options.translation};
  shiori::HeadlessScreenshots screenshots;
  const shiori::ScreenshotWriter writer = [&](const shiori::Form& form, const shiori::GameFolder& folder,
                                              const std::filesystem::path& png,
                                              int scale) { return screenshots.Write(form, folder, png, scale); };
  return shiori::RunHeadless(headless, std::cin, std::cout, std::cerr, writer);
}

// Qt ends the program from inside QApplication's constructor when no display can be opened. Until the
// application stands, a fatal message from Qt says so plainly and exits 1 instead of aborting.
QtMessageHandler qt_handler = nullptr;

void ExitWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    qt_handler(type, context, message);
    return;
  }
  std::cerr << "shiori: no display could be opened: run it in a desktop session (DISPLAY or WAYLAND_DISPLAY "
               "set), or use --headless."
            << std::endl;
  std::_Exit(1);
}

int RunWindow(int argc, char** argv, const Options& options) {
  const shiori::GameFolder folder =
      shiori::GameFolder::Open(options.game_dir.value_or(BundledDemo(argv[0])), options.save_dir);
  if (const shiori::Status playable = folder.CheckPlayable(); !playable) {
    std::cerr << "shiori: " << playable.error() << std::endl;
    return 1;
  }

  qt_handler = qInstallMessageHandler(ExitWithoutDisplay);
  shiori::LightenWindowProcess();
  QApplication application(argc, argv);
  qInstallMessageHandler(qt_handler);
  QApplication::setApplicationName(QStringLiteral("shiori"));
  QApplication::setApplicationVersion(QStringLiteral(SHIORI_VERSION));
  QApplication::setWindowIcon(shiori::WindowIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("shiori"));
  shiori::InstallJapaneseQtTranslations();

  const shiori::Result<QRawFont> font = shiori::LoadStageFont();
  if (!font) {
    std::cerr << "shiori: " << font.error() << std::endl;
    QMessageBox::critical(nullptr, shiori::WindowCaption(), shiori::NoFontMessage(font.error()));
    return 1;
  }
  shiori::QtServices services;
  shiori::Scheduler scheduler;
  shiori::Engine engine(folder, services.Bundle(), scheduler);
  shiori::StagePlayer player(folder, services.pictures(), font.value());
  shiori::MainWindow window(engine, player, services.questions());
  engine.Ended = [] { QCoreApplication::exit(0); };

  const shiori::Status started = window.Start(options.translation);
  if (!started) {
    std::cerr << "shiori: " << started.error() << std::endl;
    QMessageBox::critical(nullptr, shiori::WindowCaption(), shiori::NoStoryMessage(folder.game()));
    return 1;
  }
  if (engine.ended()) return 0;
  window.ShowAtBestSize(options.full_screen);
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<std::string> problem = Parse(argc, argv, options)) {
    std::cerr << "shiori: " << *problem << "\n\n" << kUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "shiori " << SHIORI_VERSION << std::endl;
    return 0;
  }
  return options.headless ? RunHeadless(options) : RunWindow(argc, argv, options);
}
