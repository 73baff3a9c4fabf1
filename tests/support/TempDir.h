#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace shiori::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

  // Writes `bytes` to the file `name` ('/'-separated, relative to the folder), creating folders on the way, and
  // returns its path.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

  // The bytes of the file `name`; fails the current test when it cannot be read.
  [[nodiscard]] std::string Read(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace shiori::test
