#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace shiori {

// The reader sees Japanese throughout the window, whatever the desktop's language: Qt's own dialog buttons read
// はい / いいえ from Qt's translations when they are installed (English otherwise), and the player's own messages
// are written in Japanese here. Standard error and --help stay English, for whoever reads a log or a terminal.
void InstallJapaneseQtTranslations();

// The message box text when the game folder has no story to play.
[[nodiscard]] QString NoStoryMessage(const std::filesystem::path& game);
// The message box text when the stage font cannot be loaded (`problem` names the places looked at). In English too:
// without the font, a machine may have nothing else to show Japanese with.
[[nodiscard]] QString NoFontMessage(const std::string& problem);
// The window title's short notes.
[[nodiscard]] QString ScreenshotSavedMessage(const QString& path);
[[nodiscard]] QString ScreenshotFailedMessage();
[[nodiscard]] QString SaveFolderMessage(const std::filesystem::path& save);

}  // namespace shiori
