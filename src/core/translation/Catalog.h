#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Result.h"
#include "translation/PoFile.h"

namespace shiori {

// A story's translation as the player uses it: each message's translation, found by its context and its
// original together, as gettext finds it. An entry whose original no longer matches the game's line (the line
// was changed after it was translated) finds nothing, so the reader sees the line as it is now, never a
// translation of something else.
class Catalog {
 public:
  Catalog(std::string name, std::vector<PoEntry> entries);

  // Reads and parses a PO file; the error names the file and the line.
  [[nodiscard]] static Result<Catalog> Read(const std::filesystem::path& file);

  // The translation of a message; none when the file has no entry for it, or leaves it empty or fuzzy.
  [[nodiscard]] std::optional<std::string_view> Find(std::string_view context, std::string_view original) const;

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const std::vector<PoEntry>& entries() const { return entries_; }

 private:
  std::string name_;
  std::vector<PoEntry> entries_;
  std::map<std::pair<std::string, std::string>, std::size_t, std::less<>> index_;
};

}  // namespace shiori
