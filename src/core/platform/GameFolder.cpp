#include "platform/GameFolder.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/System.h"

namespace shiori {

namespace {

namespace fs = std::filesystem;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// The entry of `folder` whose name matches `name` ignoring ASCII case; the smallest such name when several do, so
// that the choice does not depend on the order the directory lists them in.
std::optional<fs::path> FindEntry(const fs::path& folder, std::string_view name) {
  std::optional<std::string> best;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoringAsciiCase(entry, name) && (!best || entry < *best)) best = std::move(entry);
  }
  if (!best) return std::nullopt;
  return folder / *best;
}

// The last component of the game folder as given, even when written with a trailing separator.
fs::path FolderName(const fs::path& folder) {
  std::error_code error;
  fs::path normal = fs::absolute(folder, error).lexically_normal();
  if (normal.has_relative_path() && !normal.has_filename()) normal = normal.parent_path();
  return normal.filename();
}

// Bookmarks and the read-page record that lie in the game folder itself (left there by an older build in the
// bundled demo, or shipped with a game on read-only media) are copied to a save folder that has none of its own,
// so that no reader finds them gone. The game folder is left as it is.
void CarryOverSaves(const fs::path& game, const fs::path& save) {
  for (const char* name : {"data2.rgd", "data3.rgd", "data4.rgd", "data5.rgd"}) {
    std::error_code error;
    const auto found = FindCaseInsensitive(game, name);
    if (found && !fs::exists(save / name, error)) fs::copy_file(*found, save / name, error);
  }
}

}  // namespace

std::string FourDigits(long number) {
  // Through the unsigned magnitude, so that the most negative number has one too.
  const unsigned long magnitude = number < 0 ? 0UL - static_cast<unsigned long>(number) : number;
  std::string digits = std::to_string(magnitude);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return number < 0 ? "-" + digits : digits;
}

std::string RelativeName(std::string_view name) {
  while (!name.empty() && (name.front() == '\\' || name.front() == '/')) name.remove_prefix(1);
  std::string relative(name);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  return relative;
}

std::optional<fs::path> FindCaseInsensitive(const fs::path& folder, std::string_view relative) {
  fs::path path = folder;
  std::vector<std::string_view> components;
  for (std::size_t start = 0; start <= relative.size();) {
    const std::size_t slash = std::min(relative.find('/', start), relative.size());
    const std::string_view component = relative.substr(start, slash - start);
    // Names are looked up strictly inside the folder.
    if (component == "..") return std::nullopt;
    if (!component.empty() && component != ".") components.push_back(component);
    start = slash + 1;
  }
  for (const std::string_view component : components) {
    if (Exists(path / component)) {
      path /= component;
    } else if (std::optional<fs::path> entry = FindEntry(path, component)) {
      path = std::move(*entry);
    } else {
      return std::nullopt;
    }
  }
  if (!Exists(path)) return std::nullopt;
  return path;
}

bool GameFolder::IsMarkedReadOnly(const fs::path& game) {
  std::error_code error;
  return fs::exists(game / kReadOnlyMarker, error);
}

GameFolder::GameFolder(fs::path game, fs::path save) : game_(std::move(game)), save_(std::move(save)) {}

Status GameFolder::CheckPlayable() const {
  std::error_code error;
  const fs::file_status status = fs::status(game_, error);
  if (!fs::exists(status)) return Status::Failure("There is no game folder " + game_.string() + ".");
  if (!fs::is_directory(status)) return Status::Failure(game_.string() + " is not a folder: give the game folder.");
  if (!fs::is_regular_file(GameFile("data1.rgd"), error)) {
    return Status::Failure("The game folder " + game_.string() +
                           " has no scenario file data1.rgd: there is no story to play.");
  }
  return Done{};
}

GameFolder GameFolder::Open(const fs::path& game, const std::optional<fs::path>& override_save) {
  fs::path save;
  if (override_save) {
    save = *override_save;
  } else if (system::IsWritableFolder(game) && !IsMarkedReadOnly(game)) {
    save = game;
  } else {
    save = system::UserDataFolder() / "shiori" / FolderName(game);
  }
  // A folder that cannot be made shows up as a write error naming the file, the first time something is saved.
  std::error_code error;
  fs::create_directories(save, error);
  if (!override_save && save != game) CarryOverSaves(game, save);
  return GameFolder(game, save);
}

namespace {

fs::path Locate(const fs::path& folder, std::string_view name) {
  const std::string relative = RelativeName(name);
  return FindCaseInsensitive(folder, relative).value_or(folder / relative);
}

}  // namespace

fs::path GameFolder::GameFile(std::string_view name) const { return Locate(game_, name); }

fs::path GameFolder::SaveFile(std::string_view name) const { return Locate(save_, name); }

}  // namespace shiori
