#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/Files.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

TEST(FileExists, OnlyFilesThatAreNotFolders) {
  const test::TempDir dir;
  const std::string file = dir.Write("ris/fen.ani", "1\n");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists((dir.Path() / "ris").string()));
  EXPECT_FALSE(FileExists((dir.Path() / "ris/fru.ani").string()));
  EXPECT_FALSE(FileExists(""));

  const std::string fifo = (dir.Path() / "pipe").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_TRUE(FileExists(fifo));

  const std::string dangling = (dir.Path() / "dangling").string();
  ASSERT_EQ(symlink("nowhere", dangling.c_str()), 0);
  EXPECT_FALSE(FileExists(dangling));
}

TEST(FileExists, ANulByteNeverNamesAShorterPath) {
  const test::TempDir dir;
  const std::string file = dir.Write("rose.jpg", "x");
  std::string withNul = file;
  withNul += '\0';
  withNul += "tail";
  EXPECT_FALSE(FileExists(withNul));
}

}  // namespace
}  // namespace anthora
