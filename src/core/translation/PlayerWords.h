#pragma once

#include <string_view>

namespace shiori {

// The languages the player itself speaks in: its notices, menus, screens and help. The game's own captions and
// menus stay as the game has them, whichever is chosen.
enum class Language { Japanese, English };

// The language for the preference "auto", "ja" or "en": "auto" follows the system's or the browser's language
// ("en_GB.UTF-8", "fr-FR", "ja-JP"): Japanese for Japanese, and for a locale that names no language ("C",
// "POSIX", none), as the player has always spoken; English for any other language.
[[nodiscard]] Language ResolveLanguage(std::string_view preference, std::string_view system_locale);

// The preference's name of a language: "ja" or "en".
[[nodiscard]] std::string_view LanguageCode(Language language);

// The player's words `japanese` in `language`, from the table the build makes of i18n/shiori_*.ts; as they are
// in Japanese, or when the table has no translation for them.
[[nodiscard]] std::string_view Say(Language language, std::string_view japanese);

}  // namespace shiori
