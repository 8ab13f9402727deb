// A flashcard deck's fields read as text and pictures, its media list, the checksum its notes
// carry, and which deck a source stands for.
#include <gtest/gtest.h>

#include <fstream>

#include "authoring/Deck.h"
#include "authoring/DeckSource.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

TEST(Deck, ReadsAFieldAsTextAReaderSees) {
  const struct {
    const char* Html;
    const char* Text;
  } cases[] = {
      {"Rose", "Rose"},
      {"<b>Common</b> poppy", "Common poppy"},
      {"Tulip &amp; friends", "Tulip & friends"},
      {"&lt;b&gt; stays text", "<b> stays text"},
      {"Forget-me-not&nbsp;", "Forget-me-not"},
      {"C&#108;ematis &laquo;J&#x61;ckmanii&raquo;", "Clematis \u00ABJackmanii\u00BB"},
      {"line<br>break<div>block</div>", "line break block"},
      {"  many   \n blanks ", "many blanks"},
      {"<style>.x { color: red }</style>Daisy", "Daisy"},
      {"Iris[sound:iris.mp3]", "Iris"},
      {"AT&T & more &unknown; &#xZZ; &#1114112;", "AT&T & more &unknown; &#xZZ; \uFFFD"},
      {"<img src=\"a.jpg\">", ""},
      {"cut <b", "cut"},
      {"[sound:a.mp3] Iris [sound:never closed", "Iris [sound:never closed"},
      {"<SCRIPT>x</Script>y<style>z", "y"},
      {"&amp", "&amp"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlText(c.Html), c.Text) << c.Html;
}

TEST(Deck, FindsEachPictureOfAField) {
  const struct {
    const char* Html;
    std::vector<std::string> Images;
  } cases[] = {
      {"<img src=\"rose.jpg\">", {"rose.jpg"}},
      {"<IMG SRC='a b.png' />", {"a b.png"}},
      {"<img alt=x src=plain.jpg>", {"plain.jpg"}},
      {"<img data-src=\"no.jpg\" src=\"yes.jpg\">", {"yes.jpg"}},
      {"<img src=\"Tom&amp;Jerry.jpg\">", {"Tom&Jerry.jpg"}},
      {"<img src=\"1.jpg\"><br><img src=\"2.jpg\">", {"1.jpg", "2.jpg"}},
      {"<image src=\"x.jpg\"> <imgx src=\"y.jpg\"> text", {}},
      {"<img src=\"cut.jpg\"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlImages(c.Html), c.Images) << c.Html;
}

TEST(Deck, ReadsTheMediaList) {
  using List = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(ReadMediaList("{}"), List{});
  EXPECT_EQ(ReadMediaList(" { \"0\" : \"rose.jpg\",\"1\":\"a\\\"b\\\\c\\/d\" } "),
            (List{{"0", "rose.jpg"}, {"1", "a\"b\\c/d"}}));
  EXPECT_EQ(ReadMediaList("{\"0\":\"\\u0420\\ud83c\\udf39\"}"), (List{{"0", "\u0420\U0001F339"}}));
  for (const char* damaged :
       {"", "[]", "{", "{\"0\"}", "{\"0\":1}", "{\"0\":\"a\",}", "{\"0\":\"a\"} x",
        "{\"0\":\"\\q\"}", "{\"0\":\"\\u12\"}", "{\"0\":\"a\nb\"}"})
    EXPECT_FALSE(ReadMediaList(damaged).has_value()) << damaged;
}

TEST(Deck, ChecksTheFirstFieldAsTheFormatDoes) {
  // The first 32 bits of SHA-1 of "", "abc" and a text of more than one block.
  EXPECT_EQ(FieldChecksum(""), 0xda39a3eeu);
  EXPECT_EQ(FieldChecksum("abc"), 0xa9993e36u);
  EXPECT_EQ(FieldChecksum("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"), 0x84983e44u);
}

TEST(Deck, KnowsWhichDeckASourceIs) {
  const test::TempDir temp;
  const std::string folder = temp.Path().string();
  const auto touch = [&](const std::string& name) { std::ofstream(folder + "/" + name); };
  Findings findings;
  EXPECT_FALSE(FindSourceDeck(folder, findings).has_value());
  touch("Garden.APKG");
  EXPECT_EQ(FindSourceDeck(folder, findings), folder + "/Garden.APKG");
  EXPECT_EQ(FindSourceDeck(folder + "/Garden.APKG", findings), folder + "/Garden.APKG");
  touch("more.apkg");
  EXPECT_EQ(FindSourceDeck(folder, findings), std::string());
  EXPECT_EQ(findings.Count(Finding::Level::Error), 1);
  touch("questions.csv");  // a sheet wins over decks
  EXPECT_FALSE(FindSourceDeck(folder, findings).has_value());
}

}  // namespace
}  // namespace anthora
