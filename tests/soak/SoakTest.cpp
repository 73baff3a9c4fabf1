// Plays a game with many random events on the virtual clock (clicks anywhere, on widgets, right clicks, menu
// items, shortcuts, developer jumps, short and long waits, questions answered at random, quitting and starting
// again) and checks after each that the state is sound, the save files parse and memory does not grow.
//
// The suite runs a short soak; SHIORI_SOAK_EVENTS=100000 build/bin/shiori_tests --gtest_filter='Soak.*' runs the
// full one. The demo game is soaked too once it has been generated into build/demo.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "HeadlessServices.h"
#include "engine/Engine.h"
#include "faults/SaveFiles.h"
#include "persistence/RouteCgTable.h"
#include "platform/ValueFile.h"
#include "support/FixtureGame.h"
#include "support/TempDir.h"

namespace shiori::test {
namespace {

constexpr int kShortSoakEvents = 5000;

// Plays nothing and keeps no log: a soak of hours must not grow a log of every music command.
class SilentWaveDevice : public WaveDevice {
 public:
  void SetFileName(std::string_view relative, const std::filesystem::path&) override { file_ = relative; }
  void Command(std::string_view) override {}
  void SetEnabled(bool) override {}
  [[nodiscard]] std::string FileName() const override { return file_; }

 private:
  std::string file_;
};

class RandomAnswers : public Questioner {
 public:
  explicit RandomAnswers(std::mt19937& random) : random_(random) {}
  bool Ask(std::string_view, std::string_view, DefaultAnswer) override { return random_() % 3 == 0; }

 private:
  std::mt19937& random_;
};

class CountedWarnings : public WarningSink {
 public:
  void Warn(std::string_view) override { ++count; }
  long count = 0;
};

// One run of the program, from start-up until it ends.
struct Session {
  Session(const std::filesystem::path& game, const std::filesystem::path& save, std::mt19937& random,
          CountedWarnings& warnings)
      : answers(random),
        clock(scheduler, VirtualWallClock::Parse("2026-12-01 14:05:09")),
        engine(GameFolder::Open(game, save), Services{pictures, wave, answers, clock, dice, warnings}, scheduler) {}

  Scheduler scheduler;
  SignaturePictureService pictures;
  SilentWaveDevice wave;
  RandomAnswers answers;
  VirtualWallClock clock;
  MersenneRandom dice;
  Engine engine;
};

// Bytes of the heap in use; 0 where the allocator does not tell (under AddressSanitizer).
std::size_t HeapInUse() {
#ifdef __GLIBC__
  return mallinfo2().uordblks;
#else
  return static_cast<std::size_t>(mallinfo().uordblks);  // emscripten's allocator counts in 32 bits
#endif
}

class Soak {
 public:
  Soak(std::filesystem::path game, std::filesystem::path save, int pages)
      : game_(std::move(game)), save_(std::move(save)), pages_(pages), random_(1201) {}

  // A warm-up of `events` / 5 events comes first, unmeasured: the first saves and loads set up what stays for the
  // life of the process (the text converters, the allocator's own pools), which is no growth.
  void Run(int events) {
    StartSession();
    for (int event = 0; event < events / 5; ++event) Play(event);
    // Everything the soak itself keeps is allocated up front, so that only the player's own memory moves.
    std::vector<std::size_t> heap;
    heap.reserve(static_cast<std::size_t>(events));
    for (int event = 0; event < events && !testing::Test::HasFatalFailure(); ++event) {
      Play(event);
      heap.push_back(HeapInUse());
    }
    CheckMemory(heap);
    std::cout << events << " events, " << sessions_ << " restarts, " << warnings_.count << " warnings, "
              << std::count(pages_seen_.begin(), pages_seen_.end(), true) << " different pages, "
              << session_->scheduler.Now() / 1'000'000 << " s on the last clock\n";
  }

