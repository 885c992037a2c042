#include "runtime/data_files.h"

#include <algorithm>
#include <cstring>

namespace grumbol {

namespace {

constexpr std::int32_t kInitialSlots = 16;
constexpr char kLineEnd[] = {13, 10};

using platform::File;
using platform::FileAccess;
using platform::FileDisposition;

// Writes every byte at the file's position. A write that stops short (a full disk, an
// error) is undone as far as it made the file longer, and the position goes back to where
// the write began, so no fragment is left behind. Returns whether all bytes were written.
bool WriteAll(File& file, const char* data, std::size_t size) {
  const std::int64_t start = file.Seek(0, File::SeekFrom::kCurrent);
  const std::int64_t size_before = file.Size();
  std::size_t done = 0;
  while (done < size) {
    const std::int64_t n = file.Write(data + done, size - done);
    if (n <= 0) {
      if (done > 0 && size_before >= 0 && file.Size() > size_before) file.Truncate(size_before);
      if (start >= 0) file.Seek(start, File::SeekFrom::kStart);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

DataFiles::DataFiles(platform::FileSystem& file_system, Buffering buffering)
    : file_system_(file_system),
      buffering_(buffering),
      files_(kInitialSlots, [this](SlotId id) { CloseRecordFile(id); }) {}

DataFiles::~DataFiles() { EndFiles(); }

std::unique_ptr<File> DataFiles::OpenWithMode(const std::string& path, FileOpenMode mode) {
  switch (mode) {
    case FileOpenMode::kReadExisting:
      return file_system_.Open(path, FileAccess::kRead, FileDisposition::kOpenExisting);
    case FileOpenMode::kOpenOrCreate:
      return file_system_.Open(path, FileAccess::kReadWrite, FileDisposition::kOpenAlways);
    case FileOpenMode::kCreateOrTruncate:
      if (auto file = file_system_.Open(path, FileAccess::kWrite, FileDisposition::kCreateAlways)) {
        return file;
      }
      return file_system_.Open(path, FileAccess::kWrite, FileDisposition::kTruncateExisting);
    case FileOpenMode::kUpdateExisting:
      return file_system_.Open(path, FileAccess::kReadWrite, FileDisposition::kOpenExisting);
  }
  return nullptr;
}

std::int64_t DataFiles::OpenFile(SlotId slot, const std::string& path, FileOpenMode mode) {
  if (slot < kDynamicSlot) return 0;
  // Claiming first closes the slot's old file, also when the new one then fails to open.
  const auto claim = files_.ClaimSlot(slot);
  if (claim.record == nullptr) return 0;
  auto handle = OpenWithMode(path, mode);
  if (!handle) {
    if (slot == kDynamicSlot) files_.ReleaseSlot(claim.id);
    return 0;
  }
  FileRecord& file = *claim.record;
  const std::int64_t handle_id = handle->Id();
  file.handle = std::move(handle);
  if (buffering_ == Buffering::kBuffered) file.buffer.reset(new (std::nothrow) char[kBufferSize]);
  file.count = 0;
  file.filled = 0;
  file.read_mode = true;
  return slot == kDynamicSlot ? claim.id : handle_id;
}

int DataFiles::ReadByte(FileRecord& file) {
  unsigned char byte = 0;
  if (!file.buffer) return file.handle->Read(&byte, 1) == 1 ? byte : -1;
  if (!file.read_mode) {
    Flush(file);
    file.read_mode = true;
    file.count = 0;
  }
  if (file.count == 0) {
    // A failed read counts as the end of the file.
    const std::int64_t n = file.handle->Read(file.buffer.get(), kBufferSize);
    file.filled = file.count = n > 0 ? static_cast<std::int32_t>(n) : 0;
    if (file.count == 0) return -1;
  }
  byte = static_cast<unsigned char>(file.buffer[file.filled - file.count]);
  --file.count;
  return byte;
}

void DataFiles::PushBackByte(FileRecord& file) {
  if (file.buffer) {
    ++file.count;  // the byte just read from the buffer is still there
  } else {
    file.handle->Seek(-1, File::SeekFrom::kCurrent);
  }
}

std::string DataFiles::ReadLine(SlotId slot) {
  FileRecord* file = files_.FindSlot(slot);
  std::string line;
  if (file == nullptr) return line;
  int byte;
  for (;;) {
    if (file->buffer && file->read_mode && file->count > 0) {
      // Take the run of ordinary bytes in the buffer at once; the byte that ends it, or the
      // refill, goes through ReadByte below.
      const char* begin = file->buffer.get() + (file->filled - file->count);
      const char* end = file->buffer.get() + file->filled;
      const char* stop =
          std::find_if(begin, end, [](char c) { return c == 0 || c == 10 || c == 13; });
      line.append(begin, stop);
      file->count -= static_cast<std::int32_t>(stop - begin);
    }
    byte = ReadByte(*file);
    if (byte <= 0 || byte == 13 || byte == 10) break;  // nothing read, a zero byte, a line end
    line.push_back(static_cast<char>(byte));
  }
  if (byte == 13) {
    // CR LF is one line end; any other byte after a CR starts the next line.
    const int next = ReadByte(*file);
    if (next >= 0 && next != 10) PushBackByte(*file);
  }
  return line;
}

void DataFiles::Flush(FileRecord& file) {
  if (file.read_mode || !file.buffer || file.count >= kBufferSize) return;
  WriteAll(*file.handle, file.buffer.get(), static_cast<std::size_t>(kBufferSize - file.count));
  file.count = kBufferSize;
}

void DataFiles::WriteBytes(FileRecord& file, const char* data, std::size_t size) {
  if (!file.buffer) {
    WriteAll(*file.handle, data, size);
    return;
  }
  if (file.read_mode) {
    // Unconsumed read-ahead is dropped; the position stays where the last block ended.
    file.read_mode = false;
    file.count = kBufferSize;
  }
  if (static_cast<std::size_t>(file.count) <= size) {
    Flush(file);
    if (size >= static_cast<std::size_t>(kBufferSize)) {
      WriteAll(*file.handle, data, size);
      return;
    }
  }
  std::memcpy(file.buffer.get() + (kBufferSize - file.count), data, size);
  file.count -= static_cast<std::int32_t>(size);
}

std::int64_t DataFiles::WriteLine(SlotId slot, std::string_view text) {
  FileRecord* file = files_.FindSlot(slot);
  if (file == nullptr) return 0;
  if (!text.empty()) WriteBytes(*file, text.data(), text.size());
  WriteBytes(*file, kLineEnd, sizeof kLineEnd);
  return static_cast<std::int64_t>(text.size()) + 2;
}

std::int64_t DataFiles::AppendLine(SlotId slot, std::string_view text) {
  FileRecord* file = files_.FindSlot(slot);
  if (file == nullptr) return 0;
  // Bytes still pending go first, where they were meant to go.
  if (file->buffer) {
    Flush(*file);
    file->read_mode = false;
    file->count = kBufferSize;
  }
  std::string line(text);
  for (char& c : line) {
    if (c == 13 || c == 10 || c == 0) c = ' ';
  }
  line.append(kLineEnd, sizeof kLineEnd);

  File& handle = *file->handle;
  // Without a lock (a file system that has none) the line is still written whole.
  const bool locked = handle.LockExclusive();
  const bool written =
      handle.Seek(0, File::SeekFrom::kEnd) >= 0 && WriteAll(handle, line.data(), line.size());
  if (locked) handle.Unlock();
  return written ? static_cast<std::int64_t>(line.size()) : 0;
}

void DataFiles::CloseRecordFile(SlotId slot) {
  FileRecord* file = files_.FindSlot(slot);
  if (file == nullptr) return;
  Flush(*file);
  files_.ReleaseSlot(slot);  // frees the buffer and closes the file
}

void DataFiles::EndFiles() {
  for (SlotId id : files_.IdsInVisitOrder()) CloseRecordFile(id);
}

}  // namespace grumbol
