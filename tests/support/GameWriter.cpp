#include "support/GameWriter.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "ScenarioText.h"
#include "persistence/RouteCgTable.h"
#include "platform/GameFolder.h"
#include "support/PictureBytes.h"
#include "support/WaveBytes.h"

namespace shiori::test {
namespace {

std::string Little(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

struct Colour {
  int red;
  int green;
  int blue;
};

// Each banded picture gets a colour of its own, from its name, so that screens can be told apart.
Colour ColourOf(const std::string& relative) {
  std::uint32_t hash = 2166136261u;
  for (const char c : relative) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  // Dark enough that the stage's white text stands out on every band.
  return {30 + static_cast<int>(hash % 40), 30 + static_cast<int>((hash >> 8) % 40),
          50 + static_cast<int>((hash >> 16) % 40)};
}

// An 8-bit palette BMP of the whole stage: fifteen soft bands of `base`, and the marker, 8 x 8 magenta pixels, at
// the top-left corner.
std::string BandedPicture(Colour base) {
  constexpr std::uint32_t kWidth = 640;
  constexpr std::uint32_t kHeight = 400;
  constexpr std::uint32_t kMarker = 8;
  std::string palette = Little(0x00FF00FF, 4);  // index 0: the marker (blue, green, red, 0)
  for (int i = 0; i < 15; ++i) {
    const auto channel = [i](int c) { return static_cast<char>(std::min(255, c + i * 6)); };
    palette += std::string{channel(base.blue), channel(base.green), channel(base.red), '\0'};
  }
  palette += std::string(4 * (256 - 16), '\0');
  std::string pixels;
  pixels.reserve(kWidth * kHeight);
  for (std::uint32_t row = 0; row < kHeight; ++row) {
    const std::uint32_t y = kHeight - 1 - row;  // bottom-up
    for (std::uint32_t x = 0; x < kWidth; ++x) {
      const bool marker = x < kMarker && y < kMarker;
      pixels += static_cast<char>(marker ? 0 : 1 + ((x + 2 * y) / 48) % 15);
    }
  }
  const auto offset = static_cast<std::uint32_t>(14 + 40 + palette.size());
  const std::string header =
      "BM" + Little(offset + static_cast<std::uint32_t>(pixels.size()), 4) + Little(0, 4) + Little(offset, 4);
  const std::string info = Little(40, 4) + Little(kWidth, 4) + Little(kHeight, 4) + Little(1, 2) + Little(8, 2) +
                           Little(0, 4) + Little(static_cast<std::uint32_t>(pixels.size()), 4) + Little(3780, 4) +
                           Little(3780, 4) + Little(256, 4) + Little(0, 4);
  return header + info + palette + pixels;
}

}  // namespace

std::string SilentMusic(double seconds) {
  constexpr std::uint32_t kRate = 8000;
  const auto samples = static_cast<std::uint32_t>(std::lround(seconds * kRate));
  return WaveBytes(kRate, samples, std::string(samples, '\x80'));
}

void GameWriter::Write(std::string_view relative, std::string_view bytes) const {
  const std::filesystem::path file = folder_ / std::filesystem::path(std::string(relative));
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

void GameWriter::WritePicture(const std::string& relative, PictureLook look) const {
  Write(relative, look == PictureLook::Banded ? BandedPicture(ColourOf(relative)) : kPngBytes);
}

void GameWriter::WriteFiles(const GameContents& contents) const {
  for (const char* name : {"op01", "ld01", "ld02", "rg01", "e01", "e02", "e03", "e04", "e05"}) {
    WritePicture(std::string("data/") + name + ".rgd", contents.look);
  }
  WritePicture("log/0000.log", contents.look);
  // The gallery's CGs stay tiny whatever the look: a whole-stage picture for each of them is megabytes no test
  // looks at.
  for (const auto& route : RouteCgTable()) {
    for (const CgStep& step : route) WritePicture(RelativeName(step.picture), PictureLook::Tiny);
  }
  for (const int n : contents.pictures) WritePicture("data/" + FourDigits(n) + ".rgd", contents.look);
  for (const auto& [n, bytes] : contents.music) Write("data/" + FourDigits(n) + ".wav", bytes);
}

void GameWriter::WriteScenario(const std::map<int, ScenarioRecord>& pages) const {
  const int last = pages.empty() ? 0 : pages.rbegin()->first;
  std::string bytes(static_cast<std::size_t>(last) * ScenarioRecord::kSize, '\0');
  for (const auto& [number, record] : pages) {
    const auto encoded = record.Encode();
    std::copy(encoded.begin(), encoded.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>((number - 1) * ScenarioRecord::kSize));
  }
  Write("data1.rgd", bytes);
}

void GameWriter::WriteScenario(std::string_view text) const {
  const auto scenario = BuildScenario(text, "story.txt");
  if (!scenario) throw std::runtime_error(scenario.error());
  Write("data1.rgd", std::string(scenario.value().begin(), scenario.value().end()));
}

}  // namespace shiori::test
