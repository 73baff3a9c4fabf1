// Temporary entry point until the window lands: the headless driver only.
#include <iostream>
#include <string>

#include "HeadlessDriver.h"

int main(int argc, char** argv) {
  shiori::HeadlessOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--headless" && i + 1 < argc) options.game_dir = argv[++i];
    else if (arg == "--save-dir" && i + 1 < argc) options.save_dir = argv[++i];
    else if (arg == "--now" && i + 1 < argc) options.now = argv[++i];
  }
  return shiori::RunHeadless(options, std::cin, std::cout, std::cerr, nullptr);
}
