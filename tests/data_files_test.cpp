#include "runtime/data_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
using namespace std::string_literals;

std::vector<std::string> ReadAllLines(DataFiles& files, SlotId slot, int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(files.ReadLine(slot));
  return lines;
}

using Lines = std::vector<std::string>;

// The line-end rules hold with the buffer and in the unbuffered fallback alike.
class LineReading : public ::testing::TestWithParam<Buffering> {
 protected:
  Lines Read(const std::string& bytes, int count) {
    const std::string path = dir_.File("lines.txt");
    WriteFileBytes(path, bytes);
    DataFiles files(file_system_, GetParam());
    EXPECT_NE(files.OpenFile(0, path, FileOpenMode::kReadExisting), 0);
    return ReadAllLines(files, 0, count);
  }

  TempDir dir_;
  platform::PosixFileSystem file_system_;
};

TEST_P(LineReading, LineEnds) {
  EXPECT_EQ(Read("abc\r\ndef", 4), (Lines{"abc", "def", "", ""}));
  EXPECT_EQ(Read("abc\n\rdef", 3), (Lines{"abc", "", "def"}));  // LF CR is two line ends
  EXPECT_EQ(Read("abc\r\rdef", 3), (Lines{"abc", "", "def"}));
  EXPECT_EQ(Read("abc\rdef\n", 3), (Lines{"abc", "def", ""}));  // lone CR, next byte kept
  EXPECT_EQ(Read("a\0b\n"s, 3), (Lines{"a", "b", ""}));         // zero byte ends a line
  EXPECT_EQ(Read("abc\r", 3), (Lines{"abc", "", ""}));          // CR as the last byte
  EXPECT_EQ(Read("\r\nx", 2), (Lines{"", "x"}));
  EXPECT_EQ(Read("x\r\0y"s, 3), (Lines{"x", "", "y"}));  // a zero after CR is pushed back
  EXPECT_EQ(Read("", 2), (Lines{"", ""}));
}

TEST_P(LineReading, LongLinesAndLineEndsAcrossBufferBlocks) {
  const std::string long_line(10000, 'q');
  EXPECT_EQ(Read(long_line + "\r\nz", 2), (Lines{long_line, "z"}));

  // CR as the last byte of the first 4096-byte block, its partner first in the next.
  const std::string first(4095, 'a');
  EXPECT_EQ(Read(first + "\r\nb", 3), (Lines{first, "b", ""}));
  EXPECT_EQ(Read(first + "\rb\r\n", 3), (Lines{first, "b", ""}));
  const std::string exact(4096, 'c');
  EXPECT_EQ(Read(exact + "\r\n" + exact, 3), (Lines{exact, exact, ""}));
}

INSTANTIATE_TEST_SUITE_P(BothBufferings, LineReading,
                         ::testing::Values(Buffering::kBuffered, Buffering::kUnbuffered),
                         [](const auto& info) {
                           return info.param == Buffering::kBuffered ? "Buffered" : "Unbuffered";
                         });

class DataFilesTest : public ::testing::Test {
 protected:
  TempDir dir_;
  platform::PosixFileSystem file_system_;
  DataFiles files_{file_system_};
};

TEST_F(DataFilesTest, WritingAfterReadingFollowsTheSharedPosition) {
  // A new file: nothing to read, the line goes to the start.
  const std::string fresh = dir_.File("new.qzc");
  ASSERT_NE(files_.OpenRecordFile(0, fresh), 0);
  EXPECT_EQ(files_.ReadLine(0), "");
  EXPECT_EQ(files_.WriteLine(0, "Anna: 120"), 11);
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(fresh), "Anna: 120\r\n");

  // A 30-byte file: the first read fetched it all, so the line lands at its end.
  const std::string small = dir_.File("small.qzc");
  const std::string thirty = "Anna: 120\r\nAnna: 120Bob: 500\r\n";
  ASSERT_EQ(thirty.size(), 30u);  // keep the case what it says
  WriteFileBytes(small, thirty);
  ASSERT_NE(files_.OpenRecordFile(0, small), 0);
  EXPECT_EQ(files_.ReadLine(0), "Anna: 120");
  EXPECT_EQ(files_.WriteLine(0, "X"), 3);
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(small), thirty + "X\r\n");

  // Over 4096 bytes: the line lands where the first block ended, over what stood there.
  const std::string large = dir_.File("large.qzc");
  std::string content(4500, 'z');
  content[10] = '\n';
  WriteFileBytes(large, content);
  ASSERT_NE(files_.OpenRecordFile(0, large), 0);
  EXPECT_EQ(files_.ReadLine(0), std::string(10, 'z'));
  files_.WriteLine(0, "NEW");
  files_.CloseRecordFile(0);
  std::string expected = content;
  expected.replace(4096, 5, "NEW\r\n");
  EXPECT_EQ(ReadFileBytes(large), expected);
}

