#include "Lint.h"

#include <algorithm>
#include <map>

#include "LineText.h"
#include "Story.h"
#include "persistence/RouteCgTable.h"
#include "platform/GameFolder.h"
#include "platform/PictureFile.h"
#include "platform/RecordFile.h"
#include "platform/WaveFile.h"

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

struct BrokenLink {
  Diagnostic diagnostic;
  bool past_end = false;  // the target lies past the end of the file
};

std::vector<BrokenLink> BrokenLinks(const Story& story) {
  std::vector<BrokenLink> found;
  const auto report = [&](std::size_t page, long target, std::string message) {
    const bool past_end = target > 0 && static_cast<std::size_t>(target) > story.page_count();
    found.push_back({{std::string(kScenarioName), page, Severity::kError, std::move(message)}, past_end});
  };
  for (std::size_t page = 1; page <= story.page_count(); ++page) {
    if (story.page(page).empty) continue;
    const ScenarioRecord& record = story.page(page).record;
    if (record.IsTextPage() && !IsEndingCode(record.target[0])) {
      if (const std::string problem = TargetProblem(story, record.target[0]); !problem.empty()) {
        report(page, record.target[0], "the next page " + problem);
      }
    } else if (record.pageType == ScenarioRecord::kChoicePage) {
      for (int i = 0; i < 2; ++i) {
        if (record.target[i] == 0) continue;  // no choice there
        if (const std::string problem = TargetProblem(story, record.target[i]); !problem.empty()) {
          report(page, record.target[i], "choice " + std::to_string(i + 1) + " leads nowhere: its target " + problem);
        }
      }
    }
  }
  return found;
}

enum class Media { kPicture, kMusic };

// A file the game needs and what needs it, so that a fault in it is one finding however many pages use it.
struct NeededFile {
  Media media = Media::kPicture;
  std::vector<std::string> uses;   // the roles the player gives it ("the title music")
  std::vector<std::size_t> pages;  // the pages that show or play it, in order
};

std::string Uses(const NeededFile& file) {
  std::string text;
  for (const std::string& use : file.uses) text += (text.empty() ? "" : "; ") + use;
  if (file.pages.empty()) return text;
  text += text.empty() ? "" : "; ";
  text += file.media == Media::kPicture ? "the picture of " : "the music of ";
  return text + (file.pages.size() == 1 ? "page " + std::to_string(file.pages[0])
                                        : Count(file.pages.size(), "page") + " (" + PageRanges(file.pages) + ")");
}

// "data/" for "data/0017.rgd".
std::string FolderOf(const std::string& relative) { return relative.substr(0, relative.find('/') + 1); }

bool IsKnownPageType(std::int16_t type) {
  return ScenarioRecord::IsTextPageType(type) || type == ScenarioRecord::kChoicePage ||
         type == ScenarioRecord::kInertPage;
}

class Linter {
 public:
  explicit Linter(std::filesystem::path game) : game_(std::move(game)) {}

  LintReport Run() {
    NeedGameFiles();
    const auto scenario = FindCaseInsensitive(game_, kScenarioName);
    const Result<std::string> bytes = scenario ? ReadWholeFile(*scenario) : Result<std::string>::Failure("");
    if (!scenario) {
      Error(0, "the scenario file is missing");
    } else if (!bytes) {
      Error(0, bytes.error());
    } else {
      const Story story(std::span(reinterpret_cast<const std::uint8_t*>(bytes.value().data()), bytes.value().size()));
      story_ = &story;
      CheckScenario();
      story_ = nullptr;
    }
    CheckFiles();
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
    const std::string cause = links_broken_ ? " (likely cut off by the broken links above)" : "";
    ReportCgs(cgs_on_empty_pages_, "pages the scenario holds as empty records");
    ReportCgs(unreachable_cgs_, "pages that no path from page 1 reaches" + cause);
    if (!unreachable_pages_.empty()) {
      Warning(0, "no path from page 1 reaches " + Count(unreachable_pages_.size(), "page") + cause + ": " +
                     PageRanges(unreachable_pages_));
    }
  }

  void ReportCgs(std::vector<std::string>& cgs, const std::string& where) {
    if (cgs.empty()) return;
    std::sort(cgs.begin(), cgs.end());
    std::string list;
    for (const std::string& cg : cgs) list += (list.empty() ? "" : ", ") + cg;
    Error(0, Count(cgs.size(), "CG") + (cgs.size() == 1 ? " unlocks" : " unlock") + " on " + where + ": " + list);
  }

