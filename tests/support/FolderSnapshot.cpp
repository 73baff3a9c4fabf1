#include "support/FolderSnapshot.h"

#include <fstream>
#include <sstream>

#include "platform/ShiftJis.h"

namespace shiori::test {

std::map<std::string, std::string> SnapshotFolder(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().filename().string()] = bytes.str();
  }
  return files;
}

std::string Sjis(std::string_view utf8) { return EncodeShiftJis(utf8); }

}  // namespace shiori::test
