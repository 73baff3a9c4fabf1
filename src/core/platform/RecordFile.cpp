#include "platform/RecordFile.h"

#include <atomic>
#include <charconv>
#include <limits>
#include <optional>
#include <utility>

namespace shiori {

namespace {

using system::File;

std::string Problem(const char* action, const std::filesystem::path& file, std::error_code error) {
  return std::string("Cannot ") + action + " " + file.string() + ": " + error.message();
}

// Byte offset of record `number` (>= 1), or nullopt when it lies beyond what a file can hold.
std::optional<std::uint64_t> RecordOffset(std::size_t length, long number) {
  const auto index = static_cast<std::uint64_t>(number - 1);
  constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (length != 0 && index > kLargest / length) return std::nullopt;
  return index * length;
}

}  // namespace

RecordReader::RecordReader(std::filesystem::path file, std::size_t length, File open)
    : file_(std::move(file)), length_(length), open_(std::move(open)) {}

Result<RecordReader> RecordReader::Open(const std::filesystem::path& file, std::size_t length) {
  std::error_code error;
  File open = File::Open(file, File::Access::kRead, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    return Result<RecordReader>::Failure(Problem("read", file, error));
  }
  return RecordReader(file, length, std::move(open));
}

Result<std::vector<std::uint8_t>> RecordReader::Read(long number) const {
  std::vector<std::uint8_t> record(length_, 0);
  const std::optional<std::uint64_t> offset = number < 1 ? std::nullopt : RecordOffset(length_, number);
  std::size_t got = 0;
  if (open_.is_open() && offset) {
    if (const std::error_code error = open_.ReadAt(*offset, reinterpret_cast<char*>(record.data()), length_, got)) {
      return Result<std::vector<std::uint8_t>>::Failure(Problem("read", file_, error));
    }
  }
  record.resize(got);
  return record;
}

Status WriteRecord(const std::filesystem::path& file, std::size_t length, long number,
                   const std::vector<std::uint8_t>& bytes, std::uint8_t fill) {
  if (number < 1) {
    return Status::Failure("Cannot write record " + std::to_string(number) + " of " + file.string() +
                           ": records are counted from 1");
  }
  if (bytes.size() != length) {
    return Status::Failure("Cannot write " + file.string() + ": a record of " + std::to_string(length) +
                           " bytes was given " + std::to_string(bytes.size()));
  }
  const std::optional<std::uint64_t> offset = RecordOffset(length, number);
  if (!offset) return Status::Failure(Problem("write", file, std::make_error_code(std::errc::file_too_large)));
  std::error_code error;
  File out = File::Open(file, File::Access::kWrite, error);
  std::uint64_t size = 0;
  if (!error) error = out.Size(size);
  if (!error && size < *offset) {
    const std::string gap(static_cast<std::size_t>(*offset - size), static_cast<char>(fill));
    error = out.WriteAt(size, gap.data(), gap.size());
  }
  if (!error) error = out.WriteAt(*offset, reinterpret_cast<const char*>(bytes.data()), length);
  if (!error) error = out.Close();
  if (error) return Status::Failure(Problem("write", file, error));
  return Done{};
}

Result<std::string> ReadWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  const File in = File::Open(file, File::Access::kRead, error);
  if (error) return Result<std::string>::Failure(Problem("read", file, error));
  constexpr std::size_t kChunk = 65536;
  std::string content;
  std::size_t got = 0;
  do {
    const std::size_t old_size = content.size();
    content.resize(old_size + kChunk);
    if ((error = in.ReadAt(old_size, content.data() + old_size, kChunk, got))) {
      return Result<std::string>::Failure(Problem("read", file, error));
    }
    content.resize(old_size + got);
  } while (got == kChunk);
  return content;
}

namespace {

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// True when the temporary was left by a process that no longer runs. This process has none in flight when it
// starts a write, so one carrying its id is left over from an earlier process that had the same id.
bool IsStaleTemporary(std::string_view owner) {
  long id = 0;
  const auto [end, error] = std::from_chars(owner.data(), owner.data() + owner.size(), id);
  if (error != std::errc() || end == owner.data() || id <= 0) return false;
  return id == system::ProcessId() || !system::IsProcessRunning(id);
}

// A process killed between creating its temporary and renaming it leaves the temporary behind. Each write
// clears those of its file, so that kills cannot pile them up; another player still running on the same
// folder keeps its own.
void RemoveStaleTemporaries(const std::filesystem::path& file) {
  const std::string prefix = file.filename().string() + ".tmp-";
  std::error_code error;
  for (auto entry = std::filesystem::directory_iterator(FolderOf(file), error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.starts_with(prefix) && IsStaleTemporary(std::string_view(name).substr(prefix.size()))) {
      std::error_code ignored;
      std::filesystem::remove(entry->path(), ignored);
    }
  }
}

// A fresh temporary file beside `file`. The name is unique within this process; creating it only when it does
// not exist guards against leftovers of a process that crashed with the same id.
File CreateTemporary(const std::filesystem::path& file, std::filesystem::path& temporary, std::error_code& error) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = file;
    temporary += ".tmp-" + std::to_string(system::ProcessId()) + "-" + std::to_string(counter++);
    File created = File::Open(temporary, File::Access::kCreateNew, error);
    if (error != std::errc::file_exists) return created;
  }
  return File();
}

}  // namespace

Status WriteFileAtomically(const std::filesystem::path& file, const std::string& content) {
  RemoveStaleTemporaries(file);
  std::filesystem::path temporary;
  std::error_code error;
  File out = CreateTemporary(file, temporary, error);
  if (error) return Status::Failure(Problem("write", file, error));
  error = out.WriteAt(0, content.data(), content.size());
  if (!error) error = out.Flush();
  if (!error) error = out.Close();
  if (!error) error = system::ReplaceFile(temporary, file);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return Status::Failure(Problem("write", file, error));
  }
  system::FlushFolder(FolderOf(file));
  return Done{};
}

}  // namespace shiori
