#include "translation/StoryTranslation.h"

#include <algorithm>
#include <cctype>

#include "platform/GameFolder.h"
#include "stage/StageLayout.h"
#include "translation/StoryText.h"
#include "window/Form.h"

namespace shiori {
namespace {

constexpr std::string_view kPoSuffix = ".po";

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

// A language's name rather than a file's: letters, digits, '-' and '_' ("en", "pt_BR", "zh-Hant").
bool IsLanguageName(std::string_view choice) {
  return !choice.empty() && choice.size() <= 16 && std::all_of(choice.begin(), choice.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '_';
  });
}

// CR LF between the lines of a label, as the window's captions have them; a translator writes LF.
std::string WithCrLf(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n' && !out.ends_with('\r')) out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

MessageArea MessageAreaOf(const Form& form) {
  MessageArea area;
  area.width = static_cast<float>(form.lbl1[0]->bounds().width);
  for (const Widget* line : form.lbl1) area.width = std::min(area.width, static_cast<float>(line->bounds().width));
  area.pixel_size = stage::PointsToPixels(form.lbl1[0]->font());
  area.rows = static_cast<int>(form.lbl1.size());
  return area;
}

std::vector<std::string> AvailableTranslations(const std::filesystem::path& game) {
  std::vector<std::string> languages;
  const std::optional<std::filesystem::path> folder = FindCaseInsensitive(game, std::string(kTranslationsFolder));
  std::error_code error;
  if (!folder || !std::filesystem::is_directory(*folder, error)) return languages;
  for (const auto& file : std::filesystem::directory_iterator(*folder, error)) {
    const std::string name = file.path().filename().string();
    if (name.size() <= kPoSuffix.size() || !Lower(name).ends_with(kPoSuffix)) continue;
    const std::string language = name.substr(0, name.size() - kPoSuffix.size());
    if (IsLanguageName(language)) languages.push_back(language);
  }
  std::sort(languages.begin(), languages.end());
  return languages;
}

Status StoryTranslation::Choose(std::string_view choice, const std::filesystem::path& game) {
  catalog_.reset();
  flowed_.reset();
  cut_pages_.clear();
  if (choice == "off" || choice.empty()) return Done{};
  std::filesystem::path file(choice);
  if (IsLanguageName(choice)) {
    const std::string relative = std::string(kTranslationsFolder) + "/" + std::string(choice) + ".po";
    const std::optional<std::filesystem::path> found = FindCaseInsensitive(game, relative);
    if (!found) return Status::Failure((game / relative).string() + ": the game has no such translation");
    file = *found;
  }
  Result<Catalog> read = Catalog::Read(file);
  if (!read) return Status::Failure(read.error());
  catalog_.emplace(std::move(read.value()));
  return Done{};
}

const FlowedPage* StoryTranslation::Page(int page, const ScenarioRecord& record) {
  if (!catalog_) return nullptr;
  if (flowed_ && flowed_->page == page && flowed_->record == record) return &flowed_->lines;
  std::array<std::optional<FlowText>, ScenarioRecord::kLineCount> texts;
  const auto shown = ShownLines(record);
  for (std::size_t k = 0; k < shown.size(); ++k) {
    if (!shown[k]) continue;
    const std::optional<std::string_view> translated =
        catalog_->Find(LineContext(page, k), TrimmedText(shown[k]->text));
    texts[k] = translated ? FlowText{std::string(*translated), 0} : FlowText{shown[k]->text, shown[k]->count};
  }
  flowed_ = Flowed{page, record, FlowLines(texts, area_)};
  if (flowed_->lines.cut && cut_pages_.insert(page).second) {
    warnings_.Warn(catalog_->name() + ": the text of page " + std::to_string(page) +
                   " does not fit the message area; its end is cut short with \"…\" (shiori-tool po check tells "
                   "by how much)");
  }
  return &flowed_->lines;
}

std::optional<std::string> StoryTranslation::Find(std::string_view context, std::string_view shown) const {
  if (!catalog_) return std::nullopt;
  const std::optional<std::string_view> translated = catalog_->Find(context, MessageOriginal(shown));
  return translated ? std::optional<std::string>(*translated) : std::nullopt;
}

std::string StoryTranslation::Caption(std::string_view context, const std::string& shown) const {
  const std::optional<std::string> translated = Find(context, shown);
  return translated ? WithCrLf(*translated) : shown;
}

}  // namespace shiori
