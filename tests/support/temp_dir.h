#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace grumbol::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string ReadFileBytes(const std::string& path);
std::vector<std::uint8_t> ReadFileData(const std::string& path);

}  // namespace grumbol::testing
