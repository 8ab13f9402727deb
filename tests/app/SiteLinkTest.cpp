// The link on the title panel: its colour under the pointer and the address it opens.
#include "app/QuizFixture.h"

namespace anthora::test {
namespace {

constexpr TColor kHover = 0x0018CAFE;
constexpr TColor kNormal = 0x0080FFFF;

using SiteLink = QuizFixture;

TEST_F(SiteLink, LightsUnderThePointerUntilThePictureOrTheLineAbove) {
  const TLabel& link = *form->Label7;
  MoveTo(link, 10, 8);
  EXPECT_EQ(link.Font().Color(), kHover);
  MoveTo(*form->xpButton1, 5, 5);  // straight out of the title panel
  EXPECT_EQ(link.Font().Color(), kHover);
  MoveTo(link, 10, 1);  // the link's top two rows lie under the line above it
  EXPECT_EQ(link.Font().Color(), kNormal);
  MoveTo(link, 10, 2);
  EXPECT_EQ(link.Font().Color(), kHover);
  MoveTo(*form->Image1, 5, 5);
  EXPECT_EQ(link.Font().Color(), kNormal);
}

TEST_F(SiteLink, AClickOrADoubleClickHandsTheAddressToTheDesktopOnce) {
  DoubleClick(*form->Label7);
  EXPECT_THAT(platform.OpenedAddresses(), ::testing::ElementsAre(std::string(kSiteAddress)));
  EXPECT_TRUE(dialogs.empty());
  EXPECT_FALSE(form->xpButton6->Enabled());
}

}  // namespace
}  // namespace anthora::test
