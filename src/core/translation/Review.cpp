#include "translation/Review.h"

#include <map>

#include "platform/GameFolder.h"
#include "platform/RecordFile.h"
#include "platform/Utf8.h"
#include "scenario/PageLoader.h"
#include "stage/StageLayout.h"
#include "translation/PoFile.h"

namespace shiori {
namespace {

bool HasText(const ScenarioRecord& record) { return !PageMessages(1, record).empty(); }

std::vector<StoryMessage> PreviewMessages(const std::vector<PreviewSource>& previews) {
  std::vector<StoryMessage> messages;
  for (std::size_t n = 0; n < previews.size(); ++n) {
    messages.push_back({PreviewContext(n),
                        MessageOriginal(previews[n].text),
                        std::string(PreviewPassages::kFileName) + ":" + std::to_string(previews[n].line),
                        "",
                        0,
                        {}});
  }
  return messages;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

struct Reviewer {
  const GameText& game;
  const Catalog& catalog;
  const MessageArea& area;
  TranslationReview review;

  void Add(std::size_t line, int page, bool error, std::string message) {
    review.findings.push_back({line, page, error, std::move(message)});
  }

  // Each message: translated, untranslated or fuzzy; and each entry that matches none of them.
  void Entries(const std::vector<StoryMessage>& messages) {
    std::map<std::string, const StoryMessage*> by_context;
    for (const StoryMessage& message : messages) by_context.emplace(message.context, &message);
    std::map<std::string, const PoEntry*> entries;
    for (const PoEntry& entry : catalog.entries()) {
      entries.emplace(entry.context, &entry);
      const auto found = by_context.find(entry.context);
      if (found == by_context.end()) {
        Add(entry.line, 0, false, "stale: the game has no " + entry.context);
      } else if (found->second->original != entry.original) {
        Add(entry.line, found->second->page, false,
            "stale: " + entry.context + " was " + Quoted(entry.original) + ", is now " +
                Quoted(found->second->original));
      } else if (entry.fuzzy && !entry.translation.empty()) {
        Add(entry.line, found->second->page, false, "fuzzy: " + entry.context + " shows the original until confirmed");
      }
    }
    for (const StoryMessage& message : messages) {
      ++review.messages;
      if (catalog.Find(message.context, message.original)) {
        ++review.translated;
      } else if (entries.find(message.context) == entries.end() || entries[message.context]->translation.empty()) {
        Add(0, message.page, false, "untranslated: " + message.context + " " + Quoted(message.original));
      }
    }
  }

  std::optional<std::string> Translated(const std::string& context, std::string_view shown) const {
    const auto found = catalog.Find(context, MessageOriginal(shown));
    return found ? std::optional<std::string>(*found) : std::nullopt;
  }

  void TextPage(int page, const ScenarioRecord& record) {
    std::array<std::optional<FlowText>, ScenarioRecord::kLineCount> texts;
    const auto shown = ShownLines(record);
    for (std::size_t k = 0; k < shown.size(); ++k) {
      if (!shown[k]) continue;
      const auto translated = Translated(LineContext(page, k), shown[k]->text);
      texts[k] = translated ? FlowText{*translated, 0} : FlowText{shown[k]->text, shown[k]->count};
    }
    if (!FlowLines(texts, area).cut) return;
    Add(0, page, true,
        "the text needs " + std::to_string(RowsNeeded(texts, area)) + " rows, the message area has " +
            std::to_string(area.rows) + ": its end would be cut short");
  }

  void ChoicePage(int page, const ScenarioRecord& record) {
    for (int choice = 0; choice < 2; ++choice) {
      const std::optional<std::string> text = ChoiceText(record, choice);
      if (!text) return;
      const auto translated = Translated(ChoiceContext(page, choice), *text);
      const Rect box = PageLoader::ChoiceBounds(record, choice);
      if (translated &&
          !FitsLabel(*translated, area.pixel_size, static_cast<float>(box.width), static_cast<float>(box.height))) {
        Add(0, page, true,
            ChoiceContext(page, choice) + " does not fit its " + std::to_string(box.width) + " x " +
                std::to_string(box.height) + " label");
      }
    }
  }

  void Previews() {
    for (std::size_t n = 0; n < game.previews.size(); ++n) {
      const auto translated = Translated(PreviewContext(n), game.previews[n].text);
      if (!translated) continue;
      if (!FitsLabel(FormatPassage(*translated), stage::PointsToPixels(PreviewPassages::kFont),
                     PreviewPassages::kBoxWidth, PreviewPassages::kBoxHeight)) {
        Add(0, 0, true, PreviewContext(n) + " does not fit the load menu's preview box");
      }
    }
  }
};

}  // namespace

Result<GameText> ReadGameText(const std::filesystem::path& game) {
  const std::optional<std::filesystem::path> scenario = FindCaseInsensitive(game, "data1.rgd");
  if (!scenario) return Result<GameText>::Failure((game / "data1.rgd").string() + ": no such file");
  const Result<std::string> bytes = ReadWholeFile(*scenario);
  if (!bytes) return Result<GameText>::Failure(bytes.error());
  GameText text;
  const std::string& all = bytes.value();
  for (std::size_t at = 0; at < all.size(); at += ScenarioRecord::kSize) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(all.data()) + at;
    ScenarioRecord record = ScenarioRecord::Decode({data, std::min(ScenarioRecord::kSize, all.size() - at)});
    if (HasText(record)) text.pages.emplace_back(static_cast<int>(at / ScenarioRecord::kSize) + 1, std::move(record));
  }
  if (const auto preview = FindCaseInsensitive(game, PreviewPassages::kFileName)) {
    const Result<std::string> passages = ReadWholeFile(*preview);
    if (passages && IsValidUtf8(passages.value())) text.previews = PreviewSources(passages.value());
  }
  return text;
}

std::vector<StoryMessage> GameMessages(const GameText& game) {
  std::vector<StoryMessage> messages;
  for (const auto& [page, record] : game.pages) {
    for (StoryMessage& message : PageMessages(page, record)) messages.push_back(std::move(message));
  }
  for (StoryMessage& message : PreviewMessages(game.previews)) messages.push_back(std::move(message));
  return messages;
}

std::string PoTemplate(const std::vector<StoryMessage>& messages) {
  std::string po =
      "# The story's text, to translate into one language: save a copy as translations/<language>.po in the\n"
      "# game folder (translations/en.po for English). An empty msgstr shows the original.\n"
      "msgid \"\"\n"
      "msgstr \"\"\n"
      "\"Project-Id-Version: story\\n\"\n"
      "\"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n\"\n"
      "\"Last-Translator: \\n\"\n"
      "\"Language-Team: \\n\"\n"
      "\"Language: \\n\"\n"
      "\"MIME-Version: 1.0\\n\"\n"
      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
      "\"Content-Transfer-Encoding: 8bit\\n\"\n";
  for (const StoryMessage& message : messages) {
    po += "\n";
    if (!message.comment.empty()) po += "#. " + message.comment + "\n";
    po += "#: " + message.reference + "\n";
    po += "msgctxt " + PoString(message.context) + "\n";
    po += "msgid " + PoString(message.original) + "\n";
    po += "msgstr \"\"\n";
  }
  return po;
}

TranslationReview ReviewTranslation(const GameText& game, const Catalog& catalog, const MessageArea& area) {
  Reviewer reviewer{game, catalog, area, {}};
  reviewer.Entries(GameMessages(game));
  for (const auto& [page, record] : game.pages) {
    if (record.pageType == ScenarioRecord::kChoicePage) {
      reviewer.ChoicePage(page, record);
    } else {
      reviewer.TextPage(page, record);
    }
  }
  reviewer.Previews();
  return std::move(reviewer.review);
}

}  // namespace shiori
