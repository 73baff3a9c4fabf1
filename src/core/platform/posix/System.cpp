// The platform layer on POSIX systems: Linux, macOS, and emscripten's POSIX emulation (the host's files under
// Node.js, an in-memory file system in the browser).
#include "platform/System.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace shiori::system {

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

int OpenDescriptor(const std::filesystem::path& path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

File File::Open(const std::filesystem::path& file, Access access, std::error_code& error) {
  const int flags = access == Access::kRead    ? O_RDONLY
                    : access == Access::kWrite ? O_WRONLY | O_CREAT
                                               : O_WRONLY | O_CREAT | O_EXCL;
  const int fd = OpenDescriptor(file, flags, 0666);
  error = fd < 0 ? LastError() : std::error_code();
  return File(fd);
}

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (is_open()) ::close(Descriptor(handle_));
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

File::~File() {
  if (is_open()) ::close(Descriptor(handle_));
}

std::error_code File::ReadAt(std::uint64_t offset, char* data, std::size_t size, std::size_t& got) const {
  got = 0;
  while (got < size) {
    const ssize_t n = ::pread(Descriptor(handle_), data + got, size - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return LastError();
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return {};
}

std::error_code File::WriteAt(std::uint64_t offset, const char* data, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::pwrite(Descriptor(handle_), data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return LastError();
    done += static_cast<std::size_t>(n);
  }
  return {};
}

std::error_code File::Size(std::uint64_t& size) const {
  struct stat status {};
  if (::fstat(Descriptor(handle_), &status) != 0) return LastError();
  size = static_cast<std::uint64_t>(status.st_size);
  return {};
}

std::error_code File::Flush() { return ::fsync(Descriptor(handle_)) == 0 ? std::error_code() : LastError(); }

std::error_code File::Close() {
  const int fd = Descriptor(std::exchange(handle_, -1));
  return ::close(fd) == 0 ? std::error_code() : LastError();
}

std::error_code ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

void FlushFolder(const std::filesystem::path& folder) {
  const int fd = OpenDescriptor(folder, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Emscripten gives every process the same id, so there two players sharing a save folder would each take the
// other's temporaries for leftovers of their own: the other's save then fails with an error, and loses nothing.
long ProcessId() { return static_cast<long>(::getpid()); }

bool IsProcessRunning(long id) { return !(::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH); }

bool IsWritableFolder(const std::filesystem::path& folder) { return ::access(folder.c_str(), W_OK) == 0; }

std::filesystem::path UserDataFolder() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home != nullptr && std::filesystem::path(data_home).is_absolute()) return data_home;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : "") / ".local" / "share";
}

}  // namespace shiori::system
