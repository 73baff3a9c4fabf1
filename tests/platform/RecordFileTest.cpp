#include <gtest/gtest.h>

#include "platform/RecordFile.h"
#include "support/TempDir.h"

namespace shiori {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

Bytes ReadOk(const std::filesystem::path& file, std::size_t length, long number) {
  auto reader = RecordReader::Open(file, length);
  EXPECT_TRUE(reader.ok()) << reader.error();
  if (!reader.ok()) return {};
  auto record = reader.value().Read(number);
  EXPECT_TRUE(record.ok()) << record.error();
  return record.ok() ? record.value() : Bytes{};
}

TEST(RecordFileTest, ReadsTheBytesOfARecordThatLieInTheFile) {
  test::TempDir dir;
  const auto file = dir.Write("records", "AAABBBC");
  EXPECT_EQ(ReadOk(file, 3, 1), Of("AAA"));
  EXPECT_EQ(ReadOk(file, 3, 2), Of("BBB"));
  EXPECT_EQ(ReadOk(file, 3, 3), Of("C"));  // cut by the end of the file
  EXPECT_EQ(ReadOk(file, 3, 4), Bytes{});
  EXPECT_EQ(ReadOk(file, 3, 0), Bytes{});
  EXPECT_EQ(ReadOk(file, 3, -7), Bytes{});
  EXPECT_EQ(ReadOk(file, 3, 0x7fffffffffffffff), Bytes{});

  const auto missing = dir.path() / "missing";
  EXPECT_EQ(ReadOk(missing, 3, 1), Bytes{});
  EXPECT_FALSE(std::filesystem::exists(missing)) << "reading must not create the file";

  const auto folder = RecordReader::Open(dir.path(), 3);  // exists but cannot be read
  ASSERT_TRUE(folder.ok());
  const auto record = folder.value().Read(1);
  ASSERT_FALSE(record.ok());
  EXPECT_NE(record.error().find(dir.path().string()), std::string::npos) << record.error();
}

TEST(RecordFileTest, WriteCreatesFillsGapsAndOverwritesInPlace) {
  test::TempDir dir;
  const auto file = dir.path() / "read";
  ASSERT_TRUE(WriteRecord(file, 2, 3, Of("XY"), 1).ok());
  EXPECT_EQ(dir.Read("read"), std::string("\1\1\1\1XY", 6));
  ASSERT_TRUE(WriteRecord(file, 2, 1, Of("ab"), 1).ok());
  EXPECT_EQ(dir.Read("read"), std::string("ab\1\1XY", 6));

  EXPECT_FALSE(WriteRecord(file, 2, 0, Of("zz"), 1).ok());
  EXPECT_FALSE(WriteRecord(file, 2, -1, Of("zz"), 1).ok());
  EXPECT_FALSE(WriteRecord(file, 2, 1, Of("zzz"), 1).ok());
  EXPECT_EQ(dir.Read("read"), std::string("ab\1\1XY", 6));
}

TEST(RecordFileTest, WholeFileReadsAndAtomicWritesLeaveNothingBehind) {
  test::TempDir dir;
  const auto file = dir.path() / "conf.rgd";
  ASSERT_TRUE(WriteFileAtomically(file, "old").ok());
  ASSERT_TRUE(WriteFileAtomically(file, std::string("new\0content", 11)).ok());
  const auto content = ReadWholeFile(file);
  ASSERT_TRUE(content.ok()) << content.error();
  EXPECT_EQ(content.value(), std::string("new\0content", 11));
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"conf.rgd"});

  const auto nowhere = dir.path() / "no-folder" / "conf.rgd";
  const auto failed = WriteFileAtomically(nowhere, "x");
  ASSERT_FALSE(failed.ok());
  EXPECT_NE(failed.error().find(nowhere.string()), std::string::npos) << failed.error();

  const auto missing = ReadWholeFile(dir.path() / "absent.rgd");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find("absent.rgd"), std::string::npos) << missing.error();

  // A write that fails after the temporary file exists (the target is a folder) cleans it up.
  std::filesystem::create_directory(dir.path() / "taken");
  EXPECT_FALSE(WriteFileAtomically(dir.path() / "taken", "x").ok());
  EXPECT_EQ(Entries(dir.path()).size(), 2u);
}

}  // namespace
}  // namespace shiori