  NeededFile& Need(const std::string& relative, Media media) {
    NeededFile& file = needed_[relative];
    file.media = media;
    return file;
  }

  void NeedGameFiles() {
    for (const GameFile& file : kFixedFiles) {
      Need(std::string(file.name), file.name.ends_with(".wav") ? Media::kMusic : Media::kPicture)
          .uses.emplace_back(file.use);
    }
    Need(std::string(kTitleMusic.name), Media::kMusic).uses.emplace_back(kTitleMusic.use);
    for (const auto& route : RouteCgTable()) {
      for (const CgStep& step : route) Need(RelativeName(step.picture), Media::kPicture).uses.emplace_back("a CG");
    }
  }

  // Each file once, opened as the player opens it. A missing folder is one finding, not one per file in it.
  void CheckFiles() {
    std::map<std::string, std::size_t> missing_in_folder;
    for (const auto& [name, file] : needed_) {
      const std::string folder = FolderOf(name);
      if (!FindCaseInsensitive(game_, folder)) {
        ++missing_in_folder[folder];
        continue;
      }
      const auto found = FindCaseInsensitive(game_, name);
      const std::optional<std::string> problem = found ? ContentProblem(*found, file.media) : "missing";
      if (problem) Report(name, 0, Severity::kError, Uses(file) + ": " + *problem);
    }
    for (const auto& [folder, count] : missing_in_folder) {
      Report(folder, 0, Severity::kError,
             "the folder is missing, and with it " + Count(count, "file") + " the game needs (" +
                 (folder == "log/" ? "the gallery" : "pictures") + (folder == "data/" ? " and music)" : ")"));
    }
  }

  static std::optional<std::string> ContentProblem(const std::filesystem::path& file, Media media) {
    if (media == Media::kMusic) return WaveProblem(file);
    const Result<std::string> bytes = ReadWholeFile(file);
    if (!bytes) return bytes.error();
    return PictureProblem(bytes.value());
  }

  void CheckScenario() {
    const Story& story = *story_;
    for (std::size_t page = 1; page <= story.page_count(); ++page) report_.page_count += story.page(page).empty ? 0 : 1;
    report_.reachable_pages =
        static_cast<std::size_t>(std::count(story.reachable().begin(), story.reachable().end(), true));
    if (ReportNoScenario()) return;
    if (story.page_count() == 0) {
      Error(0, "the file holds no page: the story has nowhere to start");
    } else if (story.page(1).empty) {
      Error(1, "page 1, where the story starts, is empty");
    }
    for (BrokenLink& link : BrokenLinks(story)) {
      links_broken_ = true;
      if (link.past_end) {
        past_end_.push_back({link.diagnostic.page, std::move(link.diagnostic.message), false});
      } else {
        report_.diagnostics.push_back(std::move(link.diagnostic));
      }
    }
    for (std::size_t page = 1; page <= story.page_count(); ++page) {
      if (!story.page(page).empty) CheckPage(page);
    }
    CheckCgPages();
    ReportEndOfFile();
  }

  // Garbage, or a file of another kind under the scenario's name: every record would be a fault of its own, and
  // none of them would be worth reading.
  bool ReportNoScenario() {
    std::size_t unknown = 0;
    std::size_t first = 0;
    for (std::size_t page = story_->page_count(); page >= 1; --page) {
      if (story_->page(page).empty || IsKnownPageType(story_->page(page).record.pageType)) continue;
      ++unknown;
      first = page;
    }
    if (unknown < 2 || unknown * 2 <= report_.page_count) return false;
    Error(0, "not a scenario file: " + std::to_string(unknown) + " of its " + Count(report_.page_count, "record") +
                 " have no page type the player knows (page " + std::to_string(first) + ": type " +
                 std::to_string(story_->page(first).record.pageType) + ")");
    return true;
  }

