#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/log.h"

namespace grumbol::platform {

namespace {

// Repeats a system call that a signal interrupted.
template <typename Call>
auto RetryInterrupted(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::int64_t Id() const override { return static_cast<std::int64_t>(fd_) + 1; }

  std::int64_t Read(void* data, std::size_t size) override {
    return RetryInterrupted([&] { return read(fd_, data, size); });
  }

  std::int64_t Write(const void* data, std::size_t size) override {
    return RetryInterrupted([&] { return write(fd_, data, size); });
  }

  std::int64_t Seek(std::int64_t offset, SeekFrom from) override {
    const int whence = from == SeekFrom::kStart     ? SEEK_SET
                       : from == SeekFrom::kCurrent ? SEEK_CUR
                                                    : SEEK_END;
    return lseek(fd_, offset, whence);
  }

  std::int64_t Size() override {
    struct stat info {};
    if (fstat(fd_, &info) != 0) return -1;
    return info.st_size;
  }

  bool Truncate(std::int64_t size) override {
    return RetryInterrupted([&] { return ftruncate(fd_, size); }) == 0;
  }

  bool LockExclusive() override {
    return RetryInterrupted([&] { return flock(fd_, LOCK_EX); }) == 0;
  }

  void Unlock() override { flock(fd_, LOCK_UN); }

 private:
  int fd_;
};

int OpenFlags(FileAccess access, FileDisposition disposition) {
  int flags = O_CLOEXEC | O_NOCTTY;
  switch (access) {
    case FileAccess::kRead: flags |= O_RDONLY; break;
    case FileAccess::kWrite: flags |= O_WRONLY; break;
    case FileAccess::kReadWrite: flags |= O_RDWR; break;
  }
  switch (disposition) {
    case FileDisposition::kOpenExisting: break;
    case FileDisposition::kOpenAlways: flags |= O_CREAT; break;
    case FileDisposition::kCreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case FileDisposition::kTruncateExisting: flags |= O_TRUNC; break;
  }
  return flags;
}

}  // namespace

std::string PosixFileSystem::NativePath(const std::string& path) const {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::unique_ptr<File> PosixFileSystem::Open(const std::string& path, FileAccess access,
                                            FileDisposition disposition) {
  const std::string native = NativePath(path);
  // Only regular files are accepted: a pipe would block, a device could feed an endless
  // line, a folder is no file. O_NONBLOCK keeps the open itself from hanging on a pipe.
  const int flags = OpenFlags(access, disposition);
  const int fd = RetryInterrupted([&] { return open(native.c_str(), flags | O_NONBLOCK, 0666); });
  if (fd < 0) {
    LogDetail("files: " + native + ": " + std::strerror(errno));
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    LogDetail("files: " + native + ": not a regular file");
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return std::make_unique<PosixFile>(fd);
}

bool PosixFileSystem::CreateFolders(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) LogDetail("files: folder " + path + ": " + error.message());
  return !error && std::filesystem::is_directory(path, error);
}

}  // namespace grumbol::platform
