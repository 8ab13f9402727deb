#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
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

// A folder holds itself and what is below it, never a sibling that starts with its name.
// Paths as the user wrote them: joined, cut at the last name, named after their folder, and
// moved out of a private folder by whole components only.
TEST(Paths, JoinSplitNameAndRename) {
  EXPECT_EQ(JoinPath("", "ris"), "ris");
  EXPECT_EQ(JoinPath(".", "ris"), "ris");
  EXPECT_EQ(JoinPath("/", "ris"), "/ris");
  EXPECT_EQ(JoinPath("set/", "ris"), "set/ris");
  EXPECT_EQ(JoinPath("./set", "ris"), "./set/ris");
  const struct {
    const char* Path;
    const char* Folder;
    const char* Name;
  } splits[] = {{"a/b/c", "a/b", "c"}, {"c", "", "c"}, {"/c", "/", "c"}, {"a/", "a", ""}};
  for (const auto& split : splits) {
    EXPECT_EQ(SplitPath(split.Path).Folder, split.Folder) << split.Path;
    EXPECT_EQ(SplitPath(split.Path).Name, split.Name) << split.Path;
  }
  EXPECT_EQ(FolderName("/home/t/roses/"), "roses");
  EXPECT_EQ(FolderName("/home/t/roses/./"), "roses");
  EXPECT_EQ(FolderName("/"), "");
  EXPECT_EQ(FolderName(""), std::filesystem::current_path().filename().string());
  EXPECT_EQ(Renamed("/p/.x-part-1/set/ris/fen.ani", "/p/.x-part-1/set", "x.anthora"),
            "x.anthora/ris/fen.ani");
  EXPECT_EQ(Renamed("/p/.x-part-1/set", "/p/.x-part-1/set", "x.anthora"), "x.anthora");
  EXPECT_EQ(Renamed("/p/.x-part-1/settle", "/p/.x-part-1/set", "x.anthora"), "/p/.x-part-1/settle");
  EXPECT_EQ(Renamed("/p/sheet.ods", "", "x"), "/p/sheet.ods");
}

TEST(IsWithin, ByWholeComponents) {
  EXPECT_TRUE(IsWithin("/set/ris/a.jpg", "/set"));
  EXPECT_TRUE(IsWithin("/set", "/set"));
  EXPECT_TRUE(IsWithin("/etc/passwd", "/"));
  EXPECT_FALSE(IsWithin("/settings", "/set"));
  EXPECT_FALSE(IsWithin("/", "/set"));
  EXPECT_FALSE(IsWithin("set/a", "/set"));
}

TEST(FindFileIgnoringCase, ExactFirstThenTheLeastNameThatDiffersOnlyInCase) {
  const test::TempDir dir;
  const std::string folder = dir.Path().string() + "/";
  dir.Write("Rose1.JPG", "a");
  dir.Write("rose1.Jpg", "b");
  dir.Write("ROSE1.jpg", "c");
  EXPECT_EQ(FindFileIgnoringCase(folder + "rose1.Jpg"), folder + "rose1.Jpg");
  EXPECT_EQ(FindFileIgnoringCase(folder + "rose1.jpg"), folder + "ROSE1.jpg");

  dir.Write("Роза Ёлка Ґ.jpg", "d");
  EXPECT_EQ(FindFileIgnoringCase(folder + "рОЗА ёЛКА ґ.JPG"), folder + "Роза Ёлка Ґ.jpg");

  std::filesystem::create_directory(dir.Path() / "Tulip.jpg");
  dir.Write("bad\xC0name.jpg", "e");
  EXPECT_EQ(FindFileIgnoringCase(folder + "tulip.jpg"), "");
  EXPECT_EQ(FindFileIgnoringCase(folder + "BAD\xC0NAME.jpg"), folder + "bad\xC0name.jpg");
  EXPECT_EQ(FindFileIgnoringCase(folder + "bad\xE0name.jpg"), "");
  EXPECT_EQ(FindFileIgnoringCase(folder + "nowhere/rose1.jpg"), "");
}

}  // namespace
}  // namespace anthora
