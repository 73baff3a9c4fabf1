#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "HeadlessServices.h"
#include "engine/Engine.h"
#include "scenario/ScenarioRecord.h"
#include "support/TempDir.h"

namespace shiori::test {

// Builds a page of a scenario in a line or two: `Text({"line", ...}, {codes...})`.
struct TestPage {
  ScenarioRecord record = ScenarioRecord::Empty();

  static TestPage Text(std::initializer_list<std::string> lines, std::initializer_list<int> codes, int next);
  static TestPage Choice(std::initializer_list<std::string> lines, int first_lines, int second_lines,
                         std::initializer_list<int> targets);
  TestPage& Picture(int number);
  TestPage& Music(int number);
  TestPage& Type(int type);
  TestPage& EndingMark(int mark);
  TestPage& StartMark(int mark);
};

// A game folder in a temporary folder with a scenario made of pages, every picture and music file present
// (tiny files of the right kind), and an engine on a virtual clock driving it with recorded services.
class TestGame {
 public:
  TestGame();
  ~TestGame();

  TestGame& Page(int number, const TestPage& page);
  // Writes the scenario file and creates the engine; starts it (the window's load) unless told not to.
  void Start();
  // The engine without start-up, for tests that open a page directly.
  void Create();

  [[nodiscard]] Engine& engine() { return *engine_; }
  [[nodiscard]] PlayState& state() { return engine_->state(); }
  [[nodiscard]] Form& form() { return engine_->form(); }
  [[nodiscard]] TempDir& dir() { return dir_; }
  [[nodiscard]] const RecordingWaveDevice& wave() const { return recorded_->wave; }
  [[nodiscard]] const ScriptedQuestioner& questions() const { return recorded_->questions; }
  [[nodiscard]] const RecordingSpeaker& speaker() const { return recorded_->speaker; }
  // Every warning since the first start, one a line.
  [[nodiscard]] std::string warnings() const { return warning_text_.str(); }

  void Click(const std::string& name) { Press(name, kLeftButton); }
  void RightClick(const std::string& name) { Press(name, kRightButton); }
  void Press(const std::string& name, int button);
  void Menu(const std::string& name);
  void Answer(bool yes) { recorded_->questions.Queue(yes); }
  void Wait(double ms);
  // Opens a page as the developer jump does.
  void Jump(int page);
  [[nodiscard]] std::string Caption(const std::string& name);
  [[nodiscard]] std::int64_t NowMicros() const { return scheduler_.Now(); }

  // Marks pages in the read-page record (2 = read), lengthening it with unread marks as needed.
  void MarkPages(std::initializer_list<int> pages, std::uint8_t mark = 2);
  void MarkRange(int first, int last, std::uint8_t mark = 2);

  // The wave device log since `from` (an index into the log).
  [[nodiscard]] std::vector<std::string> WaveSince(std::size_t from) const;

  std::string now = "2026-12-01 14:05:09";
  // Where the saves go; the game folder itself when unset.
  std::optional<std::filesystem::path> save_dir;

 private:
  TempDir dir_;
  std::map<int, ScenarioRecord> pages_;
  Scheduler scheduler_;
  std::ostringstream warning_text_;
  std::unique_ptr<RecordingServices> recorded_;
  std::unique_ptr<Engine> engine_;
};

}  // namespace shiori::test
