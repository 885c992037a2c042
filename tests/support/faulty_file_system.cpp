#include "tests/support/faulty_file_system.h"

#include <algorithm>

namespace grumbol::testing {

namespace {

class FaultyFile final : public platform::File {
 public:
  FaultyFile(std::unique_ptr<platform::File> real, std::int64_t& budget)
      : real_(std::move(real)), budget_(budget) {}

  std::int64_t Id() const override { return real_->Id(); }
  std::int64_t Read(void* data, std::size_t size) override { return real_->Read(data, size); }
  std::int64_t Write(const void* data, std::size_t size) override {
    if (budget_ <= 0) return -1;
    const auto allowed = static_cast<std::size_t>(std::min<std::int64_t>(budget_, size));
    const std::int64_t n = real_->Write(data, allowed);
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

}  // namespace

std::unique_ptr<platform::File> FaultyFileSystem::Open(const std::string& path,
                                                       platform::FileAccess access,
                                                       platform::FileDisposition disposition) {
  auto real = real_.Open(path, access, disposition);
  if (!real) return nullptr;
  return std::make_unique<FaultyFile>(std::move(real), budget_);
}

}  // namespace grumbol::testing
