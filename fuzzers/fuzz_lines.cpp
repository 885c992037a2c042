// The data-file layer on a file made of the fuzz input. Each input runs twice, buffered and
// unbuffered: first a plain read to the end, checked against the lines the bytes hold, then a
// sequence of reads, writes, appends, closes and re-opens chosen by the input's last bytes.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "runtime/data_files.h"

namespace {

using grumbol::DataFiles;
using grumbol::FileOpenMode;

const std::string& TempPath() {
  static const std::string path = [] {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/grumbol_fuzz_lines_" + std::to_string(getpid()) + ".txt";
  }();
  return path;
}

void WriteFile(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(TempPath(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string ReadFile() {
  std::ifstream in(TempPath(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of `bytes`: each ends at CR LF, LF, a lone CR, a zero byte or the end.
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::string line;
    while (i < bytes.size() && bytes[i] != 0 && bytes[i] != 10 && bytes[i] != 13) line += bytes[i++];
    if (i < bytes.size()) {
      if (bytes[i] == 13 && i + 1 < bytes.size() && bytes[i + 1] == 10) ++i;
      ++i;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void CheckPlainRead(grumbol::platform::FileSystem& fs, DataFiles::Buffering buffering,
                    const std::string& content) {
  DataFiles files(fs, buffering);
  if (files.OpenFile(1, TempPath(), FileOpenMode::kReadExisting) == 0) std::abort();
  for (const std::string& expected : SplitLines(content)) {
    if (files.ReadLine(1) != expected) std::abort();
  }
  if (!files.ReadLine(1).empty() || !files.ReadLine(1).empty()) std::abort();
  files.CloseRecordFile(1);
}

void RunOperations(grumbol::platform::FileSystem& fs, DataFiles::Buffering buffering,
                   const std::uint8_t* data, std::size_t size) {
  DataFiles files(fs, buffering);
  files.OpenRecordFile(1, TempPath());
  const std::size_t ops = std::min<std::size_t>(size, 48);
  std::size_t text_at = 0;
  auto text = [&](int length) {
    if (length == 31) return std::string(5000, static_cast<char>('a' + text_at % 26));
    std::string s;
    for (int i = 0; i < length && size > 0; ++i) s += static_cast<char>(data[text_at++ % size]);
    return s;
  };
  for (std::size_t i = 0; i < ops; ++i) {
    const std::uint8_t op = data[size - 1 - i];
    switch (op & 7) {
      case 0:
      case 1:
      case 2: files.ReadLine(1); break;
      case 3: {
        const std::string line = text(op >> 3);
        const std::int64_t n = files.WriteLine(1, line);
        if (n != 0 && n != static_cast<std::int64_t>(line.size()) + 2) std::abort();
        break;
      }
      case 4: {
        std::string line = text(op >> 3);
        const std::int64_t n = files.AppendLine(1, line);
        if (n == 0) break;
        // The line is whole at the end of the file, its line breaks made blanks.
        std::replace_if(line.begin(), line.end(), [](char c) { return c == 0 || c == 10 || c == 13; }, ' ');
        line += "\r\n";
        const std::string content = ReadFile();
        if (n != static_cast<std::int64_t>(line.size()) || content.size() < line.size() ||
            content.compare(content.size() - line.size(), line.size(), line) != 0) {
          std::abort();
        }
        break;
      }
      case 5: files.CloseRecordFile(1); break;
      case 6: files.OpenFile(1, TempPath(), static_cast<FileOpenMode>(1 + (op >> 3) % 4)); break;
      case 7: files.EndFiles(); break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  grumbol::platform::PosixFileSystem fs;
  const std::string content(reinterpret_cast<const char*>(data), size);
  for (auto buffering : {DataFiles::Buffering::kBuffered, DataFiles::Buffering::kUnbuffered}) {
    WriteFile(data, size);
    CheckPlainRead(fs, buffering, content);
    RunOperations(fs, buffering, data, size);
  }
  std::remove(TempPath().c_str());
  return 0;
}
