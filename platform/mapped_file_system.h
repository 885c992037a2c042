#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace grumbol::platform {

// A file system that finds some paths elsewhere: a path that starts with a mapping's `from`
// opens `to` followed by the rest of the path instead. The first mapping that fits is taken;
// other paths go through unchanged. A file created through a mapping gets its folders made
// first. Libraries that open files by name are given the mapped path too.
class MappedFileSystem final : public FileSystem {
 public:
  struct Mapping {
    std::string from;
    std::string to;
  };

  MappedFileSystem(FileSystem& files, std::vector<Mapping> mappings)
      : files_(files), mappings_(std::move(mappings)) {}

  std::unique_ptr<File> Open(const std::string& path, FileAccess access,
                             FileDisposition disposition) override;
  std::string NativePath(const std::string& path) const override {
    return files_.NativePath(Target(path));
  }

 private:
  // The path a mapping makes of `path`, or `path` itself.
  std::string Target(const std::string& path) const;

  FileSystem& files_;
  std::vector<Mapping> mappings_;
};

}  // namespace grumbol::platform
