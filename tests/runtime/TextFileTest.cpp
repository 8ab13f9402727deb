#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "runtime/base/Exceptions.h"
#include "runtime/files/TextFile.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

std::vector<std::string> ReadLines(std::string_view bytes, int count) {
  const test::TempDir dir;
  TextFile file;
  file.Reset(dir.Write("set.ani", bytes));
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(file.ReadLn());
  return lines;
}

using Lines = std::vector<std::string>;

TEST(TextFile, LfAndCrLfReadAlike) {
  const Lines expected{"10", "rose", "Rose", "Tulip", ""};
  EXPECT_EQ(ReadLines("10\nrose\nRose\nTulip\n", 5), expected);
  EXPECT_EQ(ReadLines("10\r\nrose\r\nRose\r\nTulip\r\n", 5), expected);
  EXPECT_EQ(ReadLines("10\r\nrose\nRose\r\nTulip", 5), expected);
}

TEST(TextFile, ALoneCrIsDropped) {
  EXPECT_EQ(ReadLines("ro\rse\r\r\nx\r", 3), (Lines{"rose", "x", ""}));
  EXPECT_EQ(ReadLines("\r\r\r\n", 2), (Lines{"", ""}));
}

TEST(TextFile, BlanksAndEmptyLinesBelongToTheText) {
  EXPECT_EQ(ReadLines(" rose \n\n\t\n", 4), (Lines{" rose ", "", "\t", ""}));
}

TEST(TextFile, CtrlZEndsTheTextOfItsLineOnly) {
  EXPECT_EQ(ReadLines("Ro\x1Ase tail\nTulip\n", 3), (Lines{"Ro", "Tulip", ""}));
  EXPECT_EQ(ReadLines("\x1A\r\nnext\x1A", 3), (Lines{"", "next", ""}));
}

TEST(TextFile, EndOfFileReadsAsEmptyLinesForever) {
  EXPECT_EQ(ReadLines("last", 4), (Lines{"last", "", "", ""}));
  EXPECT_EQ(ReadLines("", 3), (Lines{"", "", ""}));
}

TEST(TextFile, LinesLongerThanTheBufferAndHighBytes) {
  const std::string longLine(10000, 'a');
  const std::string cyrillic = "\xD0\xEE\xE7\xE0";
  EXPECT_EQ(ReadLines(longLine + "\r\n" + cyrillic + "\n", 3), (Lines{longLine, cyrillic, ""}));
  // A CR LF split across two buffer fills is still one line end.
  const std::string before(4095, 'b');
  EXPECT_EQ(ReadLines(before + "\r\nc", 2), (Lines{before, "c"}));
}

int OpenFailureCode(const std::string& path) {
  TextFile file;
  try {
    file.Reset(path);
  } catch (const EInOutError& error) {
    EXPECT_FALSE(file.IsOpen());
    return error.ErrorCode();
  }
  return 0;
}

TEST(TextFile, OpenFailuresCarryTheRuntimeCodes) {
  const test::TempDir dir;
  EXPECT_EQ(OpenFailureCode((dir.Path() / "missing.ani").string()), 2);
  EXPECT_EQ(OpenFailureCode((dir.Path() / "nofolder/fen.ani").string()), 2);
  EXPECT_EQ(OpenFailureCode(dir.Write("plain", "x") + "/fen.ani"), 3);
  EXPECT_EQ(OpenFailureCode(std::string("fen\0.ani", 8)), 3);
  EXPECT_EQ(OpenFailureCode(dir.Path().string()), 5);

  const std::string fifo = (dir.Path() / "pipe").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(OpenFailureCode(fifo), 5);  // refused at once, not waiting for a writer

  if (geteuid() != 0) {  // root reads whatever the permissions say
    const std::string locked = dir.Write("locked.ani", "1\n");
    chmod(locked.c_str(), 0);
    EXPECT_EQ(OpenFailureCode(locked), 5);
  }
}

TEST(TextFile, OthersMayReadButAWriterHoldingTheFileShutsItOut) {
  const test::TempDir dir;
  const std::string path = dir.Write("fen.ani", "1\n");
  TextFile first, second;
  first.Reset(path);
  second.Reset(path);
  EXPECT_EQ(second.ReadLn(), "1");

  const int writer = open(path.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  EXPECT_NE(flock(writer, LOCK_EX | LOCK_NB), 0);  // our shared lock keeps the writer out
  first.Close();
  second.Close();
  ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(OpenFailureCode(path), 32);
  close(writer);
}

TEST(TextFile, ReadingAFileThatIsNotOpenIsError104) {
  TextFile file;
  try {
    file.ReadLn();
    FAIL();
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode(), 104);
    EXPECT_EQ(error.Message(), "I/O error 104");
  }
}

TEST(TextFile, ResetStartsAgainFromTheFirstLine) {
  const test::TempDir dir;
  const std::string path = dir.Write("fen.ani", "x\n3\n");
  TextFile file;
  file.Reset(path);
  EXPECT_EQ(file.ReadLn(), "x");
  file.Reset(path);
  EXPECT_EQ(file.ReadLn(), "x");
  EXPECT_EQ(file.ReadLn(), "3");
}

}  // namespace
}  // namespace anthora