  // A file cut short leaves every reference past its new end dangling: one finding for all of them, under the
  // fault that explains them. A single one is a wrong number more likely than a cut, and keeps its own line.
  void ReportEndOfFile() {
    const std::string tail = "a cut-short record (" + std::to_string(story_->tail_bytes()) + " of 600 bytes)";
    if (past_end_.size() < 2) {
      for (const PastEnd& reference : past_end_) Error(reference.page, reference.finding);
      if (story_->tail_bytes() != 0) {
        Warning(0, "the file ends in " + tail + "; the player reads the missing bytes as zero");
      }
      return;
    }
    // A tail, or CG pages of the game past the end, tell a cut file from a few wrong numbers.
    const bool cut = story_->tail_bytes() != 0 || std::any_of(past_end_.begin(), past_end_.end(),
                                                              [](const PastEnd& reference) { return reference.cg; });
    Error(0, "the file holds " + Count(story_->page_count(), "page") +
                 (story_->tail_bytes() != 0 ? " and " + tail : "") + ", but " + std::to_string(past_end_.size()) +
                 " references lead past its end" + (cut ? ", so it looks cut short: " : ": ") + PastEndReferences());
  }

  // "the way on from 2 pages (8, 10) and 35 CGs (pages 501 to 3198)".
  std::string PastEndReferences() const {
    std::vector<std::size_t> links;
    std::vector<std::size_t> cgs;
    for (const PastEnd& reference : past_end_) (reference.cg ? cgs : links).push_back(reference.page);
    links.erase(std::unique(links.begin(), links.end()), links.end());  // both choices of one page
    std::sort(cgs.begin(), cgs.end());
    std::string text;
    if (links.size() == 1) text = "the way on from page " + std::to_string(links[0]);
    if (links.size() > 1) text = "the way on from " + Count(links.size(), "page") + " (" + PageRanges(links) + ")";
    if (cgs.empty()) return text;
    return text + (text.empty() ? "" : " and ") + Count(cgs.size(), "CG") + " (pages " + std::to_string(cgs.front()) +
           (cgs.size() > 1 ? " to " + std::to_string(cgs.back()) : "") + ")";
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
    Need("data/" + FourDigits(record.pictureNo) + ".rgd", Media::kPicture).pages.push_back(page);
    if (record.musicNo == 0) return;
    if (record.musicNo < 0 || record.musicNo > kHighestMusicNo) {
      Warning(page, "music number " + std::to_string(record.musicNo) + " is outside 0..255; the player ignores it");
      return;
    }
    Need("data/" + FourDigits(record.musicNo) + ".wav", Media::kMusic).pages.push_back(page);
  }

  static std::string CgOnPage(const CgStep& step) {
    return RelativeName(step.picture) + " (page " + std::to_string(step.page) + ")";
  }

  void CheckCgPages() {
    const auto& routes = RouteCgTable();
    for (std::size_t r = 0; r < routes.size(); ++r) {
      for (std::size_t s = 0; s < routes[r].size(); ++s) {
        const CgStep& step = routes[r][s];
        const std::string cg = "CG " + RelativeName(step.picture) + " (route " + std::to_string(r + 1) + ", step " +
                               std::to_string(s + 1) + ")";
        const auto page = static_cast<std::size_t>(step.page);
        if (!story_->Contains(step.page)) {
          past_end_.push_back({page, cg + " unlocks on this page, which the scenario does not hold", true});
        } else if (story_->page(page).empty) {
          cgs_on_empty_pages_.push_back(CgOnPage(step));
        } else if (!story_->reachable()[page]) {
          unreachable_cgs_.push_back(CgOnPage(step));
        } else if (!story_->marked_read()[page]) {
          Error(page, cg + " unlocks on this page, but the player never marks it read: it is only entered by a " +
                          "choice and does not pause (open it with a click, or give it a pause)");
        }
      }
    }
  }

  // A reference past the end of the file, kept until it is known whether one fault explains them all.
  struct PastEnd {
    std::size_t page = 0;
    std::string finding;
    bool cg = false;  // a CG's page; else the way on from this page
  };

  std::filesystem::path game_;
  const Story* story_ = nullptr;
  std::map<std::string, NeededFile> needed_;
  bool links_broken_ = false;
  std::vector<PastEnd> past_end_;
  std::vector<std::size_t> unreachable_pages_;
  std::vector<std::string> unreachable_cgs_;
  std::vector<std::string> cgs_on_empty_pages_;
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

std::vector<Diagnostic> FindBrokenLinks(std::span<const std::uint8_t> scenario) {
  std::vector<Diagnostic> found;
  for (BrokenLink& link : BrokenLinks(Story(scenario))) found.push_back(std::move(link.diagnostic));
  return found;
}

}  // namespace shiori
