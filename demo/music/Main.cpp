// Composes the demo's music into a game folder: shiori-demo-music OUTPUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Synth.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = std::filesystem::path(argv[1]) / "data";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  for (const shiori::demo::Mood& mood : shiori::demo::DemoMoods()) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.wav", mood.number);
    const std::filesystem::path file = folder / name;
    const std::vector<std::uint8_t> bytes = shiori::demo::WaveFile(shiori::demo::Compose(mood));
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "%s: cannot write the music\n", file.string().c_str());
      return 1;
    }
  }
  return 0;
}
