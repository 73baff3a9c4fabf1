#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

// What the core needs from the operating system, in one place. Everything else in the core is portable C++; a
// port to another system writes its own implementation of this header (posix/ serves Linux, macOS and emscripten).
namespace shiori::system {

// An open file, closed when it goes away. Errors are the system's own, so their messages read as the system's.
class File {
 public:
  enum class Access {
    kRead,
    kWrite,      // creates the file when it is missing
    kCreateNew,  // creates the file; fails when it exists already
  };

  [[nodiscard]] static File Open(const std::filesystem::path& file, Access access, std::error_code& error);
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // A file that is not open reads as an empty one (RecordReader's missing file).
  File() = default;
  [[nodiscard]] bool is_open() const { return handle_ >= 0; }

  // Reads up to `size` bytes at `offset` into `data`; `got` is less than `size` only at the end of the file.
  [[nodiscard]] std::error_code ReadAt(std::uint64_t offset, char* data, std::size_t size, std::size_t& got) const;
  [[nodiscard]] std::error_code WriteAt(std::uint64_t offset, const char* data, std::size_t size);
  [[nodiscard]] std::error_code Size(std::uint64_t& size) const;
  // Waits until what was written has reached the disk.
  [[nodiscard]] std::error_code Flush();
  // Closing can report a delayed write error, so writers check it.
  [[nodiscard]] std::error_code Close();

 private:
  explicit File(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_ = -1;
};

// Puts `from` in the place of `to` in one step: anyone opening `to` finds either the old or the new file, never
// a mixture or nothing. Both lie in the same folder. POSIX rename gives that on every local file system, and on
// the host's files under Node.js. A browser's in-memory file system replaces atomically too, and the web page's
// replacement completes only once the browser's storage holds the new file (src/web/storage.js). Where a system cannot
// replace in one step (Windows does on NTFS with MoveFileEx, not on FAT drives), its implementation must warn the
// reader once per folder.
[[nodiscard]] std::error_code ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes a replacement in `folder` survive a power cut, where the system lets a folder be flushed; a failure loses
// nothing, so it is not reported.
void FlushFolder(const std::filesystem::path& folder);

// This process's id, and whether a process with an id is running: a temporary file named after a process that
// has ended is a leftover of a killed write.
[[nodiscard]] long ProcessId();
[[nodiscard]] bool IsProcessRunning(long id);

// True when this process may create and replace files in `folder`.
[[nodiscard]] bool IsWritableFolder(const std::filesystem::path& folder);

// The folder for the reader's data of all programs: $XDG_DATA_HOME, else ~/.local/share.
[[nodiscard]] std::filesystem::path UserDataFolder();

}  // namespace shiori::system
