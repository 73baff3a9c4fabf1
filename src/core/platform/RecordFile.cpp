#include "platform/RecordFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <utility>

namespace shiori {

namespace {

// Owns a POSIX file descriptor so that every early return closes the file.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  [[nodiscard]] int get() const { return fd_; }
  [[nodiscard]] bool valid() const { return fd_ >= 0; }
  // Hands the descriptor over to a longer-lived owner.
  [[nodiscard]] int Release() && { return std::exchange(fd_, -1); }
  // Closing can report a delayed write error, so writers check it.
  [[nodiscard]] bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::string Problem(const char* action, const std::filesystem::path& file, int error) {
  return std::string("Cannot ") + action + " " + file.string() + ": " + std::strerror(error);
}

Descriptor OpenFile(const std::filesystem::path& file, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(file.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return Descriptor(fd);
}

// Reads up to `size` bytes at `offset`; fewer only at the end of the file. Returns false on a read error.
bool ReadAt(int fd, char* data, std::size_t size, off_t offset, std::size_t& got) {
  got = 0;
  while (got < size) {
    const ssize_t n = ::pread(fd, data + got, size - got, offset + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAt(int fd, const char* data, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Byte offset of record `number` (>= 1), or -1 when it lies beyond what a file can hold.
off_t RecordOffset(std::size_t length, long number) {
  const auto index = static_cast<unsigned long long>(number - 1);
  if (length != 0 && index > static_cast<unsigned long long>(std::numeric_limits<off_t>::max()) / length) return -1;
  return static_cast<off_t>(index * length);
}

}  // namespace

RecordReader::RecordReader(std::filesystem::path file, std::size_t length, int fd)
    : file_(std::move(file)), length_(length), fd_(fd) {}

RecordReader::RecordReader(RecordReader&& other) noexcept
    : file_(std::move(other.file_)), length_(other.length_), fd_(std::exchange(other.fd_, -1)) {}

RecordReader& RecordReader::operator=(RecordReader&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    file_ = std::move(other.file_);
    length_ = other.length_;
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

RecordReader::~RecordReader() {
  if (fd_ >= 0) ::close(fd_);
}

Result<RecordReader> RecordReader::Open(const std::filesystem::path& file, std::size_t length) {
  Descriptor fd = OpenFile(file, O_RDONLY);
  if (!fd.valid() && errno != ENOENT) return Result<RecordReader>::Failure(Problem("read", file, errno));
  return RecordReader(file, length, std::move(fd).Release());
}

Result<std::vector<std::uint8_t>> RecordReader::Read(long number) const {
  std::vector<std::uint8_t> record(length_, 0);
  const off_t offset = number < 1 ? -1 : RecordOffset(length_, number);
  std::size_t got = 0;
  if (fd_ >= 0 && offset >= 0 && !ReadAt(fd_, reinterpret_cast<char*>(record.data()), length_, offset, got)) {
    return Result<std::vector<std::uint8_t>>::Failure(Problem("read", file_, errno));
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
  const off_t offset = RecordOffset(length, number);
  if (offset < 0) return Status::Failure(Problem("write", file, EFBIG));
  Descriptor fd = OpenFile(file, O_WRONLY | O_CREAT, 0666);
  struct stat status {};
  if (!fd.valid() || ::fstat(fd.get(), &status) != 0) return Status::Failure(Problem("write", file, errno));
  if (status.st_size < offset) {
    const std::string gap(static_cast<std::size_t>(offset - status.st_size), static_cast<char>(fill));
    if (!WriteAt(fd.get(), gap.data(), gap.size(), status.st_size)) {
      return Status::Failure(Problem("write", file, errno));
    }
  }
  if (!WriteAt(fd.get(), reinterpret_cast<const char*>(bytes.data()), length, offset) || !fd.Close()) {
    return Status::Failure(Problem("write", file, errno));
  }
  return Done{};
}

Result<std::string> ReadWholeFile(const std::filesystem::path& file) {
  Descriptor fd = OpenFile(file, O_RDONLY);
  if (!fd.valid()) return Result<std::string>::Failure(Problem("read", file, errno));
  std::string content;
  std::size_t got = 0;
  do {
    const std::size_t old_size = content.size();
    content.resize(old_size + 65536);
    if (!ReadAt(fd.get(), content.data() + old_size, 65536, static_cast<off_t>(old_size), got)) {
      return Result<std::string>::Failure(Problem("read", file, errno));
    }
    content.resize(old_size + got);
  } while (got == 65536);
  return content;
}

namespace {

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// True when the temporary was left by a process that no longer runs. This process has none in flight when it
// starts a write, so one carrying its id is left over from an earlier process that had the same id.
bool IsStaleTemporary(std::string_view owner) {
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(owner.data(), owner.data() + owner.size(), pid);
  if (error != std::errc() || end == owner.data() || pid <= 0) return false;
  if (pid == ::getpid()) return true;
  return ::kill(pid, 0) != 0 && errno == ESRCH;
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

// A fresh temporary file beside `file`. The name is unique within this process; O_EXCL guards against leftovers
// of a process that crashed with the same id.
Descriptor CreateTemporary(const std::filesystem::path& file, std::filesystem::path& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = file;
    temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    Descriptor fd = OpenFile(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd.valid() || errno != EEXIST) return fd;
  }
  return Descriptor(-1);
}

// Makes the rename itself durable; a failure here loses nothing, so it is not reported.
void SyncFolder(const std::filesystem::path& file) {
  const Descriptor fd = OpenFile(FolderOf(file), O_RDONLY | O_DIRECTORY);
  if (fd.valid()) ::fsync(fd.get());
}

}  // namespace

Status WriteFileAtomically(const std::filesystem::path& file, const std::string& content) {
  RemoveStaleTemporaries(file);
  std::filesystem::path temporary;
  Descriptor fd = CreateTemporary(file, temporary);
  if (!fd.valid()) return Status::Failure(Problem("write", file, errno));
  const bool written = WriteAt(fd.get(), content.data(), content.size(), 0) && ::fsync(fd.get()) == 0 && fd.Close() &&
                       ::rename(temporary.c_str(), file.c_str()) == 0;
  if (!written) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return Status::Failure(Problem("write", file, error));
  }
  SyncFolder(file);
  return Done{};
}

}  // namespace shiori
