#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace grumbol::platform {

// How an open treats an existing or missing file.
enum class FileDisposition {
  kOpenExisting,      // fails when the file is missing
  kOpenAlways,        // creates the file when missing, keeps existing content
  kCreateAlways,      // creates the file, or empties an existing one
  kTruncateExisting,  // empties an existing file, fails when it is missing
};

enum class FileAccess { kRead, kWrite, kReadWrite };

// One open regular file with a single position shared by reads and writes.
class File {
 public:
  virtual ~File() = default;

  // A positive number naming the open file; never 0.
  virtual std::int64_t Id() const = 0;

  // Reads up to `size` bytes at the position. Returns the count read, 0 at the end of
  // the file, or -1 on an error.
  virtual std::int64_t Read(void* data, std::size_t size) = 0;

  // Writes up to `size` bytes at the position. Returns the count written (possibly
  // fewer than asked, for example on a full disk), or -1 on an error.
  virtual std::int64_t Write(const void* data, std::size_t size) = 0;

  enum class SeekFrom { kStart, kCurrent, kEnd };
  // Moves the position. Returns the new position, or -1 on an error.
  virtual std::int64_t Seek(std::int64_t offset, SeekFrom from) = 0;

  // Current length of the file, or -1 on an error.
  virtual std::int64_t Size() = 0;

  // Cuts the file to `size` bytes. Returns false on an error.
  virtual bool Truncate(std::int64_t size) = 0;

  // An exclusive advisory lock across processes, held until Unlock or close.
  // Blocks while another process holds it. Returns false on an error.
  virtual bool LockExclusive() = 0;
  virtual void Unlock() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens a regular file. Returns null when the file cannot be opened, or when the path
  // names something that is not a regular file (a folder, a device, a pipe).
  virtual std::unique_ptr<File> Open(const std::string& path, FileAccess access,
                                     FileDisposition disposition) = 0;

  // Where a path lies on the native file system, for libraries that open files by name
  // themselves (movies).
  virtual std::string NativePath(const std::string& path) const { return path; }

  // Makes the folder and those above it that are missing. True when it exists afterwards.
  virtual bool CreateFolders(const std::string& path) {
    static_cast<void>(path);
    return false;
  }
};

// The whole content of an open file from where it stands; none when it is larger than
// `max_bytes`. A file that shrinks while it is read gives what was read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(File& file, std::int64_t max_bytes);
// The same for a regular file opened for reading only; none when it cannot be opened either.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(FileSystem& file_system,
                                                       const std::string& path,
                                                       std::int64_t max_bytes);

}  // namespace grumbol::platform
