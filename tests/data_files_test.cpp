#include "runtime/data_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_dir.h"

namespace grumbol {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;
using Buffering = DataFiles::Buffering;
using Lines = std::vector<std::string>;
using Mode = FileOpenMode;
using namespace std::string_literals;

class DataFilesTest : public ::testing::Test {
 protected:
  enum Op { kWrite, kAppend };
  // Writes `content`, opens it as the game opens its record file, reads the first line and
  // writes or appends it with `text` added; the file's bytes then. taken_: what the write said.
  std::string ReadThen(const std::string& content, Op op, const std::string& text) {
    WriteFileBytes(path_, content);
    EXPECT_NE(files_.OpenRecordFile(0, path_), 0);
    const std::string line = files_.ReadLine(0) + text;
    taken_ = op == kAppend ? files_.AppendLine(0, line) : files_.WriteLine(0, line);
    files_.CloseRecordFile(0);
    return ReadFileBytes(path_);
  }

  TempDir dir_;
  const std::string path_ = dir_.File("Vusk.qzc");
  testing::FaultyFileSystem file_system_;  // real files; a full disk when asked
  DataFiles files_{file_system_};
  std::int64_t taken_ = 0;
};

// The line-end rules hold with the buffer and in the unbuffered fallback alike.
class LineReading : public DataFilesTest, public ::testing::WithParamInterface<Buffering> {};

TEST_P(LineReading, LineEndsAlsoAcrossBufferBlocksAndTheWritePositionAfterThem) {
  const std::string long_line(10000, 'q'), first(4095, 'a');  // CR last in the first block
  const std::pair<std::string, Lines> cases[] = {
      // LF CR is two line ends; a lone CR keeps the byte after it.
      {"a\r\nb\n\rc\r\rd\re\n", {"a", "b", "", "c", "", "d", "e", "", ""}},
      // A zero byte ends a line, also right after a CR; a CR as the last byte.
      {"f\0g\r\0h\r"s, {"f", "g", "", "h", "", ""}},
      {long_line + "\r\nz", {long_line, "z"}},
      {first + "\r\nb", {first, "b", ""}},
      {first + "\rb\r\n", {first, "b", ""}}};
  for (const auto& [bytes, lines] : cases) {
    WriteFileBytes(path_, bytes);
    DataFiles files(file_system_, GetParam());
    ASSERT_NE(files.OpenFile(0, path_, Mode::kReadExisting), 0);
    Lines read;
    for (std::size_t i = 0; i < lines.size(); ++i) read.push_back(files.ReadLine(0));
    EXPECT_EQ(read, lines) << ::testing::PrintToString(bytes.substr(0, 12));
  }
  // A line written after reading: unbuffered right behind the last byte read (the byte after
  // the CR was given back), buffered where the block read ended.
  WriteFileBytes(path_, "ab\rcd\r\nef");
  DataFiles files(file_system_, GetParam());
  ASSERT_NE(files.OpenRecordFile(0, path_), 0);
  EXPECT_EQ(files.ReadLine(0), "ab");
  EXPECT_EQ(files.WriteLine(0, "XY"), 4);
  files.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path_),
            GetParam() == Buffering::kUnbuffered ? "ab\rXY\r\nef" : "ab\rcd\r\nefXY\r\n");
}

INSTANTIATE_TEST_SUITE_P(BothBufferings, LineReading,
                         ::testing::Values(Buffering::kBuffered, Buffering::kUnbuffered));

TEST_F(DataFilesTest, WritingAfterReadingFollowsTheSharedPosition) {
  EXPECT_EQ(ReadThen("", kWrite, "X"), "X\r\n");  // a new file: the line goes to the start
  EXPECT_EQ(taken_, 3);
  // A 30-byte file was fetched whole by the first read: the line lands at its end.
  const std::string thirty = "Anna: 120\r\nAnna: 120Bob: 500\r\n";
  EXPECT_EQ(ReadThen(thirty, kWrite, "X"), thirty + "Anna: 120X\r\n");
  // Over 4096 bytes the line lands where the first block ended, over what stood there.
  std::string large(4500, 'z');
  large[3] = '\n';
  std::string expected = large;
  EXPECT_EQ(ReadThen(large, kWrite, "X"), expected.replace(4096, 6, "zzzX\r\n"));
}

