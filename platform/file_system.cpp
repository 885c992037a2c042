#include "platform/file_system.h"

namespace grumbol::platform {

std::optional<std::vector<std::uint8_t>> ReadWholeFile(File& file, std::int64_t max_bytes) {
  const std::int64_t size = file.Size();
  if (size < 0 || size > max_bytes) return std::nullopt;
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < data.size()) {
    const std::int64_t n = file.Read(data.data() + done, data.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  data.resize(done);
  return data;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(FileSystem& file_system,
                                                       const std::string& path,
                                                       std::int64_t max_bytes) {
  auto file = file_system.Open(path, FileAccess::kRead, FileDisposition::kOpenExisting);
  if (!file) return std::nullopt;
  return ReadWholeFile(*file, max_bytes);
}

}  // namespace grumbol::platform
