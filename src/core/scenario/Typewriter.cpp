#include "scenario/Typewriter.h"

#include <utility>

#include "engine/Engine.h"
#include "platform/Utf8.h"
#include "scenario/LineCode.h"
#include "translation/StoryTranslation.h"

namespace shiori {
namespace {

constexpr int kLineCount = ScenarioRecord::kLineCount;

// The line `LineCounter` picks: 0 starts the page at line 0; 2..12 name line n - 1; 1 and 13 (left behind by odd
// pages) pick none. After line n the counter names line n + 1.
std::optional<int> LineOfCounter(int counter) {
  if (counter == 0) return 0;
  if (counter >= 2 && counter <= kLineCount) return counter - 1;
  return std::nullopt;
}

}  // namespace

int Typewriter::DelayPasses(int text_speed, std::int16_t n) {
  switch (text_speed) {
    case 1:
      return n + 1;
    case 2:
      return static_cast<std::int16_t>(n * 100) + 1;
    case 3:
      return static_cast<std::int16_t>(n * 500) + 1;
    default:
      return 0;
  }
}

void Typewriter::StartTyping(Continuation then) {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (s.PageState == PageProgress::Finished) {
    for (Widget* line : form.lbl1) line->SetCaption("");
    form.lblSANKAKU->SetCaption("");
    TypePage(std::move(then));
  } else if (s.PageState == PageProgress::Paused) {
    TypePage(std::move(then));
  } else if (then) {
    then();
  }
}

void Typewriter::TypePage(Continuation then) {
  Cancel();
  PlayState& s = engine_.state();
  engine_.form().lblFRONT->SetEnabled(false);
  if (!engine_.ReadPageRecord()) return;  // the run ends here, and its caller's remaining steps with it
  s.OnScreenPageType = s.PageBuffer.pageType;
  s.PageState = PageProgress::Typing;
  run_ = Run{.then = std::move(then), .page = s.CurrentPage, .began_page = s.LineCounter == 0};
  run_->flowed = engine_.translation().Page(s.CurrentPage, s.PageBuffer);
  if (Started) Started(LinesAhead());
  NextLine();
}

void Typewriter::Finish() {
  if (!run_ || run_->parked) return;
  run_->hurry = true;
  if (!run_->delay) return;
  engine_.scheduler().Cancel(*run_->delay);
  run_->delay.reset();
  TypeCharacters();
}

void Typewriter::Hold(bool held) {
  held_ = held;
  if (held_ || !run_ || !run_->parked) return;
  run_->parked = false;
  TypeCharacters();
}

void Typewriter::Cancel() {
  if (run_ && run_->delay) engine_.scheduler().Cancel(*run_->delay);
  run_.reset();
}

// Picks the line from `LineCounter`, decodes its code and types it; after the line, decides whether to stop or
// go on.
void Typewriter::NextLine() {
  PlayState& s = engine_.state();
  const std::optional<int> line = LineOfCounter(s.LineCounter);
  if (s.LineCounter == 0) s.LineCounter = 1;
  if (!line) {
    s.PageState = PageProgress::Typing;
    Stop();
    return;
  }
  s.PageState = PageProgress::Typing;
  const LineCode code = LineCode::Decode(s.PageBuffer.lineCode[*line]);
  run_->count = static_cast<int>(code.count.value_or(run_->count));
  // A translated line takes a step per character of its own; the codes still decide where typing stops.
  if (run_->flowed) run_->count = static_cast<int>(run_->flowed->lines[*line].steps);
  if (code.stop == LineStop::PageEnd) s.PageState = PageProgress::Finished;
  if (code.stop == LineStop::Pause) s.PageState = PageProgress::Paused;
  run_->line = *line;
  run_->shown = 0;
  TypeCharacters();
}

// Walks the lines as NextLine and Stop will, without typing: a line's count carries over to a line whose code
// keeps it, and the run ends at a pause, the end of the page, or past the last line.
std::vector<std::string> Typewriter::LinesAhead() const {
  const ScenarioRecord& page = engine_.state().PageBuffer;
  std::vector<std::string> lines;
  int count = 0;
  for (std::optional<int> line = LineOfCounter(engine_.state().LineCounter); line; line = LineOfCounter(*line + 2)) {
    const LineCode code = LineCode::Decode(page.lineCode[*line]);
    count = static_cast<int>(code.count.value_or(count));
    lines.push_back(Utf8Prefix(page.lineText[*line], count));
    if (code.stop == LineStop::PageEnd || code.stop == LineStop::Pause) break;
  }
  return lines;
}

void Typewriter::TypeCharacters() {
  const PlayState& s = engine_.state();
  while (run_->shown < run_->count) {
    ++run_->shown;
    ShowTyped();
    const int passes = run_->hurry || instant_ ? 0 : DelayPasses(s.TextSpeed);
    if (passes > 0) {
      run_->delay = engine_.scheduler().Schedule(passes * kPassDuration, [this] {
        run_->delay.reset();
        if (held_) {
          run_->parked = true;
          return;
        }
        TypeCharacters();
      });
      return;
    }
  }
  Stop();
}

void Typewriter::ShowTyped() {
  Form& form = engine_.form();
  if (!run_->flowed) {
    form.lbl1[run_->line]->SetCaption(Utf8Prefix(engine_.state().PageBuffer.lineText[run_->line], run_->shown));
    return;
  }
  const auto typed = run_->flowed->lines[run_->line].Typed(static_cast<std::size_t>(run_->shown));
  if (typed) form.lbl1[typed->first]->SetCaption(typed->second);
}

// After a line: a pause or the end of the page stops the run and hands over to the next-arrow; otherwise the
// run goes on with the next line, until the counter runs past the last line.
void Typewriter::Stop() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  if (s.PageState == PageProgress::Paused) {
    ++s.LineCounter;
    form.timYAZIRUSI.SetEnabled(true);
  } else if (s.PageState == PageProgress::Finished) {
    s.LineCounter = 0;
    s.CurrentPage = s.PageBuffer.target[0];
    form.timYAZIRUSI.SetEnabled(true);
  } else {
    ++s.LineCounter;
    if (s.LineCounter <= kLineCount) {
      NextLine();
      return;
    }
    s.LineCounter = 1;
  }
  Continuation then = std::move(run_->then);
  const std::int16_t page = run_->page;
  const bool began_page = run_->began_page;
  run_.reset();
  if (then) then();
  if (Stopped) Stopped(page, began_page);
}

}  // namespace shiori