// Each mode: whether it opens an existing ("AB") or missing file, reads, writes, truncates.
TEST_F(DataFilesTest, OpenModes) {
  const struct {
    Mode mode;
    bool exists;
    const char* after;  // null when the open fails
  } cases[] = {
      {Mode::kReadExisting, true, "AB\r\n"},        {Mode::kReadExisting, false, nullptr},
      {Mode::kOpenOrCreate, false, "F\r\n"},        {Mode::kCreateOrTruncate, true, "F\r\n"},
      {Mode::kUpdateExisting, true, "AB\r\nF\r\n"}, {Mode::kUpdateExisting, false, nullptr}};
  for (const auto& c : cases) {
    std::filesystem::remove(path_);
    if (c.exists) WriteFileBytes(path_, "AB\r\n");
    EXPECT_EQ(files_.OpenFile(0, path_, c.mode) != 0, c.after != nullptr) << int(c.mode);
    EXPECT_EQ(files_.ReadLine(0), c.after && c.after[0] == 'A' ? "AB" : "") << int(c.mode);
    files_.WriteLine(0, "F");
    files_.CloseRecordFile(0);
    EXPECT_EQ(ReadFileBytes(path_), c.after ? c.after : "") << int(c.mode);  // none made
  }
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
  ASSERT_NE(files_.OpenFile(1, dir_.File("g.txt"), Mode::kCreateOrTruncate), 0);
  std::string written;
  for (std::size_t size : {3000, 5000, 100, 4096, 0, 9000, 2000}) {
    const std::string line(size, static_cast<char>('a' + size % 26));
    files_.WriteLine(1, line);
    written += line + "\r\n";
  }
  // Opening slot 1 again writes out the old file first, also when the new one fails.
  EXPECT_EQ(files_.OpenRecordFile(1, dir_.File("missing/x")), 0);
  EXPECT_EQ(ReadFileBytes(dir_.File("g.txt")), written);
}

TEST_F(DataFilesTest, RefusedOpensFreeSlotsUnnumberedSlotsAndTheEndOfFiles) {
  std::filesystem::create_directory(dir_.File("GFX"));
  ASSERT_EQ(mkfifo(dir_.File("pipe").c_str(), 0600), 0);
  for (const char* name : {"GFX", "pipe", "missing/x"}) {  // a pipe does not hang it either
    EXPECT_EQ(files_.OpenRecordFile(0, dir_.File(name)), 0) << name;
    EXPECT_EQ(files_.OpenRecordFile(kDynamicSlot, dir_.File(name)), 0) << name;
  }
  for (SlotId slot : {-2, kMaxSlotNumber + 1}) EXPECT_EQ(files_.OpenRecordFile(slot, path_), 0);
  for (SlotId slot : {0, 3, -1, INT32_MIN, INT32_MAX}) {  // not in use
    EXPECT_EQ(files_.ReadLine(slot), "");
    EXPECT_EQ(files_.WriteLine(slot, "x") + files_.AppendLine(slot, "x"), 0);
    files_.CloseRecordFile(slot);
  }
  const auto id = static_cast<SlotId>(files_.OpenRecordFile(kDynamicSlot, dir_.File("d")));
  ASSERT_GT(id, kMaxSlotNumber);
  ASSERT_NE(files_.OpenRecordFile(200, dir_.File("h")), 0);
  files_.WriteLine(id, "d");
  files_.WriteLine(200, "h");
  files_.CloseRecordFile(200);
  files_.CloseRecordFile(200);  // twice is harmless
  EXPECT_EQ(ReadFileBytes(dir_.File("h")), "h\r\n");
  files_.EndFiles();  // closes the rest with their pending bytes
  EXPECT_EQ(ReadFileBytes(dir_.File("d")), "d\r\n");
  EXPECT_EQ(files_.WriteLine(id, "gone"), 0);
}

