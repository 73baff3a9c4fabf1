// Writes the small fixture game of the tests into a folder, for measuring when no demo has been generated.
#include <exception>
#include <iostream>

#include "support/FixtureGame.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: shiori_fixture FOLDER\n";
    return 2;
  }
  try {
    shiori::test::WriteFixtureGame(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "shiori_fixture: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
