#pragma once

#include <algorithm>
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
                                       platform::FileDisposition disposition) override {
    auto real = real_.Open(path, access, disposition);
    return real ? std::make_unique<FaultyFile>(std::move(real), budget_) : nullptr;
  }

 private:
  class FaultyFile final : public platform::File {
   public:
    FaultyFile(std::unique_ptr<platform::File> real, std::int64_t& budget)
        : real_(std::move(real)), budget_(budget) {}

    std::int64_t Id() const override { return real_->Id(); }
    std::int64_t Read(void* data, std::size_t size) override { return real_->Read(data, size); }
    std::int64_t Write(const void* data, std::size_t size) override {
      if (budget_ <= 0) return -1;
      const std::int64_t n =
          real_->Write(data, static_cast<std::size_t>(std::min<std::int64_t>(budget_, size)));
      if (n > 0) budget_ -= n;
      return n;
    }
    std::int64_t Seek(std::int64_t offset, SeekFrom from) override {
      return real_->Seek(offset, from);
    }
    std::int64_t Size() override { return real_->Size(); }
    bool Truncate(std::int64_t size) override { return real_->Truncate(size); }
    bool LockExclusive() override { return real_->LockExclusive(); }
    void Unlock() override { real_->Unlock(); }

   private:
    std::unique_ptr<platform::File> real_;
    std::int64_t& budget_;
  };

  platform::PosixFileSystem real_;
  std::int64_t budget_ = INT64_MAX;
};

}  // namespace grumbol::testing
