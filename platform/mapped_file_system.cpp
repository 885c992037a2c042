#include "platform/mapped_file_system.h"

namespace grumbol::platform {

std::string MappedFileSystem::Target(const std::string& path) const {
  for (const Mapping& mapping : mappings_) {
    if (path.starts_with(mapping.from)) return mapping.to + path.substr(mapping.from.size());
  }
  return path;
}

std::unique_ptr<File> MappedFileSystem::Open(const std::string& path, FileAccess access,
                                             FileDisposition disposition) {
  const std::string target = Target(path);
  const bool creates =
      disposition == FileDisposition::kOpenAlways || disposition == FileDisposition::kCreateAlways;
  if (creates && target != path) {
    const std::size_t folder_end = target.find_last_of('/');
    if (folder_end != std::string::npos && folder_end > 0)
      files_.CreateFolders(target.substr(0, folder_end));
  }
  return files_.Open(target, access, disposition);
}

}  // namespace grumbol::platform
