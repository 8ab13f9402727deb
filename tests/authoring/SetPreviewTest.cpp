// The contact sheet of a set, checked by its pixels at their known places, and its file
// written as one step.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "authoring/SetPreview.h"
#include "picture/Jpeg.h"
#include "runtime/graphics/Bitmap.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

constexpr std::uint32_t kGreen = 0x0040C020;  // the picture's colour, 0x00RRGGBB

std::string GreenJpeg() {
  TBitmap bitmap;
  bitmap.SetSize(230, 230);
  for (std::int32_t y = 0; y < 230; ++y) {
    for (std::int32_t x = 0; x < 230; ++x) {
      std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
      pixel[0] = kGreen & 0xFF;
      pixel[1] = (kGreen >> 8) & 0xFF;
      pixel[2] = kGreen >> 16;
    }
  }
  return test::JpegBytes(bitmap);
}

bool Near(std::uint32_t pixel, std::uint32_t colour) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((pixel >> shift) & 0xFF) - int((colour >> shift) & 0xFF)) > 6) return false;
  }
  return true;
}

class SetPreviewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitializeJpegUnit(); }
  static void TearDownTestSuite() { FinalizeJpegUnit(); }

  SetPreviewTest() {
    face.Font.SetName("MS Sans Serif");
    face.Font.SetHeight(-13);
    face.Width = 226;
  }
  SetPreview Draw(const PreviewOrigin* origin = nullptr) {
    const std::string folder = dir.Path().string();
    return DrawSetPreview(folder, CheckQuestionSets(folder, face, kPreviewQuestions), face.Font,
                          &layout, origin);
  }
  // How many pixels of the colour lie in the rectangle.
  static int Count(const SetPreview& preview, std::int32_t left, std::int32_t top,
                   std::int32_t right, std::int32_t bottom, std::uint32_t colour) {
    int count = 0;
    for (std::int32_t y = top; y < bottom; ++y)
      for (std::int32_t x = left; x < right; ++x)
        count += preview.Pixels[static_cast<std::size_t>(y) * preview.Width + x] == colour;
    return count;
  }

  test::TempDir dir;
  AnswerFace face;
  PreviewLayout layout;
};

TEST_F(SetPreviewTest, EachQuestionShowsItsPictureOrACrossAndItsFindingsInRed) {
  dir.Write("ris/rose.jpg", GreenJpeg());
  const std::string set = "2\nrose\nRose\nTulip\nLily\nDaisy\ngone\nAster\nPoppy\nIris\nPeony\n";
  dir.Write("ris/fen.ani", set);
  dir.Write("ris/fru.ani", set);
  const SetPreview preview = Draw();
  ASSERT_EQ(preview.Shown, 2);
  const auto pixel = [&](std::int32_t x, std::int32_t y) {
    return preview.Pixels.at(static_cast<std::size_t>(y) * preview.Width + x);
  };
  const std::int32_t m = PreviewLayout::kMargin;
  const std::int32_t side = 230;

  // Question 1: its picture fills the box; its text has no finding.
  const std::int32_t left1 = layout.CellLeft(0) + m;
  const std::int32_t top1 = layout.CellTop(0) + m;
  EXPECT_TRUE(Near(pixel(left1, top1), kGreen));
  EXPECT_TRUE(Near(pixel(left1 + side - 1, top1 + side - 1), kGreen));
  EXPECT_FALSE(Near(pixel(left1 + side, top1 + side), kGreen));
  const std::int32_t text1 = left1 + side + m;
  const std::int32_t bottom1 = layout.CellTop(0) + layout.CellHeight();
  EXPECT_EQ(Count(preview, text1, top1, text1 + PreviewLayout::kTextWidth, bottom1, 0xFF0000), 0);
  EXPECT_GT(Count(preview, text1, top1, text1 + PreviewLayout::kTextWidth, bottom1, 0), 0);

  // Question 2: a crossed box, and the missing picture in red beside it.
  const std::int32_t left2 = layout.CellLeft(1) + m;
  const std::int32_t top2 = layout.CellTop(1) + m;
  EXPECT_EQ(layout.CellTop(1), layout.CellTop(0));
  for (std::int32_t d : {0, 57, 115, 229}) {
    EXPECT_EQ(pixel(left2 + d, top2 + d), 0x808080u) << d;
    EXPECT_EQ(pixel(left2 + side - 1 - d, top2 + d), 0x808080u) << d;
  }
  EXPECT_EQ(pixel(left2 + 40, top2 + 100), 0xFFFFFFu);
  const std::int32_t text2 = left2 + side + m;
  EXPECT_GT(Count(preview, text2, top2, text2 + PreviewLayout::kTextWidth, bottom1, 0xFF0000), 50);
}