// The record line always goes whole at the end, whatever the file's size; pending bytes first.
TEST_F(DataFilesTest, AppendLineGoesWholeAtTheEnd) {
  for (const std::string& content :
       {""s, "Anna: 120\r\n"s, "\r\nx\r\n"s, "lone\rcr"s, std::string(4094, 'a') + "\r\n"s}) {
    EXPECT_EQ(ReadThen(content, kAppend, "Bob: 50"), ReadThen(content, kWrite, "Bob: 50"));
  }
  std::string large;
  for (int i = 0; i < 1000; ++i) large += "Anna: 120P" + std::to_string(i) + ": 10\r\n";
  EXPECT_EQ(ReadThen(large, kAppend, "Bob: 50"), large + "Anna: 120P0: 10Bob: 50\r\n");
  const std::string huge(100000, 'h');
  EXPECT_EQ(ReadThen(huge + "\r\n", kAppend, ""), huge + "\r\n" + huge + "\r\n");
  EXPECT_EQ(ReadThen("ab\rcd", kAppend, "x\ry\nz\0!"s), "ab\rcdabx y z !\r\n");  // one line
  EXPECT_EQ(taken_, 11);
  ASSERT_NE(files_.OpenRecordFile(0, path_), 0);
  files_.WriteLine(0, "P");  // pending in the buffer: written first
  files_.AppendLine(0, "Q");
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path_), "P\r\ncdabx y z !\r\nQ\r\n");
}

TEST_F(DataFilesTest, AFullDiskLeavesNoFragmentAndTheNextLineIsWhole) {
  const std::string content = "Anna: 120\r\nAnna: 120Bob: 50\r\n";
  file_system_.SetWriteBudget(7);  // room for part of a line only
  EXPECT_EQ(ReadThen(content, kAppend, "Carla: 990"), content);
  EXPECT_EQ(taken_, 0);
  EXPECT_EQ(ReadThen(content, kWrite, "lost"), content);  // a failed flush is undone too
  EXPECT_EQ(taken_, 15);                                  // counted once buffered
  file_system_.Unlimited();
  EXPECT_EQ(ReadThen(content, kAppend, "Dora: 10"), content + "Anna: 120Dora: 10\r\n");
  EXPECT_EQ(taken_, 19);
}

TEST_F(DataFilesTest, AppendLineKeepsTheLinesOfProgramsFinishingTogetherWhole) {
  constexpr int kWriters = 4, kLinesEach = 1000;
  auto line_of = [](int w, int i) {
    return "w" + std::to_string(w) + "-" + std::to_string(i) + std::string(i % 50, '.');
  };
  std::multiset<std::string> expected, seen;
  int start[2];  // the writers start together when this pipe closes
  ASSERT_EQ(pipe(start), 0);
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < kLinesEach; ++i) expected.insert(line_of(w, i) + "\r");
    if (fork() != 0) continue;
    close(start[1]);
    char byte;
    if (read(start[0], &byte, 1) != 0) _exit(2);
    for (int i = 0; i < kLinesEach; ++i) {  // as the game does at the end of each run
      files_.OpenRecordFile(0, path_);
      files_.ReadLine(0);
      if (files_.AppendLine(0, line_of(w, i)) == 0) _exit(1);
      files_.CloseRecordFile(0);
    }
    _exit(0);
  }
  close(start[0]);
  close(start[1]);
  for (int w = 0, status = 0; w < kWriters; ++w) {
    wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::istringstream lines(ReadFileBytes(path_));
  for (std::string line; std::getline(lines, line);) seen.insert(line);
  EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace grumbol