TEST_F(DataFilesTest, WritingRightAfterOpeningOverwritesFromTheStartWithoutShortening) {
  const std::string path = dir_.File("f.txt");
  WriteFileBytes(path, "0123456789");
  ASSERT_NE(files_.OpenRecordFile(0, path), 0);
  EXPECT_EQ(files_.WriteLine(0, ""), 2);
  EXPECT_EQ(files_.WriteLine(0, "ab"), 4);
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "\r\nab\r\n6789");
}

TEST_F(DataFilesTest, ReadingAfterWritingFlushesAndContinuesBehindTheWrittenBytes) {
  const std::string path = dir_.File("f.txt");
  WriteFileBytes(path, "AAAA\r\nBBBB\r\nCCCC\r\n");
  ASSERT_NE(files_.OpenRecordFile(0, path), 0);
  files_.WriteLine(0, "XX");
  EXPECT_EQ(ReadFileBytes(path), "AAAA\r\nBBBB\r\nCCCC\r\n");  // still in the buffer
  EXPECT_EQ(files_.ReadLine(0), "");  // the CR LF behind "XX\r\n" ended the old line
  EXPECT_EQ(ReadFileBytes(path), "XX\r\n\r\nBBBB\r\nCCCC\r\n");
  EXPECT_EQ(files_.ReadLine(0), "BBBB");
}

TEST_F(DataFilesTest, WritesOfAnySizeArriveInOrder) {
  const std::string path = dir_.File("f.txt");
  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kCreateOrTruncate), 0);
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    const std::string line(static_cast<std::size_t>((i * 37) % 5000), static_cast<char>('a' + i % 26));
    files_.WriteLine(0, line);
    expected += line + "\r\n";
  }
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(DataFilesTest, OpenModes) {
  const std::string path = dir_.File("m.txt");
  EXPECT_EQ(files_.OpenFile(0, path, FileOpenMode::kReadExisting), 0);
  EXPECT_EQ(files_.OpenFile(0, path, FileOpenMode::kUpdateExisting), 0);

  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kCreateOrTruncate), 0);
  files_.WriteLine(0, "first");
  EXPECT_EQ(files_.ReadLine(0), "");  // write-only: nothing can be read back
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "first\r\n");

  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kReadExisting), 0);
  files_.WriteLine(0, "ignored");
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "first\r\n");  // read-only: the write went nowhere

  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kUpdateExisting), 0);
  files_.WriteLine(0, "F");
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "F\r\nst\r\n");

  ASSERT_NE(files_.OpenFile(0, path, FileOpenMode::kCreateOrTruncate), 0);
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(DataFilesTest, WindowsSeparatorsOpenTheSameFile) {
  std::filesystem::create_directory(dir_.path() / "GFX");
  WriteFileBytes(dir_.File("GFX/Vusk.qzc"), "Anna: 120\r\n");
  ASSERT_NE(files_.OpenRecordFile(0, dir_.path().string() + "\\GFX\\Vusk.qzc"), 0);
  EXPECT_EQ(files_.ReadLine(0), "Anna: 120");
}

TEST_F(DataFilesTest, RefusesWhatIsNotARegularFile) {
  const std::string folder = dir_.File("GFX");
  std::filesystem::create_directory(folder);
  EXPECT_EQ(files_.OpenRecordFile(0, folder), 0);
  EXPECT_EQ(files_.OpenFile(0, folder, FileOpenMode::kReadExisting), 0);

  const std::string fifo = dir_.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(files_.OpenFile(0, fifo, FileOpenMode::kReadExisting), 0);  // and does not hang
  EXPECT_EQ(files_.OpenRecordFile(0, fifo), 0);

  EXPECT_EQ(files_.OpenRecordFile(0, dir_.File("missing/Vusk.qzc")), 0);
  EXPECT_EQ(files_.ReadLine(0), "");
  EXPECT_EQ(files_.WriteLine(0, "x"), 0);
}

TEST_F(DataFilesTest, ReopeningASlotWritesOutAndClosesTheOldFileFirst) {
  const std::string a = dir_.File("a.txt"), b = dir_.File("b.txt");
  ASSERT_NE(files_.OpenRecordFile(0, a), 0);
  files_.WriteLine(0, "pending");
  ASSERT_NE(files_.OpenRecordFile(0, b), 0);
  EXPECT_EQ(ReadFileBytes(a), "pending\r\n");
  files_.WriteLine(0, "second");
  // Also when the new file cannot be opened.
  EXPECT_EQ(files_.OpenRecordFile(0, dir_.File("missing/x")), 0);
  EXPECT_EQ(ReadFileBytes(b), "second\r\n");
  EXPECT_EQ(files_.WriteLine(0, "nowhere"), 0);
}