// A card with findings stands out: a red frame three pixels wide and their number in red at the
// right of its title; each card names the sheet row and photo it was made from when known.
TEST_F(SetPreviewTest, ACardWithFindingsHasARedFrameAndEveryCardNamesItsRowAndPhoto) {
  dir.Write("ris/rose.jpg", GreenJpeg());
  const std::string set = "2\nrose\nRose\nTulip\nLily\nDaisy\ngone\nAster\nPoppy\nIris\nPeony\n";
  dir.Write("ris/fen.ani", set);
  dir.Write("ris/fru.ani", set);
  const PreviewOrigin origin{"photos/questions.ods", {2, 5}, {"IMG 0042.JPG", "extra/gone.png"}};
  const SetPreview preview = Draw(&origin);
  const auto pixel = [&](std::int32_t x, std::int32_t y) {
    return preview.Pixels.at(static_cast<std::size_t>(y) * preview.Width + x);
  };
  for (const int index : {0, 1}) {
    const std::int32_t left = layout.CellLeft(index);
    const std::int32_t top = layout.CellTop(index);
    const std::int32_t right = left + layout.CellWidth() - 1;
    const std::int32_t bottom = top + layout.CellHeight() - 1;
    const std::int32_t middle = top + layout.CellHeight() / 2;
    for (const std::int32_t inset : {0, 1, 2}) {
      const std::uint32_t frame = index == 0 ? (inset == 0 ? 0xC0C0C0u : 0xFFFFFFu) : 0xFF0000u;
      EXPECT_EQ(pixel(left + inset, middle), frame) << index << " " << inset;
      EXPECT_EQ(pixel(right - inset, middle), frame) << index << " " << inset;
      EXPECT_EQ(pixel(left + 40, top + inset), frame) << index << " " << inset;
      EXPECT_EQ(pixel(left + 40, bottom - inset), frame) << index << " " << inset;
    }
    EXPECT_EQ(pixel(left + 3, middle), 0xFFFFFFu) << index;
    // The number of findings in red at the right end of the title line.
    const std::int32_t textRight =
        left + PreviewLayout::kMargin + 230 + PreviewLayout::kMargin + PreviewLayout::kTextWidth;
    const std::int32_t titleTop = top + PreviewLayout::kMargin;
    EXPECT_EQ(Count(preview, textRight - 60, titleTop, textRight, titleTop + layout.LineHeight,
                    0xFF0000) > 0,
              index == 1)
        << index;
  }

  const SetCheck check = CheckQuestionSets(dir.Path().string(), face, kPreviewQuestions);
  const CardLabels first = LabelsOfCard(check, 0, &origin);
  EXPECT_EQ(first.Title, "1   rose");
  EXPECT_EQ(first.Origin, "row 2 of questions.ods: IMG 0042.JPG");
  EXPECT_EQ(first.Findings, "");
  const CardLabels second = LabelsOfCard(check, 1, &origin);
  EXPECT_EQ(second.Title, "2   gone");
  EXPECT_EQ(second.Origin, "row 5 of questions.ods: extra/gone.png");
  EXPECT_EQ(second.Findings, std::to_string(check.English.First[1].Problems.size() +
                                            check.Russian.First[1].Problems.size()) +
                                 " findings");
  // Without an origin, a card names what the set itself gives.
  EXPECT_EQ(LabelsOfCard(check, 1, nullptr).Origin, "");
  const PreviewOrigin shorter{"q.tsv", {2}, {"a.jpg"}};
  EXPECT_EQ(LabelsOfCard(check, 1, &shorter).Origin, "");

  // The same set draws the same picture every time.
  EXPECT_EQ(Draw(&origin).Pixels, preview.Pixels);
}

TEST_F(SetPreviewTest, AHugeSetIsCutToOnePictureThatSaysSo) {
  std::string set = "150\n";
  for (int i = 0; i < 150; ++i) set += "gone\nRose\nTulip\nLily\nDaisy\n";
  dir.Write("ris/fen.ani", set);
  dir.Write("ris/fru.ani", set);
  const SetPreview preview = Draw();
  EXPECT_EQ(preview.Shown, kPreviewQuestions);
  EXPECT_EQ(preview.Questions, 150);
  EXPECT_EQ(preview.Height,
            layout.CellTop(kPreviewQuestions - 1) + layout.CellHeight() + PreviewLayout::kMargin);
  EXPECT_EQ(preview.Width, layout.CellLeft(PreviewLayout::kColumns - 1) + layout.CellWidth() +
                               PreviewLayout::kMargin);
}

// A wrong answer the program chose has a blue mark before it, on its own line only, and the
// header says what the mark means; a set without such answers has no blue at all.
TEST_F(SetPreviewTest, AnswersTheProgramChoseAreMarked) {
  const std::string set = "2\nrose\nRose\nTulip\nLily\nDaisy\ngone\nAster\nPoppy\nIris\nPeony\n";
  dir.Write("ris/fen.ani", set);
  dir.Write("ris/fru.ani", set);
  const PreviewOrigin origin{{}, {}, {}, {{0b0110, 0}, {0, 0b1000}}};
  const SetPreview marked = Draw(&origin);
  constexpr std::uint32_t kBlue = 0x0000FF;
  const std::int32_t m = PreviewLayout::kMargin;
  // Lines of a card: the title, then four answers in each language.
  const std::vector<std::vector<int>> markedLines = {{2, 3}, {8}};
  for (const int index : {0, 1}) {
    const std::int32_t text = layout.CellLeft(index) + m + 230 + m;
    const std::int32_t top = layout.CellTop(index) + m;
    for (int line = 0; line < 9; ++line) {
      const std::int32_t y = top + line * layout.LineHeight;
      const bool expected = std::find(markedLines[index].begin(), markedLines[index].end(), line) !=
                            markedLines[index].end();
      EXPECT_EQ(Count(marked, text, y, text + 24, y + layout.LineHeight, kBlue) > 0, expected)
          << index << " " << line;
    }
  }
  EXPECT_GT(Count(marked, 0, 0, marked.Width, layout.HeaderHeight, kBlue), 0);
  const SetPreview plain = Draw();
  EXPECT_EQ(Count(plain, 0, 0, plain.Width, plain.Height, kBlue), 0);
}

}  // namespace
}  // namespace anthora
