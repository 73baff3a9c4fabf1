// The player: the Qt window on a game folder, or, with --headless, the scripted driver used by tests and tools.
#include <QApplication>
#include <QMessageBox>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "HeadlessDriver.h"
#include "engine/Engine.h"
#include "qt/LightProcess.h"
#include "qt/MainWindow.h"
#include "qt/QtServices.h"
#include "qt/Screenshot.h"
#include "qt/StagePainter.h"

namespace {

constexpr const char* kUsage =
    "Usage: shiori [GAME_DIR] [--save-dir DIR] [--fullscreen]\n"
    "       shiori --headless GAME_DIR [--save-dir DIR] [--now \"YYYY-MM-DD hh:mm:ss\"]\n"
    "\n"
    "Plays the story in GAME_DIR (the folder holding data1.rgd); without one, the bundled demo.\n"
    "\n"
    "  --save-dir DIR   keep bookmarks, settings and the read-page record in DIR\n"
    "  --fullscreen     open full screen (F11 or Alt+Enter switches)\n"
    "  --headless DIR   run without a window, reading commands from standard input\n"
    "                   (see docs/headless.md)\n"
    "  --now TIME       headless only: the wall clock's start, for bookmark stamps\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "In the window: Enter, Space or the wheel reads on, Escape opens the menu, Ctrl+C copies the page,\n"
    "F12 saves a screenshot into your pictures folder.\n";

struct Options {
  std::optional<std::filesystem::path> game_dir;
  std::optional<std::filesystem::path> save_dir;
  std::optional<std::string> now;
  bool headless = false;
  bool full_screen = false;
  bool help = false;
  bool version = false;
};

// Reads our options; Qt's own (-platform ...) are left for QApplication. Returns the problem, if any.
std::optional<std::string> Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--fullscreen") {
      options.full_screen = true;
    } else if (arg == "--headless" || arg == "--save-dir" || arg == "--now") {
      const std::optional<std::string> given = value();
      if (!given) return std::string(arg) + " needs a value";
      if (arg == "--headless") {
        options.headless = true;
        options.game_dir = *given;
      } else if (arg == "--save-dir") {
        options.save_dir = *given;
      } else {
        options.now = *given;
      }
    } else if (arg.starts_with("-")) {
      // Qt's own options (-platform, -display ...) come with a value.
      if (arg.starts_with("--")) return "unknown option " + std::string(arg);
      ++i;
    } else if (!options.game_dir) {
      options.game_dir = std::string(arg);
    } else {
      return "more than one game folder: " + std::string(arg);
    }
  }
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
  shiori::HeadlessOptions headless{*options.game_dir, options.save_dir, options.now};
  shiori::HeadlessScreenshots screenshots;
  const shiori::ScreenshotWriter writer = [&](const shiori::Form& form, const shiori::GameFolder& folder,
                                              const std::filesystem::path& png) {
    return screenshots.Write(form, folder, png);
  };
  return shiori::RunHeadless(headless, std::cin, std::cout, std::cerr, writer);
}

int RunWindow(int argc, char** argv, const Options& options) {
  shiori::LightenWindowProcess();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("shiori"));
  QApplication::setApplicationVersion(QStringLiteral(SHIORI_VERSION));
  QApplication::setWindowIcon(shiori::WindowIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("shiori"));

  shiori::QtServices services;
  shiori::Scheduler scheduler;
  const shiori::GameFolder folder =
      shiori::GameFolder::Open(options.game_dir.value_or(BundledDemo(argv[0])), options.save_dir);
  shiori::Engine engine(folder, services.Bundle(), scheduler);
  shiori::StagePainter painter(folder, services.pictures());
  shiori::MainWindow window(engine, painter, services.questions());
  engine.Ended = [] { QCoreApplication::exit(0); };

  const shiori::Status started = window.Start();
  if (!started) {
    std::cerr << "shiori: " << started.error() << std::endl;
    QMessageBox::critical(nullptr, shiori::WindowCaption(), QString::fromStdString(started.error()));
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