TEST_F(DataFilesTest, UnknownSlotsAndDoubleClosesAreHarmless) {
  EXPECT_EQ(files_.ReadLine(3), "");
  EXPECT_EQ(files_.WriteLine(3, "x"), 0);
  EXPECT_EQ(files_.AppendLine(3, "x"), 0);
  EXPECT_EQ(files_.OpenRecordFile(-2, dir_.File("x")), 0);
  EXPECT_EQ(files_.OpenRecordFile(kMaxSlotNumber + 1, dir_.File("x")), 0);
  EXPECT_EQ(files_.ReadLine(-7), "");
  EXPECT_EQ(files_.WriteLine(INT32_MIN, "x"), 0);
  files_.CloseRecordFile(-1);
  files_.CloseRecordFile(INT32_MAX);

  ASSERT_NE(files_.OpenRecordFile(200, dir_.File("x")), 0);  // beyond the first 16 slots
  files_.WriteLine(200, "x");
  files_.CloseRecordFile(200);
  files_.CloseRecordFile(200);
  EXPECT_EQ(ReadFileBytes(dir_.File("x")), "x\r\n");
}

TEST_F(DataFilesTest, UnnumberedSlotsWorkLikeNumberedOnes) {
  const std::string path = dir_.File("d.txt");
  const std::int64_t id = files_.OpenRecordFile(kDynamicSlot, path);
  ASSERT_GT(id, kMaxSlotNumber);
  EXPECT_EQ(files_.WriteLine(static_cast<SlotId>(id), "dyn"), 5);
  EXPECT_EQ(files_.OpenRecordFile(kDynamicSlot, dir_.File("missing/x")), 0);
  files_.CloseRecordFile(static_cast<SlotId>(id));
  EXPECT_EQ(ReadFileBytes(path), "dyn\r\n");
  EXPECT_EQ(files_.WriteLine(static_cast<SlotId>(id), "gone"), 0);
}

TEST(DataFilesShutdown, EndingClosesEveryFileWithItsPendingBytes) {
  TempDir dir;
  platform::PosixFileSystem file_system;
  {
    DataFiles files(file_system);
    files.OpenRecordFile(0, dir.File("a"));
    files.OpenRecordFile(5, dir.File("b"));
    files.OpenRecordFile(kDynamicSlot, dir.File("c"));
    files.WriteLine(0, "a");
    files.WriteLine(5, "b");
    files.WriteLine(static_cast<SlotId>(files.OpenRecordFile(kDynamicSlot, dir.File("d"))), "d");
    files.EndFiles();
    EXPECT_EQ(ReadFileBytes(dir.File("a")), "a\r\n");
    EXPECT_EQ(ReadFileBytes(dir.File("b")), "b\r\n");
    EXPECT_EQ(ReadFileBytes(dir.File("d")), "d\r\n");
    EXPECT_EQ(files.WriteLine(0, "closed"), 0);
    files.OpenRecordFile(1, dir.File("e"));
    files.WriteLine(1, "e");
  }  // the destructor ends whatever is still open
  EXPECT_EQ(ReadFileBytes(dir.File("e")), "e\r\n");
}

TEST(DataFilesUnbuffered, WritingGoesStraightToTheFileBehindTheLastByteRead) {
  TempDir dir;
  platform::PosixFileSystem file_system;
  DataFiles files(file_system, Buffering::kUnbuffered);
  const std::string path = dir.File("u.txt");
  WriteFileBytes(path, "ab\rcd\r\nef");
  ASSERT_NE(files.OpenRecordFile(0, path), 0);
  EXPECT_EQ(files.ReadLine(0), "ab");  // the byte after CR was given back
  EXPECT_EQ(files.WriteLine(0, "XY"), 4);
  EXPECT_EQ(ReadFileBytes(path), "ab\rXY\r\nef");
}

// The record line always goes at the end, whatever the file's size.
class AppendLineTest : public DataFilesTest {
 protected:
  std::string AppendAfterFirstLine(const std::string& content, const std::string& line) {
    const std::string path = dir_.File("Vusk.qzc");
    WriteFileBytes(path, content);
    files_.OpenRecordFile(0, path);
    const std::string first = files_.ReadLine(0);
    files_.AppendLine(0, first + line);
    files_.CloseRecordFile(0);
    return ReadFileBytes(path);
  }
};

