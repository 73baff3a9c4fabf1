#include "translation/PlayerWords.h"

#include <algorithm>
#include <iterator>

#include "PlayerWordsTable.h"

namespace shiori {

Language ResolveLanguage(std::string_view preference, std::string_view system_locale) {
  if (preference == "ja") return Language::Japanese;
  if (preference == "en") return Language::English;
  const std::string_view language = system_locale.substr(0, system_locale.find_first_of("_-.@"));
  if (language.empty() || language == "C" || language == "POSIX" || language == "ja") return Language::Japanese;
  return Language::English;
}

std::string_view LanguageCode(Language language) { return language == Language::English ? "en" : "ja"; }

std::string_view Say(Language language, std::string_view japanese) {
  if (language == Language::Japanese) return japanese;
  const std::string_view code = LanguageCode(language);
  const auto* const end = std::end(generated::kPlayerWords);
  const auto* const found = std::find_if(std::begin(generated::kPlayerWords), end, [&](const generated::PlayerWord& w) {
    return w.language == code && w.source == japanese;
  });
  return found == end ? japanese : found->translation;
}

}  // namespace shiori
