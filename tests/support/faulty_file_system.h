#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/posix/posix_file_system.h"

namespace grumbol::testing {

// Real files whose writes run out of room after a set number of bytes, like a disk that
// fills up: the write that crosses the limit stores what fits and reports the short count;
// later writes fail.
class FaultyFileSystem final : public platform::FileSystem {
 public:
  void SetWriteBudget(std::int64_t bytes) { budget_ = bytes; }
  void Unlimited() { budget_ = INT64_MAX; }

  std::unique_ptr<platform::File> Open(const std::string& path, platform::FileAccess access,
                                       platform::FileDisposition disposition) override;

 private:
  platform::PosixFileSystem real_;
  std::int64_t budget_ = INT64_MAX;
};

}  // namespace grumbol::testing
