#include "comforts/SlotPreview.h"

#include "engine/Engine.h"
#include "persistence/Bookmarks.h"
#include "platform/Utf8.h"
#include "scenario/LineCode.h"

namespace shiori {
namespace {

constexpr std::size_t kLines = 3;

void AddLine(std::vector<std::string>& lines, std::string line) {
  if (line.find_first_not_of(" 　") != std::string::npos && lines.size() < kLines) lines.push_back(std::move(line));
}

// The lines a reader first sees of the page: up to its first pause or its end, or a choice page's answers.
std::vector<std::string> FirstLines(const ScenarioRecord& page) {
  std::vector<std::string> lines;
  if (page.pageType == ScenarioRecord::kChoicePage) {
    const std::size_t count = page.choiceLines[0] + page.choiceLines[1];
    for (std::size_t k = 0; k < count && k < ScenarioRecord::kLineCount; ++k) {
      AddLine(lines, Utf8Prefix(page.lineText[k], page.lineCode[k]));
    }
    return lines;
  }
  std::size_t count = 0;
  for (std::size_t k = 0; k < ScenarioRecord::kLineCount; ++k) {
    const LineCode code = LineCode::Decode(page.lineCode[k]);
    count = code.count.value_or(count);
    AddLine(lines, Utf8Prefix(page.lineText[k], count));
    if (code.stop != LineStop::None) break;
  }
  return lines;
}

}  // namespace

std::optional<SlotPreview> PreviewOfSlot(Engine& engine, int slot) {
  const Bookmarks::Slot bookmark = engine.bookmarks().Peek(slot);
  if (bookmark.stamp == Bookmarks::kEmptyStamp) return std::nullopt;
  const auto record = engine.scenario().Read(bookmark.page == 0 ? 1 : bookmark.page);
  if (!record) return std::nullopt;
  SlotPreview preview{.lines = FirstLines(record.value())};
  const std::string picture = "data/" + FourDigits(record.value().pictureNo) + ".rgd";
  if (engine.services().pictures.CanLoad(engine.folder().GameFile(picture))) preview.picture = picture;
  return preview;
}

}  // namespace shiori
