#include "runtime/data_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "tests/support/temp_dir.h"

namespace grumbol {
namespace {

using namespace testing;
using namespace std::string_literals;

// A disk that fills up, as a file-size limit makes one: the write that crosses it stores what
// fits and reports the short count, and later writes fail (EFBIG, with SIGXFSZ ignored).
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
  rlimit old{};
};

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
  platform::PosixFileSystem file_system_;
  DataFiles files_{file_system_};
  std::int64_t taken_ = 0;
};

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
  EXPECT_EQ(ReadThen("ab\rcd", kAppend, "x\ry\nz\0!"s), "ab\rcdabx y z !\r\n");  // one line
  EXPECT_EQ(taken_, 11);
  ASSERT_NE(files_.OpenRecordFile(0, path_), 0);
  files_.WriteLine(0, "P");  // pending in the buffer: written first
  files_.AppendLine(0, "Q");
  files_.CloseRecordFile(0);
  EXPECT_EQ(ReadFileBytes(path_), "P\r\ncdabx y z !\r\nQ\r\n");
}

TEST_F(DataFilesTest, AFullDiskLeavesNoFragmentAndTheNextLineIsWhole) {
  const std::string content = "Anna: 120\r\nAnna: 120Bob: 50\r\n", first = "Anna: 120\r\n";
  std::string appended, written;  // compared once the limit is gone, so that failures print
  std::int64_t append_taken = 0;
  {
    FileSizeLimit full(content.size() + 7);  // room for part of a line only
    appended = ReadThen(content, kAppend, "Carla: 990");
    append_taken = taken_;
  }
  {
    FileSizeLimit full(first.size() + 7);
    written = ReadThen(first, kWrite, "lost");  // a failed flush is undone too
  }
  EXPECT_EQ(appended, content);
  EXPECT_EQ(append_taken, 0);
  EXPECT_EQ(written, first);
  EXPECT_EQ(taken_, 15);  // counted once buffered
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
