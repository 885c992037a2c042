#pragma once

#include "platform/file_system.h"

namespace grumbol::platform {

// Files through POSIX descriptors.
class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<File> Open(const std::string& path, FileAccess access,
                             FileDisposition disposition) override;
  // The game's paths use the Windows separator.
  std::string NativePath(const std::string& path) const override;
  bool CreateFolders(const std::string& path) override;
};

}  // namespace grumbol::platform
