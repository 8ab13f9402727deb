// Pictures named in Windows-1251, in another letter case or with their accents stored apart are
// found as where names ignore case.
#include <gtest/gtest.h>

#include "quiz/QuestionSet.h"
#include "runtime/base/Cp1251.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

TEST(LocatePicture, ConvertsTheNameThenTriesItsBytesThenIgnoresCase) {
  const test::TempDir dir;
  const std::string set = dir.Path().string();
  using Found = std::pair<std::string, PictureMatch>;
  PictureFinder finder(set);  // reads the folder once, for every name below
  const auto located = [&](std::string_view name) {
    const PictureLocation found = LocatePicture(name, set);
    const PictureLocation again = finder.Locate(name);
    EXPECT_EQ(again.Path, found.Path);
    EXPECT_EQ(again.Match, found.Match);
    return Found(found.Path.empty() ? "" : found.Path.substr(set.size()), found.Match);
  };
  dir.Write("ris/rose1.jpg", "x");
  dir.Write("ris/роза.jpg", "x");
  dir.Write("ris/Тюльпан.JPG", "x");
  dir.Write(std::string("ris/") + std::string("мак"_cp1251) + ".jpg", "x");
  dir.Write("ris/\u0438\u0306\u043E\u0434.jpg", "x");  // й as и and a combining breve

  EXPECT_EQ(located("rose1"), Found("/ris/rose1.jpg", PictureMatch::Exact));
  EXPECT_EQ(located("Rose1"), Found("/ris/rose1.jpg", PictureMatch::IgnoringCase));
  EXPECT_EQ(located("роза"_cp1251), Found("/ris/роза.jpg", PictureMatch::Converted));
  EXPECT_EQ(located("тюльпан"_cp1251), Found("/ris/Тюльпан.JPG", PictureMatch::IgnoringCase));
  EXPECT_EQ(located("мак"_cp1251).second, PictureMatch::Verbatim);
  EXPECT_EQ(located("rose1 "), Found("", PictureMatch::None));

  EXPECT_EQ(located("йод"_cp1251),
            Found("/ris/\u0438\u0306\u043E\u0434.jpg", PictureMatch::Composed));
  EXPECT_EQ(located("ЙОД"_cp1251).second, PictureMatch::IgnoringCase);
  EXPECT_EQ(finder.Locate("йод"_cp1251, false).Match, PictureMatch::Composed);
  EXPECT_EQ(finder.Locate("ЙОД"_cp1251, false).Match, PictureMatch::None);
}

}  // namespace
}  // namespace anthora
