// The headless driver on its own, without the window: the build for Node.js runs the player this way.
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "HeadlessDriver.h"

namespace {

constexpr const char* kUsage =
    "Usage: shiori-headless --headless GAME_DIR [--save-dir DIR] [--now \"YYYY-MM-DD hh:mm:ss\"]\n"
    "                       [--translation FILE.po]\n"
    "\n"
    "Runs the story in GAME_DIR without a window on a virtual clock, reading commands from standard input\n"
    "and printing the state as JSON (see docs/headless.md). Screenshots need the window's painter, which this\n"
    "build lacks.\n"
    "\n"
    "  --save-dir DIR   keep bookmarks, settings and the read-page record in DIR\n"
    "  --now TIME       the wall clock's start, for bookmark stamps\n"
    "  --translation FILE  show the story translated by the PO file FILE\n"
    "  --help           show this help\n"
    "  --version        show the version\n";

enum class Request { kRun, kHelp, kVersion };

// Reads the arguments into `options`; returns what to do, or the problem.
std::variant<Request, std::string> Parse(int argc, char** argv, shiori::HeadlessOptions& options) {
  bool game_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return Request::kHelp;
    if (arg == "--version") return Request::kVersion;
    if (arg != "--headless" && arg != "--save-dir" && arg != "--now" && arg != "--translation") {
      return "unknown argument " + std::string(arg);
    }
    if (i + 1 >= argc) return std::string(arg) + " needs a value";
    const std::string value = argv[++i];
    if (arg == "--headless") {
      options.game_dir = value;
      game_given = true;
    } else if (arg == "--save-dir") {
      options.save_dir = value;
    } else if (arg == "--translation") {
      options.translation = value;
    } else {
      options.now = value;
    }
  }
  if (!game_given) return std::string("--headless GAME_DIR is required");
  return Request::kRun;
}

}  // namespace

int main(int argc, char** argv) {
  shiori::HeadlessOptions options;
  const auto parsed = Parse(argc, argv, options);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    std::cerr << "shiori: " << *problem << "\n\n" << kUsage;
    return 2;
  }
  switch (std::get<Request>(parsed)) {
    case Request::kHelp:
      std::cout << kUsage;
      return 0;
    case Request::kVersion:
      std::cout << "shiori " << SHIORI_VERSION << std::endl;
      return 0;
    case Request::kRun:
      break;
  }
  return shiori::RunHeadless(options, std::cin, std::cout, std::cerr, nullptr);
}
