// Tables as spreadsheets save them, and the names their photos get.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "authoring/SetBuilder.h"
#include "authoring/Tsv.h"

namespace anthora {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

TEST(ReadTsv, QuotedCellsLineEndsAndEmptyRows) {
  const TsvTable table = ReadTsv(
      "\xEF\xBB\xBFpicture\ten\r\n\t\r\n"
      "\"a\tb\"\t\"say \"\"hi\"\"\nthere\"\n"
      "last\tcell");
  EXPECT_EQ(table.Error, "");
  ASSERT_EQ(table.Rows.size(), 3u);
  EXPECT_THAT(table.Rows[0].Cells, ElementsAre("picture", "en"));
  EXPECT_THAT(table.Rows[1].Cells, ElementsAre("a\tb", "say \"hi\"\nthere"));
  EXPECT_THAT(table.Rows, ElementsAre(Field(&TsvRow::Line, 1), Field(&TsvRow::Line, 3),
                                      Field(&TsvRow::Line, 5)));

  EXPECT_EQ(ReadTsv("a\n\"open\tcell\n").ErrorLine, 2);
  const std::string_view utf16("\xFE\xFF\0p\0\t\x04\x20\xD8\x3D\xDE\x00\0\n\xD8\x00", 16);
  EXPECT_THAT(ReadTsv(utf16).Rows[0].Cells, ElementsAre("p", "Р😀"));
  EXPECT_THAT(ReadTsv(std::string_view("\xFF\xFE\x00\xDCx", 5)).Rows[0].Cells,
              ElementsAre("\uFFFD"));
}

TEST(SafePictureName, LowerCaseAsciiFromAnyName) {
  EXPECT_EQ(SafePictureName("photos/IMG_0042.JPG"), "img-0042");
  EXPECT_EQ(SafePictureName("Роза Щёлк.png"), "roza-shchelk");
  EXPECT_EQ(SafePictureName("  ~~Rose  (2)~~.jpeg"), "rose-2");
  EXPECT_EQ(SafePictureName("日本.jpg"), "photo");
  EXPECT_EQ(SafePictureName(".hidden"), "hidden");
}

}  // namespace
}  // namespace anthora