TEST_F(AppendLineTest, MatchesReadThenWriteForFilesUpTo4096Bytes) {
  for (const std::string& content :
       {""s, "Anna: 120\r\n"s, "\r\nx\r\n"s, "lone\rcr"s, std::string(4094, 'a') + "\r\n"s,
        "no line end"s}) {
    const std::string path = dir_.File("ref.qzc");
    WriteFileBytes(path, content);
    files_.OpenRecordFile(0, path);
    files_.WriteLine(0, files_.ReadLine(0) + "Bob: 50");
    files_.CloseRecordFile(0);
    EXPECT_EQ(AppendAfterFirstLine(content, "Bob: 50"), ReadFileBytes(path));
  }
}

TEST_F(AppendLineTest, KeepsEveryLineOfLargeFiles) {
  std::string content;
  for (int i = 0; i < 1000; ++i) content += "Anna: 120Player" + std::to_string(i) + ": 10\r\n";
  ASSERT_GT(content.size(), 4096u * 5);
  EXPECT_EQ(AppendAfterFirstLine(content, "Bob: 50"), content + "Anna: 120Player0: 10Bob: 50\r\n");

  const std::string huge_first_line(100000, 'h');
  EXPECT_EQ(AppendAfterFirstLine(huge_first_line + "\r\n", "B: 1"),
            huge_first_line + "\r\n" + huge_first_line + "B: 1\r\n");
}

TEST_F(AppendLineTest, WritesPendingBytesFirstAndKeepsTheLineOneLine) {
  const std::string path = dir_.File("f.qzc");
  WriteFileBytes(path, "0123456789");
  files_.OpenRecordFile(0, path);
  files_.WriteLine(0, "ab");
  EXPECT_EQ(files_.AppendLine(0, "x\ry\nz\0!"s), 9);
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "ab\r\n456789x y z !\r\n");
}

TEST(AppendLineFaults, AFullDiskLeavesTheFileAsItWas) {
  TempDir dir;
  testing::FaultyFileSystem file_system;
  DataFiles files(file_system);
  const std::string path = dir.File("Vusk.qzc");
  const std::string content = "Anna: 120\r\nAnna: 120Bob: 50\r\n";
  WriteFileBytes(path, content);

  file_system.SetWriteBudget(7);  // room for part of the line only
  ASSERT_NE(files.OpenRecordFile(0, path), 0);
  const std::string first = files.ReadLine(0);
  EXPECT_EQ(files.AppendLine(0, first + "Carla: 990"), 0);
  files.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), content);

  // Once there is room again the next game's line is whole.
  file_system.Unlimited();
  files.OpenRecordFile(0, path);
  EXPECT_EQ(files.AppendLine(0, files.ReadLine(0) + "Dora: 10"), 19);
  files.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), content + "Anna: 120Dora: 10\r\n");
}

TEST(WriteFaults, AFailedFlushLeavesNoFragment) {
  TempDir dir;
  testing::FaultyFileSystem file_system;
  DataFiles files(file_system);
  const std::string path = dir.File("f.txt");
  WriteFileBytes(path, "keep\r\n");
  file_system.SetWriteBudget(3);
  files.OpenRecordFile(0, path);
  EXPECT_EQ(files.ReadLine(0), "keep");
  EXPECT_EQ(files.WriteLine(0, "lost line"), 11);  // counted once buffered
  files.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path), "keep\r\n");
}

TEST(AppendLineConcurrency, LinesOfProgramsFinishingTogetherStayWhole) {
  TempDir dir;
  const std::string path = dir.File("Vusk.qzc");
  constexpr int kWriters = 4;
  constexpr int kLinesEach = 300;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      platform::PosixFileSystem file_system;
      DataFiles files(file_system);
      for (int i = 0; i < kLinesEach; ++i) {
        files.OpenRecordFile(0, path);
        const std::string first = files.ReadLine(0);
        const std::string line = "writer" + std::to_string(w) + "-" + std::to_string(i) +
                                 std::string(static_cast<std::size_t>(i % 50), '.') + ": 10";
        if (files.AppendLine(0, line) == 0) _exit(1);
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

  std::istringstream lines(ReadFileBytes(path));
  std::string line;
  std::vector<int> seen(kWriters * kLinesEach, 0);
  int count = 0;
  while (std::getline(lines, line)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r') << line;
    int w = -1, i = -1;
    ASSERT_EQ(sscanf(line.c_str(), "writer%d-%d", &w, &i), 2) << line;
    ASSERT_TRUE(w >= 0 && w < kWriters && i >= 0 && i < kLinesEach) << line;
    const std::string expected = "writer" + std::to_string(w) + "-" + std::to_string(i) +
                                 std::string(static_cast<std::size_t>(i % 50), '.') + ": 10\r";
    ASSERT_EQ(line, expected);
    ++seen[static_cast<std::size_t>(w * kLinesEach + i)];
    ++count;
  }
  EXPECT_EQ(count, kWriters * kLinesEach);
  for (int s : seen) EXPECT_EQ(s, 1);
}

}  // namespace
}  // namespace grumbol
