// Making a set file as one transaction: a preview is known by the mark the program writes in it,
// a file of the teacher's by the preview's name stops everything before work starts, and
// nothing is put in place before the commit.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "authoring/SetFileTransaction.h"
#include "platform/PngWriter.h"
#include "sheet/SheetLookup.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using test::TempDir;

std::string Png(std::string_view software) {
  std::vector<std::uint32_t> pixels(4 * 3, 0x00FF8040);
  const PixelSurface surface{pixels.data(), 4, 3, 4};
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&data, &size);
  EXPECT_TRUE(WritePng(memory, surface, software));
  std::fclose(memory);
  std::string bytes(data, size);
  std::free(data);
  return bytes;
}

TEST(SetFileTransaction, KnowsOnlyThePreviewsItDrew) {
  const TempDir temp;
  const std::string drawn = Png("Anthora set preview");
  std::string lying = drawn;
  lying[8 + 3] = '\x7F';  // the first chunk claims more bytes than there are
  const struct {
    const char* Name;
    std::string Bytes;
    bool Drawn;
  } cases[] = {
      {"drawn.png", drawn, true},
      {"plain.png", Png({}), false},
      {"other.png", Png("Another program"), false},
      {"marked-later.png", Png({}) + "tEXtSoftware" + '\0' + "Anthora set preview", false},
      {"lying.png", lying, false},
      {"text.png", "Software\0Anthora set preview", false},
      {"empty.png", "", false},
  };
  for (const auto& file : cases)
    EXPECT_EQ(IsDrawnPreview(temp.Write(file.Name, file.Bytes)), file.Drawn) << file.Name;
  EXPECT_FALSE(IsDrawnPreview((temp.Path() / "missing.png").string()));
}

TEST(SetFileTransaction, RefusesAPictureOfTheTeachersAndPutsNothingInPlaceBeforeTheCommit) {
  const TempDir temp;
  const std::string set = (temp.Path() / "roses.anthora").string();
  const std::string photo = temp.Write("roses-preview.png", Png({}));
  EXPECT_THROW(SetFileTransaction({set, true, true, photo}), WriteError);
  EXPECT_FALSE(std::filesystem::exists(set));

  temp.Write("roses-preview.png", Png("Anthora set preview"));
  {
    SetFileTransaction transaction({set, true, true, photo});
    transaction.Commit(false);  // nothing drawn, nothing asked for
    EXPECT_TRUE(transaction.Written().empty());
  }
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(temp.Path()))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"roses-preview.png"});
}

// A spreadsheet program that has the sheet open leaves its lock file beside it.
TEST(OfficeLock, FoundBesideTheSheetByEitherProgramsName) {
  const struct {
    const char* Lock;
    bool Found;
  } cases[] = {{".~lock.questions.ods#", true},
               {"~$questions.ods", true},
               {".~lock.questions.ods", false},
               {".~lock.other.ods#", false},
               {"~$questions.xlsx", false}};
  for (const auto& lock : cases) {
    const TempDir temp;
    const std::string sheet = temp.Write("roses/questions.ods", "");
    const std::string path = temp.Write(std::string("roses/") + lock.Lock, "teacher");
    EXPECT_EQ(OfficeLockFile(sheet), lock.Found ? path : "") << lock.Lock;
  }
}

}  // namespace
}  // namespace anthora
