#include "Lint.h"

#include <algorithm>
#include <map>

#include "LineText.h"
#include "Story.h"
#include "persistence/RouteCgTable.h"
#include "platform/GameFolder.h"
#include "platform/RecordFile.h"

namespace shiori {
namespace {

constexpr std::string_view kScenarioName = "data1.rgd";
constexpr long kHighestMusicNo = 255;

struct GameFile {
  std::string_view name;
  std::string_view use;
};
constexpr std::array<GameFile, 12> kFixedFiles{{{"data/op01.rgd", "the title screen's picture"},
                                                {"data/ld01.rgd", "the load menu's picture"},
                                                {"data/ld02.rgd", "the load menu's picture once every CG is seen"},
                                                {"data/rg01.rgd", "the in-game menu's picture"},
                                                {"log/0000.log", "the gallery's picture"},
                                                {"data/e01.rgd", "the full ending's first picture"},
                                                {"data/e02.rgd", "the full ending's second picture"},
                                                {"data/e03.rgd", "the full ending's third picture"},
                                                {"data/e04.rgd", "the full ending's fourth picture"},
                                                {"data/e05.rgd", "the last picture of every ending"},
                                                {"data/0031.wav", "the short ending's music"},
                                                {"data/0032.wav", "the full ending's music"}}};
constexpr GameFile kTitleMusic{"data/0012.wav", "the title music"};

std::string_view TrimPadding(std::string_view bytes) {
  const std::size_t end = bytes.find_last_not_of(std::string_view(" \0", 2));
  return end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1);
}

// "1 page", "3 pages".
std::string Count(std::size_t n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::size_t TextLength(const StoryPage& page, std::size_t line) {
  return ShownLength(TrimPadding(page.line_bytes[line]));
}

// Why `target` cannot be the page that follows, or empty when it can.
std::string TargetProblem(const Story& story, long target) {
  if (target == 0) return "is 0";
  if (!story.Contains(target)) {
    return "is page " + std::to_string(target) + ", outside the file (pages 1-" + std::to_string(story.page_count()) +
           ")";
  }
  if (story.page(static_cast<std::size_t>(target)).empty)
    return "is page " + std::to_string(target) + ", an empty record";
  return {};
}

std::vector<Diagnostic> BrokenLinks(const Story& story) {
  std::vector<Diagnostic> found;
  const auto report = [&](std::size_t page, std::string message) {
    found.push_back({std::string(kScenarioName), page, Severity::kError, std::move(message)});
  };
  for (std::size_t page = 1; page <= story.page_count(); ++page) {
    if (story.page(page).empty) continue;
    const ScenarioRecord& record = story.page(page).record;
    if (record.IsTextPage() && !IsEndingCode(record.target[0])) {
      if (const std::string problem = TargetProblem(story, record.target[0]); !problem.empty()) {
        report(page, "the next page " + problem);
      }
    } else if (record.pageType == ScenarioRecord::kChoicePage) {
      for (int i = 0; i < 2; ++i) {
        if (record.target[i] == 0) continue;  // no choice there
        if (const std::string problem = TargetProblem(story, record.target[i]); !problem.empty()) {
          report(page, "choice " + std::to_string(i + 1) + " leads nowhere: its target " + problem);
        }
      }
    }
  }
  return found;
}

class Linter {
 public:
  explicit Linter(std::filesystem::path game) : game_(std::move(game)) {}

  LintReport Run() {
    CheckGameFiles();
    const auto scenario = FindCaseInsensitive(game_, kScenarioName);
    if (!scenario) {
      Report(std::string(kScenarioName), 0, Severity::kError, "the scenario file is missing");
      return Finish();
    }
    const Result<std::string> bytes = ReadWholeFile(*scenario);
    if (!bytes) {
      Report(std::string(kScenarioName), 0, Severity::kError, bytes.error());
      return Finish();
    }
    const Story story(std::span(reinterpret_cast<const std::uint8_t*>(bytes.value().data()), bytes.value().size()));
    story_ = &story;
    CheckScenario();
    return Finish();
  }

 private:
  void Report(std::string file, std::size_t page, Severity severity, std::string message) {
    report_.diagnostics.push_back({std::move(file), page, severity, std::move(message)});
  }
  void Error(std::size_t page, std::string message) {
    Report(std::string(kScenarioName), page, Severity::kError, std::move(message));
  }
  void Warning(std::size_t page, std::string message) {
    Report(std::string(kScenarioName), page, Severity::kWarning, std::move(message));
  }

  LintReport Finish() {
    std::stable_sort(report_.diagnostics.begin(), report_.diagnostics.end(), [](const auto& a, const auto& b) {
      const bool a_scenario = a.file == kScenarioName;
      const bool b_scenario = b.file == kScenarioName;
      return a_scenario != b_scenario ? b_scenario : a_scenario && a.page < b.page;
    });
    ReportWhatIsCutOff();
    return std::move(report_);
  }

  // One line for the CGs and one for the pages that no path reaches, after the faults that likely cut them off.
  void ReportWhatIsCutOff() {
    const std::string cause = broken_links_.empty() ? "" : " (likely cut off by the broken links above)";
    if (!unreachable_cgs_.empty()) {
      std::sort(unreachable_cgs_.begin(), unreachable_cgs_.end());
      std::string list;
      for (const std::string& cg : unreachable_cgs_) list += (list.empty() ? "" : ", ") + cg;
      const char* verb = unreachable_cgs_.size() == 1 ? " unlocks" : " unlock";
      Error(0, Count(unreachable_cgs_.size(), "CG") + verb + " on pages that no path from page 1 reaches" + cause +
                   ": " + list);
    }
    if (!unreachable_pages_.empty()) {
      Warning(0, "no path from page 1 reaches " + Count(unreachable_pages_.size(), "page") + cause + ": " +
                     PageRanges(unreachable_pages_));
    }
  }

  bool Exists(const std::string& relative) {
    const auto [known, fresh] = exists_.emplace(relative, false);
    if (fresh) known->second = FindCaseInsensitive(game_, relative).has_value();
    return known->second;
  }

  void RequireFile(const GameFile& file) {
    if (!Exists(std::string(file.name)))
      Report(std::string(file.name), 0, Severity::kError, "missing (" + std::string(file.use) + ")");
  }

  void CheckGameFiles() {
    for (const GameFile& file : kFixedFiles) RequireFile(file);
    RequireFile(kTitleMusic);
    for (const auto& route : RouteCgTable()) {
      for (const CgStep& step : route) RequireFile({RelativeName(step.picture), "a CG of the gallery"});
    }
  }

  void CheckScenario() {
    const Story& story = *story_;
    if (story.tail_bytes() != 0) {
      Warning(0, "the file ends in a cut-short record (" + std::to_string(story.tail_bytes()) +
                     " of 600 bytes); the player reads the missing bytes as zero");
    }
    if (story.page_count() == 0 || story.page(1).empty) Error(1, "page 1, where the story starts, is empty");
    broken_links_ = BrokenLinks(story);
    report_.diagnostics.insert(report_.diagnostics.end(), broken_links_.begin(), broken_links_.end());
    for (std::size_t page = 1; page <= story.page_count(); ++page) {
      if (!story.page(page).empty) CheckPage(page);
    }
    CheckCgPages();
    for (std::size_t page = 1; page <= story.page_count(); ++page) report_.page_count += story.page(page).empty ? 0 : 1;
    report_.reachable_pages =
        static_cast<std::size_t>(std::count(story.reachable().begin(), story.reachable().end(), true));
  }

  void CheckPage(std::size_t page) {
    const ScenarioRecord& record = story_->page(page).record;
    const std::int16_t type = record.pageType;
    if (type == 0 || type == 1) {
      CheckTextPage(page);
    } else if (type == ScenarioRecord::kChoicePage) {
      CheckChoicePage(page);
    } else if (type == ScenarioRecord::kInertPage) {
      Warning(page, "an inert page (type 5): a click cannot leave it, only the menus can");
    } else {
      Error(page, "unknown page type " + std::to_string(type) + " (0 or 1 text, 2 choice, 5 inert)");
    }
    if (!record.IsTextPage() && IsEndingCode(record.endingMark)) {
      Warning(page, "endingMark " + std::to_string(record.endingMark) +
                        " on a page that is not a text page starts an ending while the page is shown");
    }
    CheckEncoding(page);
    CheckMedia(page);
    if (!story_->reachable()[page]) unreachable_pages_.push_back(page);
  }

  void CheckTextPage(std::size_t page) {
    const ScenarioRecord& record = story_->page(page).record;
    const PageFlow flow = TextFlow(record);
    if (!flow.end_line) {
      Error(page, "no line ends the page (a code from 200 to 255): the reader would be stuck after its last line");
    } else {
      CheckUnshownLines(page, *flow.end_line + 1, "comes after the line that ends the page");
    }
    for (std::size_t i = 0; i < flow.shown_lines.size(); ++i) CheckCut(page, flow.shown_lines[i], flow.counts[i]);
    CheckNext(page);
  }

  // Where the page leads when it has finished: an ending, or the next page.
  void CheckNext(std::size_t page) {
    const ScenarioRecord& record = story_->page(page).record;
    const std::int16_t next = record.target[0];
    const bool pauses = TextFlow(record).pauses > 0;
    if (story_->EndingOf(page)) {
      if (IsEndingCode(next)) return;
      if (pauses) {
        Warning(page, "endingMark " + std::to_string(record.endingMark) +
                          " starts the short ending when the page ends; " + "its next page " + std::to_string(next) +
                          " is never shown (use 'next 9501' for the full ending)");
      } else {
        Error(page, "the next page " + std::to_string(next) + " carries endingMark " +
                        std::to_string(story_->EndingTestRecord(page).endingMark) +
                        ", and this page does not pause, so the ending test reads that page's record when this page " +
                        "ends: the short ending starts before page " + std::to_string(next) +
                        " is shown (give this page a pause)");
      }
    } else if (IsEndingCode(next)) {
      const std::string code = std::to_string(next);
      Error(page, pauses ? "next is the ending code " + code + " but the page's endingMark is " +
                               std::to_string(record.endingMark) +
                               ": the ending would not start (give the page an endingMark above 9500)"
                         : "the ending would not start: the page does not pause, so when it ends the ending test "
                           "reads record " +
                               code + ", which carries no endingMark above 9500 (write page " + code +
                               " with 'ending " + code + "', or give this page a pause and the mark)");
    }
  }

  void CheckChoicePage(std::size_t page) {
    const ScenarioRecord& record = story_->page(page).record;
    const auto lines = record.choiceLines;
    const bool layout_ok = lines[0] >= 1 && lines[0] <= 4 && lines[1] >= 1 && lines[1] <= 4;
    if (!layout_ok) {
      Error(page, "choiceLines " + std::to_string(lines[0]) + " " + std::to_string(lines[1]) +
                      ": each of the two choices takes 1 to 4 lines");
    }
    std::size_t leading = 0;
    for (int i = 0; i < 2; ++i) {
      if (record.target[i] != 0) ++leading;
    }
    if (leading == 0) Error(page, "neither choice has a target: the reader would be stuck");
    for (int i = 0; i < 2; ++i) {
      if (leading == 1 && record.target[i] == 0) {
        Warning(page, "choice " + std::to_string(i + 1) + " has target 0: clicking it does nothing");
      }
    }
    for (int i = 2; i < 4; ++i) {
      if (record.target[i] != 0) {
        Warning(page, "target[" + std::to_string(i) + "] is never offered: the player shows two choices");
      }
    }
    if (!layout_ok) return;
    const std::size_t used = lines[0] + lines[1];
    for (std::size_t k = 0; k < used; ++k) CheckCut(page, k, record.lineCode[k]);
    CheckUnshownLines(page, used, "is not part of either choice");
  }

  void CheckCut(std::size_t page, std::size_t line, std::size_t shown) {
    const std::size_t length = TextLength(story_->page(page), line);
    if (shown < length) {
      Warning(page, "line " + std::to_string(line) + " shows " + std::to_string(shown) + " of its " +
                        std::to_string(length) + " characters");
    }
  }

  void CheckUnshownLines(std::size_t page, std::size_t first, const std::string& why) {
    for (std::size_t k = first; k < ScenarioRecord::kLineCount; ++k) {
      if (!TrimPadding(story_->page(page).line_bytes[k]).empty()) {
        Warning(page, "line " + std::to_string(k) + " has text but " + why + ", so it is never shown");
      }
    }
  }

  void CheckEncoding(std::size_t page) {
    for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
      const auto bad = FirstUndecodableByte(TrimPadding(story_->page(page).line_bytes[k]));
      if (bad) {
        Error(page, "line " + std::to_string(k) + " is not valid Shift-JIS from its byte " + std::to_string(*bad) +
                        " on (the player shows U+FFFD there)");
      }
    }
  }

  void CheckMedia(std::size_t page) {
    const ScenarioRecord& record = story_->page(page).record;
    const std::string picture = "data/" + FourDigits(record.pictureNo) + ".rgd";
    if (!Exists(picture)) Error(page, "picture " + picture + " is missing");
    if (record.musicNo == 0) return;
    if (record.musicNo < 0 || record.musicNo > kHighestMusicNo) {
      Warning(page, "music number " + std::to_string(record.musicNo) + " is outside 0..255; the player ignores it");
      return;
    }
    const std::string music = "data/" + FourDigits(record.musicNo) + ".wav";
    if (!Exists(music)) Error(page, "music " + music + " is missing");
  }

  void CheckCgPages() {
    const auto& routes = RouteCgTable();
    for (std::size_t r = 0; r < routes.size(); ++r) {
      for (std::size_t s = 0; s < routes[r].size(); ++s) {
        const CgStep& step = routes[r][s];
        const std::string cg = "CG " + RelativeName(step.picture) + " (route " + std::to_string(r + 1) + ", step " +
                               std::to_string(s + 1) + ")";
        const auto page = static_cast<std::size_t>(step.page);
        if (!story_->Contains(step.page) || story_->page(page).empty) {
          Error(page, cg + " unlocks on this page, which the scenario does not hold");
        } else if (!story_->reachable()[page]) {
          unreachable_cgs_.push_back(RelativeName(step.picture) + " (page " + std::to_string(page) + ")");
        } else if (!story_->marked_read()[page]) {
          Error(page, cg + " unlocks on this page, but the player never marks it read: it is only entered by a " +
                          "choice and does not pause (open it with a click, or give it a pause)");
        }
      }
    }
  }

  std::filesystem::path game_;
  const Story* story_ = nullptr;
  std::map<std::string, bool> exists_;
  std::vector<Diagnostic> broken_links_;
  std::vector<std::size_t> unreachable_pages_;
  std::vector<std::string> unreachable_cgs_;
  LintReport report_;
};

}  // namespace

std::string Diagnostic::ToString() const {
  std::string text = file + ": ";
  if (page != 0) text += "page " + std::to_string(page) + ": ";
  return text + (severity == Severity::kError ? "error: " : "warning: ") + message;
}

bool LintReport::HasErrors() const {
  return std::any_of(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& d) { return d.severity == Severity::kError; });
}

std::string LintReport::Summary() const {
  const auto errors = static_cast<std::size_t>(std::count_if(
      diagnostics.begin(), diagnostics.end(), [](const Diagnostic& d) { return d.severity == Severity::kError; }));
  const std::size_t warnings = diagnostics.size() - errors;
  std::string text = std::string(kScenarioName) + ": " + std::to_string(reachable_pages) + " of " +
                     Count(page_count, "page") + " reachable, " + Count(diagnostics.size(), "problem");
  if (!diagnostics.empty()) text += " (" + Count(errors, "error") + ", " + Count(warnings, "warning") + ")";
  return text;
}

LintReport LintGame(const std::filesystem::path& game) { return Linter(game).Run(); }

std::vector<Diagnostic> FindBrokenLinks(std::span<const std::uint8_t> scenario) { return BrokenLinks(Story(scenario)); }

}  // namespace shiori
