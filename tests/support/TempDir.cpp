#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <system_error>

namespace shiori::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "shiori-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "Cannot create a temporary folder from " << pattern;
  }
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::filesystem::path TempDir::Write(std::string_view name, std::string_view bytes) const {
  const std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << "Cannot write " << file;
  return file;
}

std::string TempDir::Read(std::string_view name) const {
  const std::filesystem::path file = path_ / name;
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in.good()) << "Cannot read " << file;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace shiori::test
