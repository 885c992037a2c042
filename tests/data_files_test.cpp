#include "runtime/data_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_dir.h"

namespace grumbol {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;
using Buffering = DataFiles::Buffering;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

// The line-end rules hold with the buffer and in the unbuffered fallback alike.
class LineReading : public ::testing::TestWithParam<Buffering> {
 protected:
  Lines Read(const std::string& bytes, int count) {
    WriteFileBytes(dir_.File("lines"), bytes);
    DataFiles files(file_system_, GetParam());
    EXPECT_NE(files.OpenFile(0, dir_.File("lines"), FileOpenMode::kReadExisting), 0);
    Lines lines;
    for (int i = 0; i < count; ++i) lines.push_back(files.ReadLine(0));
    return lines;
  }
  TempDir dir_;
  platform::PosixFileSystem file_system_;
};

TEST_P(LineReading, LineEnds) {
  EXPECT_EQ(Read("abc\r\ndef", 4), (Lines{"abc", "def", "", ""}));
  EXPECT_EQ(Read("abc\n\rdef", 3), (Lines{"abc", "", "def"}));  // LF CR is two line ends
  EXPECT_EQ(Read("abc\r\rdef", 3), (Lines{"abc", "", "def"}));
  EXPECT_EQ(Read("abc\rdef\n", 3), (Lines{"abc", "def", ""}));  // lone CR, next byte kept
  EXPECT_EQ(Read("a\0b\n"s, 3), (Lines{"a", "b", ""}));         // a zero byte ends a line
  EXPECT_EQ(Read("abc\r", 2), (Lines{"abc", ""}));              // CR as the last byte
  EXPECT_EQ(Read("x\r\0y"s, 3), (Lines{"x", "", "y"}));         // a zero after CR is kept
}

TEST_P(LineReading, LongLinesAndLineEndsAcrossBufferBlocks) {
  const std::string long_line(10000, 'q');
  EXPECT_EQ(Read(long_line + "\r\nz", 2), (Lines{long_line, "z"}));
  // CR as the last byte of the first 4096-byte block, what follows it first in the next.
  const std::string first(4095, 'a');
  EXPECT_EQ(Read(first + "\r\nb", 3), (Lines{first, "b", ""}));
  EXPECT_EQ(Read(first + "\rb\r\n", 3), (Lines{first, "b", ""}));
}

INSTANTIATE_TEST_SUITE_P(BothBufferings, LineReading,
                         ::testing::Values(Buffering::kBuffered, Buffering::kUnbuffered),
                         [](const auto& info) {
                           return info.param == Buffering::kBuffered ? "Buffered" : "Unbuffered";
                         });

class DataFilesTest : public ::testing::Test {
 protected:
  // Writes `content`, opens it in slot 0, reads one line, then `write` on slot 0; the bytes.
  template <typename Write>
  std::string ReadThen(const std::string& content, Write write) {
    const std::string path = dir_.File("Vusk.qzc");
    WriteFileBytes(path, content);
    EXPECT_NE(files_.OpenRecordFile(0, path), 0);
    const std::string first = files_.ReadLine(0);
    write(first);
    files_.CloseRecordFile(0);
    return ReadFileBytes(path);
  }

