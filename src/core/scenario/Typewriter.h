#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window/Scheduler.h"

namespace shiori {

class Engine;
struct FlowedPage;

// Types the text of a page into the twelve message lines one character at a time, at the reader's text speed,
// until a line's code asks for a pause or the end of the page. The pause after each character returns to the
// event loop (a task of the scheduler), so every event is handled between characters.
//
// One run at a time: starting a run while another is in progress, or cancelling, drops the old run together
// with the steps its caller meant to take after it.
class Typewriter {
 public:
  using Continuation = std::function<void()>;

  explicit Typewriter(Engine& engine) : engine_(engine) {}

  // After a click or a choice: clears the window first when a new page follows a finished one; does nothing (but
  // go on with `then`) when neither a pause nor a finished page waits.
  void StartTyping(Continuation then);
  // One typing run; `then` runs when the run stops at a pause, the end of the page, or past the last line.
  void TypePage(Continuation then);
  void Cancel();
  // Types the rest of the run at once, up to its pause or the end of the page.
  void Finish();
  // While held, the run waits before its next character; releasing it types on from there.
  void Hold(bool held);
  // The reader's "instant" text speed: no delay after any character, whatever the game's setting says.
  void SetInstant(bool instant) { instant_ = instant; }

  [[nodiscard]] bool typing() const { return run_.has_value(); }
  // A run is typing a page from its start.
  [[nodiscard]] bool typing_new_page() const { return run_ && run_->began_page; }

  // Told as a run begins: the lines it is going to type, as they will stand when it stops.
  std::function<void(const std::vector<std::string>& lines)> Started;
  // Told when a run has stopped and its caller's remaining steps are done: the page it typed, and whether the run
  // began that page.
  std::function<void(std::int16_t page, bool began_page)> Stopped;

  // Yield passes after each character by text speed (the typewriter always asks for 3), and their duration.
  [[nodiscard]] static int DelayPasses(int text_speed, std::int16_t n = 3);
  static constexpr Micros kPassDuration = 100;

 private:
  struct Run {
    int line = 0;
    int count = 0;  // characters of the line being typed; a code of 99 keeps the previous line's count
    int shown = 0;
    Continuation then;
    std::optional<Scheduler::TaskId> delay;
    std::int16_t page = 0;
    bool began_page = false;
    bool hurry = false;                  // no delay after a character
    bool parked = false;                 // a character step came due while the run was held
    const FlowedPage* flowed = nullptr;  // the page's lines flowed through the message area, when translated
  };

  [[nodiscard]] std::vector<std::string> LinesAhead() const;
  void NextLine();
  void TypeCharacters();
  void ShowTyped();
  void Stop();

  Engine& engine_;
  std::optional<Run> run_;
  bool held_ = false;
  bool instant_ = false;
};

}  // namespace shiori
