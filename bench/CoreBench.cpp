// Inner figures of the core: the next-choice search, the save-data reset, and the work of typing a page.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "HeadlessServices.h"
#include "engine/Engine.h"
#include "persistence/SeenRecord.h"
#include "scenario/SkipAndReturn.h"
#include "scenario/Typewriter.h"
#include "stage/StageFrames.h"
#include "support/GameWriter.h"

namespace shiori {
namespace {

// A game folder of `pages` text pages in a chain ending at a choice page, all read; removed at the end.
class BenchGame {
 public:
  explicit BenchGame(int pages)
      : folder_(std::filesystem::temp_directory_path() / ("shiori-bench-" + std::to_string(::getpid()))) {
    std::map<int, ScenarioRecord> records;
    for (int page = 1; page <= pages; ++page) {
      ScenarioRecord record = ScenarioRecord::Empty();
      record.target[0] = static_cast<std::int16_t>(page + 1);
      record.pageType = page == pages ? ScenarioRecord::kChoicePage : 0;
      for (int k = 0; k < 12; ++k) {
        record.lineText[k] = "夏の終わりの灯台で、僕らは最後の花火を見上げていた。";
        record.lineCode[k] = k == 11 ? 223 : 23;
      }
      records[page] = record;
    }
    const test::GameWriter writer(folder_);
    writer.WriteScenario(records);
    writer.Write("data5.rgd", std::string(static_cast<std::size_t>(pages), '\x02'));
    engine_ = std::make_unique<Engine>(GameFolder::Open(folder_), recorded_.services(), scheduler_);
  }
  ~BenchGame() {
    engine_.reset();
    std::filesystem::remove_all(folder_);
  }

  Engine& engine() { return *engine_; }
  Scheduler& scheduler() { return scheduler_; }

 private:
  std::filesystem::path folder_;
  Scheduler scheduler_;
  std::ostringstream warning_text_;
  RecordingServices recorded_{scheduler_, VirtualWallClock::Parse("2026-12-01 14:05:09"), warning_text_};
  std::unique_ptr<Engine> engine_;
};

// One search over 2000 read pages: the longest a search may walk.
void NextChoiceSearchOver2000Pages(benchmark::State& state) {
  BenchGame game(2000);
  game.engine().state().CurrentPage = 1;
  for (auto _ : state) benchmark::DoNotOptimize(game.engine().skip().FindNextChoice());
}
BENCHMARK(NextChoiceSearchOver2000Pages)->Unit(benchmark::kMillisecond);

void InitialiseSaveData(benchmark::State& state) {
  BenchGame game(1);
  for (auto _ : state) benchmark::DoNotOptimize(game.engine().seen().InitialiseSaveData());
}
BENCHMARK(InitialiseSaveData)->Unit(benchmark::kMillisecond);

// The processor time spent typing a 12-line page at normal speed, against the 8.3 s the page takes to appear:
// the share of a core typing costs (reported as the counter `cpu_share`).
void TypeAPageAtNormalSpeed(benchmark::State& state) {
  BenchGame game(2);
  Engine& engine = game.engine();
  engine.state().TextSpeed = 2;
  Micros typed_for = 0;
  const std::clock_t cpu_start = std::clock();
  for (auto _ : state) {
    engine.state().CurrentPage = 1;
    engine.state().LineCounter = 0;
    const Micros start = game.scheduler().Now();
    engine.typewriter().TypePage(nullptr);
    while (engine.typewriter().typing()) game.scheduler().AdvanceTo(*game.scheduler().NextDeadline());
    typed_for += game.scheduler().Now() - start;
  }
  const double cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  state.counters["page_ms"] = static_cast<double>(typed_for) / 1000.0 / static_cast<double>(state.iterations());
  state.counters["cpu_percent"] = 100.0 * cpu_seconds / (static_cast<double>(typed_for) / 1e6);
}
BENCHMARK(TypeAPageAtNormalSpeed)->Unit(benchmark::kMillisecond);

// What a shell asks of the core for each typed character: the stage laid out and compared with the last frame,
// over a whole 12-line page (reported per character as `us_per_character`).
void StageFramesWhileAPageTypes(benchmark::State& state) {
  BenchGame game(2);
  Engine& engine = game.engine();
  engine.state().TextSpeed = 2;
  std::int64_t characters = 0;
  const std::clock_t cpu_start = std::clock();
  for (auto _ : state) {
    stage::StageFrames frames;
    engine.state().CurrentPage = 1;
    engine.state().LineCounter = 0;
    engine.typewriter().TypePage(nullptr);
    while (engine.typewriter().typing()) {
      game.scheduler().AdvanceTo(*game.scheduler().NextDeadline());
      benchmark::DoNotOptimize(frames.Next(engine.form()));
      ++characters;
    }
  }
  const double cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  state.counters["us_per_character"] = 1e6 * cpu_seconds / static_cast<double>(characters);
}
BENCHMARK(StageFramesWhileAPageTypes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shiori

BENCHMARK_MAIN();
