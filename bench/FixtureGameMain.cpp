// Writes one of the tests' games into a folder: the fixture game, for measuring when no demo has been generated,
// or the real window's game, for its end-to-end test and benchmarks.
#include <cstring>
#include <exception>
#include <iostream>
#include <string_view>

#include "support/FixtureGame.h"

namespace {

constexpr const char* kUsage =
    "Usage: shiori_fixture [--window [--long]] FOLDER\n"
    "Writes a small test game into FOLDER: the fixture game (two routes, both endings, every menu and picture),\n"
    "or with --window the game the real window is tested on (whole-stage pictures with a corner marker); --long\n"
    "makes that four pages of twelve full lines.\n";

}  // namespace

int main(int argc, char** argv) {
  bool window = false;
  bool long_pages = false;
  const char* folder = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--window") {
      window = true;
    } else if (arg == "--long") {
      long_pages = true;
    } else if (folder == nullptr && !arg.starts_with("-")) {
      folder = argv[i];
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (folder == nullptr || (long_pages && !window)) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    if (window) {
      shiori::test::WriteWindowGame(folder, long_pages);
    } else {
      shiori::test::WriteFixtureGame(folder);
    }
  } catch (const std::exception& error) {
    std::cerr << "shiori_fixture: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
