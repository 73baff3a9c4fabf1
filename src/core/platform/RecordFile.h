#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "platform/System.h"

namespace shiori {

// Fixed-length record files: record n (counted from 1) starts at byte (n - 1) x length. A file is opened for one
// operation and closed at its end, so that nothing is held open between operations and every caller sees the
// file as it is on disk.

// A record file held open for the length of one operation that reads many records (a search), and closed when
// it goes away. A missing file reads as an empty one, and is not created.
class RecordReader {
 public:
  [[nodiscard]] static Result<RecordReader> Open(const std::filesystem::path& file, std::size_t length);

  // The bytes of record `number` that lie inside the file: all of them, fewer for a record cut by the end of
  // the file, none for a record past the end or a number below 1.
  [[nodiscard]] Result<std::vector<std::uint8_t>> Read(long number) const;

 private:
  RecordReader(std::filesystem::path file, std::size_t length, system::File open);

  std::filesystem::path file_;
  std::size_t length_;
  system::File open_;  // not open: the file does not exist
};

// Writes `bytes` (exactly `length` of them) as record `number` >= 1, creating the file when it does not exist.
// When the record lies beyond the end of the file, the bytes in between are filled with `fill`.
[[nodiscard]] Status WriteRecord(const std::filesystem::path& file, std::size_t length, long number,
                                 const std::vector<std::uint8_t>& bytes, std::uint8_t fill);

// Reads the whole file (missing -> failure naming the file).
[[nodiscard]] Result<std::string> ReadWholeFile(const std::filesystem::path& file);

// Replaces the file's content atomically: a temporary file in the same folder is written, flushed to disk and
// put in the old one's place in one step (system::ReplaceFile), so a crash or kill leaves either the old or the
// new content, never a mixture.
[[nodiscard]] Status WriteFileAtomically(const std::filesystem::path& file, const std::string& content);

}  // namespace shiori
