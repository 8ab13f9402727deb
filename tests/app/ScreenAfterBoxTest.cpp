// What the window shows once each of the quiz's boxes is closed: everything painted reaches
// the screen, and the picture box shows its own picture, never what lies beneath it.
#include <filesystem>

#include "app/QuizFixture.h"
#include "runtime/graphics/Canvas.h"

namespace anthora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

// The pixels of a picture drawn alone into a box of the given size.
std::vector<std::uint32_t> Drawn(TGraphic& graphic, std::int32_t width, std::int32_t height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
  TCanvas canvas(PixelSurface{pixels.data(), width, height, width});
  graphic.Draw(canvas, {0, 0, width, height});
  return pixels;
}

class ScreenAfterBox : public QuizFixture {
 protected:
  // The screen's pixels of a rectangle of the main window.
  std::vector<std::uint32_t> ShownIn(const TRect& rect) {
    const PixelSurface screen = platform.Window(0).Screen();
    std::vector<std::uint32_t> pixels;
    for (std::int32_t y = rect.Top; y < rect.Bottom; ++y) {
      for (std::int32_t x = rect.Left; x < rect.Right; ++x) pixels.push_back(screen.At(x, y));
    }
    return pixels;
  }

  // The screen holds what a full repaint of the window draws, and the picture box the
  // expected pixels.
  void ExpectScreen(const std::vector<std::uint32_t>& picture) {
    const TRect box = form->Image1->FormRect();
    EXPECT_TRUE(ShownIn(box) == picture) << "the picture box shows another picture";
    const std::vector<std::uint32_t> shown = platform.Window(0).ScreenPixels;
    form->InvalidateRect(form->ClientRect());
    form->PaintPending();
    EXPECT_TRUE(platform.Window(0).ScreenPixels == shown) << "the screen lags behind the window";
  }

  // The title picture as the picture box draws it once the title texts are hidden.
  std::vector<std::uint32_t> TitlePicture() {
    return Drawn(*form->Image1->Picture().Graphic(), 230, 230);
  }
};

TEST_F(ScreenAfterBox, AMissingSetFileLeavesTheTitlePicture) {
  WriteQuiz("1", NumberedQuestions(1));
  std::filesystem::remove("ris/fru.ani");
  const auto title = TitlePicture();
  ChooseEnglish();
  PressStart();
  ASSERT_EQ(dialogs.size(), 1u);
  ExpectScreen(title);
}

TEST_F(ScreenAfterBox, ABadCountLineLeavesTheTitlePicture) {
  WriteQuiz("twelve", NumberedQuestions(1));
  const auto title = TitlePicture();
  ChooseRussian();
  PressStart();
  ASSERT_EQ(dialogs.size(), 1u);
  ExpectScreen(title);
}

TEST_F(ScreenAfterBox, AMissingPictureLeavesThePictureBefore) {
  WriteQuiz("2", NumberedQuestions(2));
  WriteFile("ris/q1.jpg", StripedJpegBytes(230, 230));
  std::filesystem::remove("ris/q2.jpg");
  ChooseEnglish();
  PressStart();
  const auto first = Drawn(*form->Image1->Picture().Graphic(), 230, 230);
  Answer(1);
  PressStart();
  ASSERT_EQ(dialogs.size(), 1u);
  ExpectScreen(first);
}

// A picture whose decode fails before it makes a row (an empty file) paints nothing of a
// picture: the box shows the colour of the title panel it lies on, never the window's
// background.
TEST_F(ScreenAfterBox, APictureThatNeverDecodesShowsThePanelsColour) {
  WriteQuiz("2", NumberedQuestions(2));
  WriteFile("ris/q1.jpg", "");
  ChooseEnglish();
  PressStart();
  ASSERT_THAT(dialogs, ElementsAre(Field(&ShownDialog::Text, "JPEG error #42.")));
  constexpr std::uint32_t kPanelGrey = 0xF0F0F0;
  const TRect box = form->Image1->FormRect();
  ExpectScreen(
      std::vector<std::uint32_t>(static_cast<std::size_t>(box.Width() * box.Height()), kPanelGrey));
}

class DamagedPicture : public ScreenAfterBox, public ::testing::WithParamInterface<double> {};

// The decode fails at the picture's first paint; the rows it made are shown once the report
// is closed, in the window and on the screen, and later paints raise nothing.
TEST_P(DamagedPicture, ShowsTheRowsDecodedOnceItsReportIsClosed) {
  const std::string bytes = WithUnknownMarker(StripedJpegBytes(230, 230), GetParam());
  WriteQuiz("2", NumberedQuestions(2));
  WriteFile("ris/q1.jpg", bytes);
  TJPEGImage expected;
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), bytes.size());
  stream.Seek(0, TSeekOrigin::soBeginning);
  expected.LoadFromStream(stream);
  EXPECT_THROW(Drawn(expected, 230, 230), EJPEG);

  ChooseEnglish();
  PressStart();
  ASSERT_THAT(dialogs, ElementsAre(Field(&ShownDialog::Text, "JPEG error #68.")));
  ExpectScreen(Drawn(expected, 230, 230));
  EXPECT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(form->xpButton1->Caption(), "Right 1");
}

INSTANTIATE_TEST_SUITE_P(EarlyAndLate, DamagedPicture, ::testing::Values(0.1, 0.9),
                         [](const auto& param) {
                           return param.param < 0.5 ? std::string("Early") : std::string("Late");
                         });

}  // namespace
}  // namespace anthora::test
