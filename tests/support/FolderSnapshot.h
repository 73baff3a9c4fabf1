#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace shiori::test {

// Every regular file directly in `folder`, name to bytes: compare two snapshots to see that nothing changed.
[[nodiscard]] std::map<std::string, std::string> SnapshotFolder(const std::filesystem::path& folder);

// The Shift-JIS bytes of a UTF-8 text, for spelling out the exact content of a file.
[[nodiscard]] std::string Sjis(std::string_view utf8);

}  // namespace shiori::test
