// The data-file layer on a file made of the fuzz input. Each input runs buffered, and inputs of
// up to kUnbufferedLimit bytes also unbuffered: first a plain read to the end, checked against the
// lines the bytes hold, then a sequence of reads, writes, appends, closes and re-opens chosen by
// the input's last bytes. The unbuffered path reads a byte per system call and has no state that
// depends on the file's length, so longer inputs there would only slow the campaign down.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "runtime/data_files.h"

namespace {

using grumbol::DataFiles;
using grumbol::FileOpenMode;

constexpr std::size_t kUnbufferedLimit = 1024;

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

// Whether the file ends with `tail`; reads only the tail, since appends make the file long.
bool FileEndsWith(const std::string& tail) {
  std::ifstream in(TempPath(), std::ios::binary | std::ios::ate);
  const std::streamoff size = in.tellg();
  if (size < static_cast<std::streamoff>(tail.size())) return false;
  in.seekg(size - static_cast<std::streamoff>(tail.size()));
  std::string read(tail.size(), '\0');
  in.read(read.data(), static_cast<std::streamsize>(read.size()));
  return in && read == tail;
}

// The lines of `bytes`: each ends at CR LF, LF, a lone CR, a zero byte or the end.
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::string line;
    while (i < bytes.size() && bytes[i] != 0 && bytes[i] != 10 && bytes[i] != 13)
      line += bytes[i++];
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
  // A long line crosses the 4096-byte buffer; unbuffered, it would only cost a read per byte.
  const std::size_t long_line = buffering == DataFiles::Buffering::kBuffered ? 5000 : 200;
  std::size_t text_at = 0;
  auto text = [&](int length) {
    if (length == 31) return std::string(long_line, static_cast<char>('a' + text_at % 26));
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
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c == 0 || c == 10 || c == 13; }, ' ');
        line += "\r\n";
        if (n != static_cast<std::int64_t>(line.size()) || !FileEndsWith(line)) std::abort();
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
    if (buffering == DataFiles::Buffering::kUnbuffered && size > kUnbufferedLimit) break;
    WriteFile(data, size);
    CheckPlainRead(fs, buffering, content);
    RunOperations(fs, buffering, data, size);
  }
  std::remove(TempPath().c_str());
  return 0;
}