  TempDir dir_;
  platform::PosixFileSystem file_system_;
  DataFiles files_{file_system_};
};

TEST_F(DataFilesTest, WritingAfterReadingFollowsTheSharedPosition) {
  auto write_x = [this](const std::string&) { EXPECT_EQ(files_.WriteLine(0, "X"), 3); };
  EXPECT_EQ(ReadThen("", write_x), "X\r\n");  // a new file: the line goes to the start
  // A 30-byte file was fetched whole by the first read: the line lands at its end.
  const std::string thirty = "Anna: 120\r\nAnna: 120Bob: 500\r\n";
  EXPECT_EQ(ReadThen(thirty, write_x), thirty + "X\r\n");
  // Over 4096 bytes the line lands where the first block ended, over what stood there.
  std::string large(4500, 'z');
  large[10] = '\n';
  std::string expected = large;
  expected.replace(4096, 3, "X\r\n");
  EXPECT_EQ(ReadThen(large, write_x), expected);
}

TEST_F(DataFilesTest, PendingBytesAndTheSwitchBetweenReadingAndWriting) {
  const std::string path = dir_.path().string() + "\\f.txt";  // Windows separators work too
  WriteFileBytes(dir_.File("f.txt"), "AAAA\r\nBBBB\r\nCCCC\r\n");
  ASSERT_NE(files_.OpenRecordFile(0, path), 0);
  EXPECT_EQ(files_.WriteLine(0, ""), 2);  // right after opening: over the first bytes
  files_.WriteLine(0, "XX");
  EXPECT_EQ(ReadFileBytes(dir_.File("f.txt")), "AAAA\r\nBBBB\r\nCCCC\r\n");  // still buffered
  EXPECT_EQ(files_.ReadLine(0), "BBBB");  // the flush wrote them; reading goes on behind
  EXPECT_EQ(ReadFileBytes(dir_.File("f.txt")), "\r\nXX\r\nBBBB\r\nCCCC\r\n");

  // Lines of every size, some larger than the buffer, arrive whole and in order.
  ASSERT_NE(files_.OpenFile(1, dir_.File("g.txt"), FileOpenMode::kCreateOrTruncate), 0);
  std::string written;
  for (int i = 0; i < 300; ++i) {
    const std::string line(static_cast<std::size_t>((i * 37) % 5000),
                           static_cast<char>('a' + i % 26));
    files_.WriteLine(1, line);
    written += line + "\r\n";
  }
  // Opening slot 1 again writes out the old file first, also when the new one fails.
  EXPECT_EQ(files_.OpenRecordFile(1, dir_.File("missing/x")), 0);
  EXPECT_EQ(ReadFileBytes(dir_.File("g.txt")), written);
}

TEST_F(DataFilesTest, OpenModes) {
  const std::string path = dir_.File("m.txt");
  EXPECT_EQ(files_.OpenFile(0, path, FileOpenMode::kReadExisting), 0);
  EXPECT_EQ(files_.OpenFile(0, path, FileOpenMode::kUpdateExisting), 0);
  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kCreateOrTruncate), 0);
  files_.WriteLine(0, "first");
  EXPECT_EQ(files_.ReadLine(0), "");  // write-only
  files_.CloseRecordFile(0);
  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kReadExisting), 0);
  files_.WriteLine(0, "ignored");  // read-only: goes nowhere
  files_.CloseRecordFile(0);
  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kUpdateExisting), 0);
  files_.WriteLine(0, "F");
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "F\r\nst\r\n");
  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kCreateOrTruncate), 0);
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(DataFilesTest, RefusesWhatIsNotARegularFileAndUnknownSlots) {
  std::filesystem::create_directory(dir_.File("GFX"));
  ASSERT_EQ(mkfifo(dir_.File("pipe").c_str(), 0600), 0);
  for (const char* name : {"GFX", "pipe", "missing/Vusk.qzc"}) {
    EXPECT_EQ(files_.OpenFile(0, dir_.File(name), FileOpenMode::kReadExisting), 0) << name;
    EXPECT_EQ(files_.OpenRecordFile(0, dir_.File(name)), 0) << name;  // and does not hang
  }
  for (SlotId slot : {0, 3, -1, -7, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(files_.ReadLine(slot), "");
    EXPECT_EQ(files_.WriteLine(slot, "x"), 0);
    EXPECT_EQ(files_.AppendLine(slot, "x"), 0);
    files_.CloseRecordFile(slot);
  }
  EXPECT_EQ(files_.OpenRecordFile(-2, dir_.File("x")), 0);
  EXPECT_EQ(files_.OpenRecordFile(kMaxSlotNumber + 1, dir_.File("x")), 0);
}

TEST_F(DataFilesTest, UnnumberedAndHighSlotsAndTheEndOfFiles) {
  const std::int64_t id = files_.OpenRecordFile(kDynamicSlot, dir_.File("d"));
  ASSERT_GT(id, kMaxSlotNumber);
  EXPECT_EQ(files_.OpenRecordFile(kDynamicSlot, dir_.File("missing/x")), 0);
  ASSERT_NE(files_.OpenRecordFile(200, dir_.File("h")), 0);
  files_.WriteLine(static_cast<SlotId>(id), "d");
  files_.WriteLine(200, "h");
  files_.CloseRecordFile(200);
  files_.CloseRecordFile(200);  // twice is harmless
  EXPECT_EQ(ReadFileBytes(dir_.File("h")), "h\r\n");
  files_.EndFiles();  // closes the rest with their pending bytes
  EXPECT_EQ(ReadFileBytes(dir_.File("d")), "d\r\n");
  EXPECT_EQ(files_.WriteLine(static_cast<SlotId>(id), "gone"), 0);
}

TEST(DataFilesUnbuffered, WritingGoesStraightToTheFileBehindTheLastByteRead) {
  TempDir dir;
  platform::PosixFileSystem file_system;
  DataFiles files(file_system, Buffering::kUnbuffered);
  WriteFileBytes(dir.File("u"), "ab\rcd\r\nef");
  ASSERT_NE(files.OpenRecordFile(0, dir.File("u")), 0);
  EXPECT_EQ(files.ReadLine(0), "ab");  // the byte after CR was given back
  EXPECT_EQ(files.WriteLine(0, "XY"), 4);
  EXPECT_EQ(ReadFileBytes(dir.File("u")), "ab\rXY\r\nef");
}

// The record line always goes whole at the end, whatever the file's size.
TEST_F(DataFilesTest, AppendLineMatchesReadThenWriteUpTo4096BytesAndKeepsLargerFiles) {
  auto append_bob = [this](const std::string& first) { files_.AppendLine(0, first + "Bob: 50"); };
  auto write_bob = [this](const std::string& first) { files_.WriteLine(0, first + "Bob: 50"); };
  for (const std::string& content :
       {""s, "Anna: 120\r\n"s, "\r\nx\r\n"s, "lone\rcr"s, std::string(4094, 'a') + "\r\n"s}) {
    EXPECT_EQ(ReadThen(content, append_bob), ReadThen(content, write_bob));
  }
  std::string large;
  for (int i = 0; i < 1000; ++i) large += "Anna: 120P" + std::to_string(i) + ": 10\r\n";
  EXPECT_EQ(ReadThen(large, append_bob), large + "Anna: 120P0: 10Bob: 50\r\n");
  const std::string huge_first(100000, 'h');
  EXPECT_EQ(ReadThen(huge_first + "\r\n", append_bob),
            huge_first + "\r\n" + huge_first + "Bob: 50\r\n");
}

TEST_F(DataFilesTest, AppendLineWritesPendingBytesFirstAndKeepsTheLineOneLine) {
  EXPECT_EQ(ReadThen("0123456789",
                     [this](const std::string&) {
                       files_.WriteLine(0, "ab");
                       EXPECT_EQ(files_.AppendLine(0, "x\ry\nz\0!"s), 9);
                     }),
            "0123456789ab\r\nx y z !\r\n");
}

TEST(WriteFaults, AFullDiskLeavesNoFragmentAndTheNextLineIsWhole) {
  TempDir dir;
  testing::FaultyFileSystem file_system;
  DataFiles files(file_system);
  const std::string path = dir.File("Vusk.qzc");
  const std::string content = "Anna: 120\r\nAnna: 120Bob: 50\r\n";
  WriteFileBytes(path, content);
  file_system.SetWriteBudget(7);  // room for part of a line only
  files.OpenRecordFile(0, path);
  EXPECT_EQ(files.AppendLine(0, files.ReadLine(0) + "Carla: 990"), 0);
  files.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), content);

  files.OpenRecordFile(0, path);  // the buffered path: the failed flush is undone too
  EXPECT_EQ(files.ReadLine(0), "Anna: 120");
  EXPECT_EQ(files.WriteLine(0, "lost line"), 11);  // counted once buffered
  files.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), content);

  file_system.Unlimited();
  files.OpenRecordFile(0, path);
  EXPECT_EQ(files.AppendLine(0, files.ReadLine(0) + "Dora: 10"), 19);
  files.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), content + "Anna: 120Dora: 10\r\n");
}

TEST(AppendLineConcurrency, LinesOfProgramsFinishingTogetherStayWhole) {
  TempDir dir;
  const std::string path = dir.File("Vusk.qzc");
  constexpr int kWriters = 4, kLinesEach = 300;
  auto line_of = [](int w, int i) {
    return "w" + std::to_string(w) + "-" + std::to_string(i) +
           std::string(static_cast<std::size_t>(i % 50), '.');
  };
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      platform::PosixFileSystem file_system;
      DataFiles files(file_system);
      for (int i = 0; i < kLinesEach; ++i) {
        files.OpenRecordFile(0, path);
        files.ReadLine(0);
        if (files.AppendLine(0, line_of(w, i)) == 0) _exit(1);
        files.CloseRecordFile(0);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::set<std::string> expected, seen;
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < kLinesEach; ++i) expected.insert(line_of(w, i) + "\r");
  }
  std::istringstream lines(ReadFileBytes(path));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) seen.insert(line);
  EXPECT_EQ(count, kWriters * kLinesEach);
  EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace grumbol
