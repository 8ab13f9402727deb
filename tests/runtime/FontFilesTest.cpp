// Where the font files are found when Debian's packages did not put them in their place.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "runtime/graphics/FontFace.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using Paths = std::vector<std::filesystem::path>;

TEST(FontFiles, TheDesktopsFoldersInOrderAndTheFirstFileAnywhereBelowThem) {
  EXPECT_EQ(DesktopFontFolders("/home/ann", nullptr, nullptr),
            (Paths{"/home/ann/.local/share/fonts", "/home/ann/.fonts", "/usr/local/share/fonts",
                   "/usr/share/fonts"}));
  EXPECT_EQ(DesktopFontFolders("/home/ann", "/data", "/opt/share::relative:/usr/share"),
            (Paths{"/data/fonts", "/home/ann/.fonts", "/opt/share/fonts", "/usr/share/fonts"}));
  EXPECT_EQ(DesktopFontFolders(nullptr, "relative", ""),
            (Paths{"/usr/local/share/fonts", "/usr/share/fonts"}));

  const test::TempDir first, second;
  std::filesystem::create_directories(first.Path() / "deep/er");
  first.Write("deep/er/LiberationSans-Bold.ttf", "");
  second.Write("LiberationSans-Bold.ttf", "");
  second.Write("DejaVuSans.ttf", "");
  std::filesystem::create_directory(first.Path() / "DejaVuSans.ttf");  // not a file
  const Paths folders{"/no/such/folder", first.Path(), second.Path()};
  EXPECT_EQ(FindFontFile("LiberationSans-Bold.ttf", folders),
            (first.Path() / "deep/er/LiberationSans-Bold.ttf").string());
  EXPECT_EQ(FindFontFile("DejaVuSans.ttf", folders), (second.Path() / "DejaVuSans.ttf").string());
  EXPECT_EQ(FindFontFile("Missing.ttf", folders), "");
}

// Fonts kept elsewhere and linked into a font folder are found; a link back up is looked
// through once.
TEST(FontFiles, LinkedFoldersAreFollowedAndALoopEnds) {
  const test::TempDir fonts, elsewhere;
  std::filesystem::create_directories(elsewhere.Path() / "family");
  elsewhere.Write("family/DejaVuSans.ttf", "");
  std::filesystem::create_directory_symlink(elsewhere.Path() / "family", fonts.Path() / "linked");
  std::filesystem::create_directory_symlink(fonts.Path(), fonts.Path() / "loop");
  std::filesystem::create_directory_symlink(fonts.Path() / "loop", elsewhere.Path() / "family/up");
  const Paths folders{fonts.Path()};
  const std::string found = FindFontFile("DejaVuSans.ttf", folders);
  EXPECT_TRUE(found == (fonts.Path() / "linked/DejaVuSans.ttf").string() ||
              found == (fonts.Path() / "loop/linked/DejaVuSans.ttf").string())
      << found;
  EXPECT_EQ(FindFontFile("Missing.ttf", folders), "");
}

}  // namespace
}  // namespace anthora
