#include "faults/SaveFiles.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "HeadlessDriver.h"

namespace shiori::test {

const std::vector<std::string>& SaveFileNames() {
  static const std::vector<std::string> names = {"data2.rgd", "data3.rgd", "data4.rgd", "conf.rgd", "conf2.rgd"};
  return names;
}

SaveSnapshot TakeSnapshot(const std::filesystem::path& save) {
  SaveSnapshot snapshot;
  for (const std::string& name : SaveFileNames()) {
    std::ifstream in(save / name, std::ios::binary);
    snapshot[name] = in ? std::optional(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
  }
  return snapshot;
}

void RestoreSnapshot(const std::filesystem::path& save, const SaveSnapshot& snapshot) {
  for (const auto& [name, content] : snapshot) {
    std::filesystem::remove(save / name);
    if (content) std::ofstream(save / name, std::ios::binary) << *content;
  }
}

std::string PlayInProcess(const std::filesystem::path& game, const std::filesystem::path& save,
                          const std::vector<std::string>& lines, std::string* out) {
  std::ostringstream script;
  for (const std::string& line : lines) script << line << '\n';
  std::istringstream in(script.str());
  std::ostringstream printed;
  std::ostringstream errors;
  static_cast<void>(RunHeadless({game, save, "2026-12-01 14:05:09"}, in, printed, errors, nullptr));
  if (out != nullptr) *out = printed.str();
  return errors.str();
}

std::filesystem::path ScratchRoot() {
  const std::filesystem::path memory = "/dev/shm";
  if (std::filesystem::is_directory(memory) && ::access(memory.c_str(), W_OK) == 0) return memory;
  return std::filesystem::temp_directory_path();
}

}  // namespace shiori::test
