#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "menus/PreviewPassages.h"
#include "platform/Result.h"
#include "scenario/ScenarioRecord.h"
#include "translation/Catalog.h"
#include "translation/Flow.h"
#include "translation/StoryText.h"

namespace shiori {

// The texts of a game folder a translation covers: its pages with text, and its preview passages.
struct GameText {
  std::vector<std::pair<int, ScenarioRecord>> pages;
  std::vector<PreviewSource> previews;
};

// Reads them from a game folder (data1.rgd and preview.txt, found whatever their case).
[[nodiscard]] Result<GameText> ReadGameText(const std::filesystem::path& game);

// Every message of the game, in the order a translator meets them: pages, then preview passages.
[[nodiscard]] std::vector<StoryMessage> GameMessages(const GameText& game);

// The template of a translation: every message with an empty translation, its reference and its speaker.
[[nodiscard]] std::string PoTemplate(const std::vector<StoryMessage>& messages);

// What a translator should hear about a translation of the game.
struct TranslationFinding {
  std::size_t line = 0;  // in the PO file; 0 for a finding about the game's text
  int page = 0;          // 0 when the finding is about no page
  bool error = false;    // errors: the reader would miss text
  std::string message;
};

struct TranslationReview {
  std::vector<TranslationFinding> findings;
  std::size_t messages = 0;
  std::size_t translated = 0;
};

// Lines and choices that will not fit the window at its size (errors), untranslated, fuzzy and stale entries
// (warnings; a stale entry's original no longer matches the game's line, or names no line at all).
[[nodiscard]] TranslationReview ReviewTranslation(const GameText& game, const Catalog& catalog,
                                                  const MessageArea& area);

}  // namespace shiori
