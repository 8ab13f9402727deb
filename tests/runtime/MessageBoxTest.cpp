// Message boxes: wrapping their text and keeping within the work area.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Dialogs.h"

namespace anthora {
namespace {

constexpr std::string_view kEllipsis = "\x85";

class MessageBoxTest : public ::testing::Test {
 protected:
  MessageBoxTest() {
    application.Title = "Anthora 1.0";
    measure.Font().Assign(TFont());
  }

  std::int32_t Widest(const std::vector<std::string>& lines) {
    std::int32_t widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, measure.TextWidth(line));
    return widest;
  }

  HeadlessPlatform platform;
  TApplication application{platform};
  TCanvas measure;
};

TEST_F(MessageBoxTest, WrapsAtBlanksInsideLongWordsAndAtLineEnds) {
  using ::testing::ElementsAre;
  const std::int32_t width = measure.TextWidth("abcdefghij");
  EXPECT_THAT(WrapText(measure, "short", width, 5), ElementsAre("short"));
  EXPECT_THAT(WrapText(measure, "", width, 5), ElementsAre(""));
  EXPECT_THAT(WrapText(measure, "abcde fghij klm", width, 5), ElementsAre("abcde", "fghij klm"));
  const std::string word = "abcdefghijklmnopqrstuvwxyzabcdefghij";
  const auto pieces = WrapText(measure, word, width, 9);
  EXPECT_GT(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], "abcdefghij");
  EXPECT_LE(Widest(pieces), width);
  std::string joined;
  for (const std::string& piece : pieces) joined += piece;
  EXPECT_EQ(joined, word);
  EXPECT_THAT(WrapText(measure, "one\rtwo\r\n\nthree", width, 5),
              ElementsAre("one", "two", "", "three"));

  // Past the last line that fits, the text is cut and the cut is shown.
  const auto cut = WrapText(measure, "aaaa bbbb cccc dddd eeee ffff", measure.TextWidth("aaaa"), 3);
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[0], "aaaa");
  EXPECT_TRUE(cut[2].ends_with(kEllipsis));
  EXPECT_LE(Widest(cut), measure.TextWidth("aaaa"));
}

TEST_F(MessageBoxTest, AShortTextIsOneLineAndTheBoxFitsItsTitle) {
  TMessageForm box("Anthora 1.0", "'x' is not a valid integer value.", true);
  EXPECT_THAT(box.Lines(), ::testing::ElementsAre("'x' is not a valid integer value."));
  EXPECT_LT(box.ClientWidth(), 1920 / 3);
  const std::string title(40, 'W');
  TMessageForm titled(title, "OK?", false);
  EXPECT_GT(titled.ClientWidth(), measure.TextWidth(title));
}

TEST_F(MessageBoxTest, AHugeTextKeepsTheBoxWithinTheWorkArea) {
  platform.SetWorkArea({0, 0, 800, 600});
  std::string words;
  while (words.size() < 100'000) words += "junk words ";
  for (const std::string& text : {words, std::string(100'000, 'x')}) {
    TMessageForm box("Anthora 1.0", text, true);
    EXPECT_LE(box.ClientWidth(), 800 / 3 + 12 + 32 + 12 + 12);
    EXPECT_LE(box.ClientHeight(), 600);
    EXPECT_LE(Widest(box.Lines()), 800 / 3);
    EXPECT_TRUE(box.Lines().back().ends_with(kEllipsis));
    box.HandleNeeded();  // the platform accepts the window
  }
}

// A question box answers Yes to Enter at first, since Yes has the focus; Tab moves the focus
// to No, which Enter and Space then press; Escape and closing the window answer No. An OK box
// answers Enter and Escape alike.
TEST_F(MessageBoxTest, AQuestionBoxAnswersYesOrNo) {
  const auto answer = [&](const std::vector<TKey>& keys) {
    TMessageForm box("Anthora 1.0", "Play it now?", false, TMessageButtons::YesNo, "Yes", "No");
    box.HandleNeeded();
    const std::size_t window = platform.WindowCount() - 1;
    for (const TKey key : keys) platform.Key(window, key);
    return application.ShowModal(box);
  };
  EXPECT_EQ(answer({VK_RETURN}), mrYes);
  EXPECT_EQ(answer({VK_SPACE}), mrYes);
  EXPECT_EQ(answer({VK_ESCAPE}), mrNo);
  EXPECT_EQ(answer({VK_TAB, VK_RETURN}), mrNo);
  EXPECT_EQ(answer({VK_TAB, VK_SPACE}), mrNo);
  EXPECT_EQ(answer({VK_TAB, VK_TAB, VK_RETURN}), mrYes);

  // A third choice stands between them; Escape still answers No.
  const auto choose = [&](const std::vector<TKey>& keys) {
    TMessageForm box("Anthora 1.0", "Ready.", false, TMessageButtons::YesNo, "Play", "Close",
                     "Open the preview");
    box.HandleNeeded();
    const std::size_t window = platform.WindowCount() - 1;
    for (const TKey key : keys) platform.Key(window, key);
    return application.ShowModal(box);
  };
  EXPECT_EQ(choose({VK_RETURN}), mrYes);
  EXPECT_EQ(choose({VK_TAB, VK_RETURN}), mrIgnore);
  EXPECT_EQ(choose({VK_TAB, VK_TAB, VK_RETURN}), mrNo);
  EXPECT_EQ(choose({VK_ESCAPE}), mrNo);

  // A fourth choice follows the third, before No.
  const auto chooseOfFour = [&](const std::vector<TKey>& keys) {
    TMessageForm box("Anthora 1.0", "Ready.", false, TMessageButtons::YesNo, "Play", "Close",
                     "Open the preview", "Print a worksheet");
    box.HandleNeeded();
    const std::size_t window = platform.WindowCount() - 1;
    for (const TKey key : keys) platform.Key(window, key);
    return application.ShowModal(box);
  };
  EXPECT_EQ(chooseOfFour({VK_TAB, VK_RETURN}), mrIgnore);
  EXPECT_EQ(chooseOfFour({VK_TAB, VK_TAB, VK_RETURN}), mrAll);
  EXPECT_EQ(chooseOfFour({VK_TAB, VK_TAB, VK_TAB, VK_RETURN}), mrNo);
  EXPECT_EQ(chooseOfFour({VK_ESCAPE}), mrNo);

  TMessageForm ok("Anthora 1.0", "Done.", false);
  ok.HandleNeeded();
  platform.Key(platform.WindowCount() - 1, VK_ESCAPE);
  EXPECT_EQ(application.ShowModal(ok), mrOk);
}

}  // namespace
}  // namespace anthora
