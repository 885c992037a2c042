#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "runtime/slot_table.h"

namespace grumbol {

enum class FileOpenMode {
  kReadExisting = 1,      // read only; the file must exist
  kOpenOrCreate = 2,      // read and write; created when missing, content kept
  kCreateOrTruncate = 3,  // write only; created, or emptied when it exists
  kUpdateExisting = 4,    // read and write; the file must exist
};

// One open file of DataFiles.
struct FileRecord {
  std::unique_ptr<platform::File> handle;
  std::unique_ptr<char[]> buffer;  // null when the slot works unbuffered
  std::int32_t count = 0;          // read mode: bytes not yet consumed; write mode: free bytes
  std::int32_t filled = 0;         // read mode: bytes the last refill brought
  bool read_mode = true;
  bool InUse() const { return handle != nullptr; }
};

// Line-oriented data files in numbered slots. Each open file reads ahead and writes behind
// through a 4096-byte buffer, and reads and writes share the file's one position: after a
// read the position stands at the end of the last block fetched, so a line written after
// reading lands there, not behind the last line read.
class DataFiles {
 public:
  // kUnbuffered is what a slot does when no memory for its buffer can be had: every byte
  // read is a one-byte read, every write goes straight to the file.
  enum class Buffering { kBuffered, kUnbuffered };

  static constexpr std::int32_t kBufferSize = 4096;

  explicit DataFiles(platform::FileSystem& file_system, Buffering buffering = Buffering::kBuffered);
  ~DataFiles();
  DataFiles(const DataFiles&) = delete;
  DataFiles& operator=(const DataFiles&) = delete;

  // Opens a file into a slot (kDynamicSlot for a new unnumbered one), closing whatever file
  // the slot held first, with its pending bytes written. Returns a non-zero number on
  // success (for kDynamicSlot the new slot's identifier), 0 on failure; on failure the
  // slot is left free. A path may use '\' as its separator.
  std::int64_t OpenFile(SlotId slot, const std::string& path, FileOpenMode mode);
  std::int64_t OpenRecordFile(SlotId slot, const std::string& path) {
    return OpenFile(slot, path, FileOpenMode::kOpenOrCreate);
  }

  // The next line without its line end. A line ends at CR LF, LF, a lone CR, a zero byte or
  // the end of the file. Empty at the end of the file or for a slot not in use.
  std::string ReadLine(SlotId slot);

  // Writes the text and CR LF at the file's position. Returns the bytes taken (text + 2),
  // or 0 for a slot not in use. Bytes count as written once they are in the buffer.
  std::int64_t WriteLine(SlotId slot, std::string_view text);

  // Adds the text and CR LF as one whole line at the end of the file, whatever its size and
  // wherever reading stopped, under an exclusive lock so that lines of programs finishing
  // together do not mix. Line breaks and zero bytes inside the text become blanks so the
  // line stays one line. A write that cannot be completed is undone, so no partial line
  // is left. Returns the bytes written, or 0 when the slot is not in use or the write failed.
  std::int64_t AppendLine(SlotId slot, std::string_view text);

  // Writes pending bytes, closes the file and frees the slot. Nothing for a free slot.
  void CloseRecordFile(SlotId slot);

  // Closes every file still open, numbered slots first, then unnumbered ones oldest first.
  void EndFiles();

 private:
  std::unique_ptr<platform::File> OpenWithMode(const std::string& path, FileOpenMode mode);
  static int ReadByte(FileRecord& file);
  static void PushBackByte(FileRecord& file);
  static void WriteBytes(FileRecord& file, const char* data, std::size_t size);
  static void Flush(FileRecord& file);

  platform::FileSystem& file_system_;
  Buffering buffering_;
  SlotTable<FileRecord> files_;
};

}  // namespace grumbol
