#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "platform/Services.h"
#include "translation/Catalog.h"
#include "translation/Flow.h"

namespace shiori {

class Form;

// Where a game keeps its translations: translations/<language>.po in its folder.
inline constexpr std::string_view kTranslationsFolder = "translations";

// The message area of the window: the narrowest of its twelve message labels, at their size of text.
[[nodiscard]] MessageArea MessageAreaOf(const Form& form);

// The languages a game folder brings translations for ("en" for translations/EN.po), sorted.
[[nodiscard]] std::vector<std::string> AvailableTranslations(const std::filesystem::path& game);

// The translation the reader chose for the story, and what it makes of each page: the lines flowed through the
// message area, the choices, the preview passages. Off unless chosen; the game's files are only read.
class StoryTranslation {
 public:
  explicit StoryTranslation(WarningSink& warnings) : warnings_(warnings) {}

  // "off"; a language ("en": translations/en.po of `game`, whatever its case); or a PO file. A file that cannot
  // be read or parsed leaves the translation off, and the error names the file and the line.
  [[nodiscard]] Status Choose(std::string_view choice, const std::filesystem::path& game);
  [[nodiscard]] bool active() const { return catalog_.has_value(); }
  [[nodiscard]] const std::optional<Catalog>& catalog() const { return catalog_; }
  void SetArea(const MessageArea& area) { area_ = area; }

  // The lines of text page `page` flowed through the message area, translated where the file has them; none
  // while no translation is chosen (the typewriter then types the lines as they are). A page whose text does not
  // fit is reported once.
  [[nodiscard]] const FlowedPage* Page(int page, const ScenarioRecord& record);
  // The translation of message `context` whose original is `shown` (trimmed as a message's original is); none
  // when it has none.
  [[nodiscard]] std::optional<std::string> Find(std::string_view context, std::string_view shown) const;
  // What a label shows for `shown` (CR LF between its lines), the original of message `context`.
  [[nodiscard]] std::string Caption(std::string_view context, const std::string& shown) const;

 private:
  struct Flowed {
    int page = 0;
    ScenarioRecord record;
    FlowedPage lines;
  };

  WarningSink& warnings_;
  std::optional<Catalog> catalog_;
  MessageArea area_;
  std::optional<Flowed> flowed_;  // the page on the stage, kept while it is typed across its pauses
  std::set<int> cut_pages_;       // reported already
};

}  // namespace shiori
