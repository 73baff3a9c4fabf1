#include "support/FixtureGame.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "ScenarioText.h"
#include "persistence/RouteCgTable.h"
#include "platform/GameFolder.h"
#include "support/WaveBytes.h"

namespace shiori::test {
namespace {

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Two seconds of 8-bit mono silence: music repeats often on the virtual clock, yet each piece outlasts the
// next-arrow's half-second blink, as real pieces do.
std::string Music() {
  constexpr std::uint32_t kRate = 8000;
  constexpr std::uint32_t kSamples = kRate * 2;
  return WaveBytes(kRate, kSamples, std::string(kSamples, '\x80'));
}

}  // namespace

std::string FixtureStory() {
  return R"(page 1
start 1
picture 1
music 4
next 2
| 　朝。\p
| 　窓の外で鳥が鳴いている。

page 2
start 1
picture 2
music 12
type choice
choice 3
| 川沿いの道を行く
choice 6
| 少し遠回りして、
| 丘の上の神社へ寄る

page 3
picture 3
music 4
next 4
| 　川の音が近い。\p
| 　水面が光っている。

page 4
picture 3
next 5
| 　橋の上で立ち止まる。\p
| 　風が冷たい。

page 5
picture 1
music 7
next 9501
ending 9501
| 　――そして、\p
| 　春は巡る。

page 6
start 0
picture 4
music 7
next 7
| 　石段を上る。\p
| 　鳥居の向こうに空が見えた。

page 7
picture 4
type choice
choice 1
| 最初からやり直す
choice 8
| 先へ進む

page 8
picture 5
next 9502
ending 9502
| 　夕暮れの境内。\p
| 　帰り道は静かだった。
)";
}

void WriteFixtureGame(const std::filesystem::path& folder) {
  const auto scenario = BuildScenario(FixtureStory(), "fixture.txt");
  if (!scenario) throw std::runtime_error(scenario.error());
  WriteFile(folder / "data1.rgd", std::string(scenario.value().begin(), scenario.value().end()));
  const std::string picture = "BM fixture picture";
  for (const char* name : {"op01", "ld01", "ld02", "rg01", "e01", "e02", "e03", "e04", "e05"}) {
    WriteFile(folder / "data" / (std::string(name) + ".rgd"), picture);
  }
  for (int n = 1; n <= 5; ++n) WriteFile(folder / "data" / (FourDigits(n) + ".rgd"), picture);
  WriteFile(folder / "log" / "0000.log", picture);
  for (const auto& route : RouteCgTable()) {
    for (const CgStep& step : route) WriteFile(folder / RelativeName(step.picture), picture);
  }
  for (int n : {4, 7, 12, 31, 32}) WriteFile(folder / "data" / (FourDigits(n) + ".wav"), Music());
}

}  // namespace shiori::test