 private:
  void Play(int event) {
    const bool may_write = Step();
    if (session_->engine.ended()) {
      ++sessions_;
      StartSession();
    }
    CheckState(event);
    if (may_write || event % 64 == 0) CheckSaveFiles(event);
  }

  void StartSession() {
    session_.reset();
    session_ = std::make_unique<Session>(game_, save_, random_, warnings_);
    ASSERT_TRUE(session_->engine.Start().ok());
  }

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

  void Wait(double from_ms, double to_ms) {
    Scheduler& scheduler = session_->scheduler;
    const double ms = std::uniform_real_distribution<double>(from_ms, to_ms)(random_);
    scheduler.AdvanceTo(scheduler.Now() + static_cast<Micros>(ms * 1000));
  }

  // One random event; true when it may have written a save file. Reading forward (clicks on the story, waits
  // long enough to type a line) weighs most, so that the soak gets deep into the story between restarts.
  bool Step() {
    Form& form = session_->engine.form();
    const int roll = Pick(1000);
    if (roll < 300) {
      form.PressAt(Pick(Form::kClientWidth), Pick(Form::kClientHeight), kLeftButton);
    } else if (roll < 340) {
      form.PressAt(Pick(Form::kClientWidth), Pick(Form::kClientHeight), Pick(2) == 0 ? kRightButton : kMiddleButton);
    } else if (roll < 520) {
      PressShownWidget(form);
    } else if (roll < 570) {
      const auto items = form.MenuItems();
      form.Choose(*items[Pick(static_cast<int>(items.size()))]);
    } else if (roll < 590) {
      static const char* const kKeys[] = {"ctrl+w", "ctrl+s", "ctrl+x"};
      form.Choose(*form.FindShortcut(kKeys[Pick(3)]));
    } else if (roll < 600) {
      form.txtDES->SetCaption(std::to_string(1 + Pick(pages_)));
      form.Press(*form.FindWidget("comDES"), kLeftButton);
    } else if (roll < 999) {
      static constexpr double kWaits[][2] = {{0.05, 40}, {40, 3000}, {3000, 20'000}, {20'000, 120'000}};
      const int kind = roll < 780 ? 0 : roll < 940 ? 1 : roll < 985 ? 2 : 3;
      Wait(kWaits[kind][0], kWaits[kind][1]);
      return false;
    } else {
      session_->engine.Close();
    }
    return true;
  }

  void PressShownWidget(Form& form) {
    std::vector<Widget*> shown;
    for (Widget* widget : form.widgets()) {
      if (widget->visible() && widget->enabled() && (widget->layer() == nullptr || widget->layer()->visible())) {
        shown.push_back(widget);
      }
    }
    if (shown.empty()) return;
    form.Press(*shown[Pick(static_cast<int>(shown.size()))], Pick(8) == 0 ? kRightButton : kLeftButton);
  }

  void CheckState(int event) {
    const PlayState& s = session_->engine.state();
    const auto page_in_range = [this](int page) { return (page >= 0 && page <= pages_) || page > 9500; };
    pages_seen_[static_cast<std::uint16_t>(s.CurrentPage)] = true;
    const bool viewer_idle = s.ViewerRoute == PlayState::kViewerIdle && s.ViewerStep == PlayState::kViewerIdle;
    const bool viewing =
        s.ViewerRoute >= 1 && s.ViewerRoute <= 3 && s.ViewerStep <= RouteCgTable()[s.ViewerRoute - 1].size() + 1;
    bool seen_in_range = true;
    for (int route = 0; route < 3; ++route) seen_in_range &= s.RouteSeenCount[route] <= RouteCgTable()[route].size();
    const bool sound = page_in_range(s.CurrentPage) && page_in_range(s.LastChoicePage) &&
                       s.PageState <= PageProgress::Finished && s.LineCounter <= 13 && s.BlinkPhase <= 2 &&
                       s.MenuMode <= MenuKind::InGame && s.CurrentSlot <= 3 && s.TextSpeed >= 1 && s.TextSpeed <= 3 &&
                       s.EndingStep <= 6 && (viewer_idle || viewing) && seen_in_range;
    ASSERT_TRUE(sound) << "event " << event << ": CurrentPage " << s.CurrentPage << " LastChoicePage "
                       << s.LastChoicePage << " PageState " << static_cast<int>(s.PageState) << " LineCounter "
                       << int{s.LineCounter} << " BlinkPhase " << int{s.BlinkPhase} << " MenuMode "
                       << static_cast<int>(s.MenuMode) << " CurrentSlot " << int{s.CurrentSlot} << " TextSpeed "
                       << int{s.TextSpeed} << " EndingStep " << int{s.EndingStep} << " Viewer " << int{s.ViewerRoute}
                       << "/" << int{s.ViewerStep};
  }

  void CheckSaveFiles(int event) {
    for (const auto& [name, content] : TakeSnapshot(save_)) {
      if (!content) continue;
      const auto values = ParseValueLine(*content);
      ASSERT_TRUE(values.ok()) << "event " << event << ": " << name << ": " << values.error();
      const ValueLine& line = values.value();
      const bool bookmark = line.size() == 3 && std::holds_alternative<Number>(line[0]) &&
                            std::holds_alternative<std::string>(line[1]) && std::holds_alternative<bool>(line[2]);
      const bool setting = line.size() == 1 && std::holds_alternative<bool>(line[0]) == (name == "conf.rgd");
      ASSERT_TRUE(name.starts_with("data") ? bookmark : setting)
          << "event " << event << ": " << name << " holds " << *content;
    }
  }

  // The heap at the end of the soak is no larger than it was during its first tenth, give or take what one
  // start-up and a page or two hold.
  static void CheckMemory(const std::vector<std::size_t>& heap) {
    if (heap.size() < 20 || heap.back() == 0) return;
    const std::size_t tenth = heap.size() / 10;
    const std::size_t early = *std::max_element(heap.begin(), heap.begin() + static_cast<std::ptrdiff_t>(tenth));
    const std::size_t late = *std::max_element(heap.end() - static_cast<std::ptrdiff_t>(tenth), heap.end());
    std::cout << "heap in use: at most " << early << " bytes in the first tenth, " << late << " in the last\n";
    EXPECT_LE(late, early + 32 * 1024) << "the heap grew by " << (late - early) << " bytes";
  }

  std::filesystem::path game_;
  std::filesystem::path save_;
  int pages_;
  std::mt19937 random_;
  CountedWarnings warnings_;
  std::unique_ptr<Session> session_;
  int sessions_ = 0;
  std::vector<bool> pages_seen_ = std::vector<bool>(65536);
};

int SoakEvents() {
  const char* events = std::getenv("SHIORI_SOAK_EVENTS");
  return events != nullptr && std::atoi(events) > 0 ? std::atoi(events) : kShortSoakEvents;
}

// The save folder lives in memory where it can: saves are flushed, and a soak saves thousands of times.
struct SaveFolder {
  SaveFolder() { std::filesystem::create_directories(path); }
  ~SaveFolder() { std::filesystem::remove_all(path); }
  std::filesystem::path path = ScratchRoot() / ("shiori-soak-" + std::to_string(::getpid()));
};

TEST(Soak, FixtureGameSurvivesRandomEvents) {
  TempDir dir;
  WriteFixtureGame(dir.path());
  SaveFolder save;
  Soak(dir.path(), save.path, 8).Run(SoakEvents());
}

TEST(Soak, DemoGameSurvivesRandomEvents) {
  const std::filesystem::path demo = SHIORI_DEMO_DIR;
  if (!std::filesystem::exists(demo / "data1.rgd")) GTEST_SKIP() << "no demo game in " << demo << " yet";
  SaveFolder save;
  const auto pages = static_cast<int>(std::filesystem::file_size(demo / "data1.rgd") / 600);
  Soak(demo, save.path, pages).Run(SoakEvents());
}

}  // namespace
}  // namespace shiori::test
