#include "runtime/base/Composition.h"

namespace anthora {

namespace {

// The letters of U+00C0 to U+024F and U+0400 to U+04FF made of a letter and one mark, by mark:
// each letter followed by what it becomes with the mark. A letter with two marks composes in
// two steps.
struct MarkedLetters {
  char32_t Mark;
  std::u32string_view Pairs;
};
constexpr MarkedLetters kCompositions[] = {
    {0x300, U"AÀEÈIÌNǸOÒUÙaàeèiìnǹoòuùÜǛüǜЕЀИЍеѐиѝ"},  // grave
    {0x301,
     U"AÁCĆEÉGǴIÍLĹNŃOÓRŔSŚUÚYÝZŹaácćeégǵiílĺnńoórŕsśuúyýzźÅǺÆǼØǾÜǗåǻæǽ"
     U"øǿüǘГЃКЌгѓкќ"},                                                             // acute
    {0x302, U"AÂCĈEÊGĜHĤIÎJĴOÔSŜUÛWŴYŶaâcĉeêgĝhĥiîjĵoôsŝuûwŵyŷ"},                  // circumflex
    {0x303, U"AÃIĨNÑOÕUŨaãiĩnñoõuũ"},                                              // tilde
    {0x304, U"AĀEĒIĪOŌUŪYȲaāeēiīoōuūyȳÄǞÆǢÕȬÖȪÜǕäǟæǣõȭöȫüǖǪǬǫǭȦǠȧǡȮȰȯȱИӢУӮиӣуӯ"},  // macron
    {0x306, U"AĂEĔGĞIĬOŎUŬaăeĕgğiĭoŏuŭАӐЕӖЖӁИЙУЎаӑеӗжӂийуў"},                      // breve
    {0x307, U"AȦCĊEĖGĠIİOȮZŻaȧcċeėgġoȯzż"},                                        // dot above
    {0x308,
     U"AÄEËIÏOÖUÜYŸaäeëiïoöuüyÿІЇАӒЕЁЖӜЗӞИӤОӦУӰЧӴЫӸЭӬаӓеёжӝзӟиӥоӧуӱчӵыӹ"
     U"эӭіїӘӚәӛӨӪөӫ"},         // diaeresis
    {0x30A, U"AÅUŮaåuů"},      // ring above
    {0x30B, U"OŐUŰoőuűУӲуӳ"},  // double acute
    {0x30C,
     U"AǍCČDĎEĚGǦHȞIǏKǨLĽNŇOǑRŘSŠTŤUǓZŽaǎcčdďeěgǧhȟiǐjǰkǩlľnňoǒrřsštťuǔ"
     U"zžÜǙüǚƷǮʒǯ"},                                   // caron
    {0x30F, U"AȀEȄIȈOȌRȐUȔaȁeȅiȉoȍrȑuȕѴѶѵѷ"},          // double grave
    {0x311, U"AȂEȆIȊOȎRȒUȖaȃeȇiȋoȏrȓuȗ"},              // inverted breve
    {0x31B, U"OƠUƯoơuư"},                              // horn
    {0x326, U"SȘTȚsștț"},                              // comma below
    {0x327, U"CÇEȨGĢKĶLĻNŅRŖSŞTŢcçeȩgģkķlļnņrŗsştţ"},  // cedilla
    {0x328, U"AĄEĘIĮOǪUŲaąeęiįoǫuų"},                  // ogonek
};

// The canonical combining class of a mark: which marks may pass one another. The combining
// diacritical marks this table does not name are taken to sit above, as most of them do.
int CombiningClass(char32_t c) {
  switch (c) {
    case 0x31B:
      return 216;
    case 0x323:
    case 0x324:
    case 0x325:
    case 0x326:
      return 220;
    case 0x327:
    case 0x328:
      return 202;
    default:
      return c >= 0x300 && c <= 0x36F ? 230 : 0;
  }
}

// The letter with the mark, or 0 when there is none.
char32_t ComposedPair(char32_t letter, char32_t mark) {
  for (const MarkedLetters& marked : kCompositions) {
    if (marked.Mark != mark) continue;
    for (std::size_t at = 0; at < marked.Pairs.size(); at += 2) {
      if (marked.Pairs[at] == letter) return marked.Pairs[at + 1];
    }
  }
  return 0;
}

}  // namespace

std::u32string Composed(std::u32string_view text) {
  std::u32string result;
  result.reserve(text.size());
  std::size_t letter = std::u32string::npos;  // the last character of class 0
  int between = -1;  // the class of the last mark kept after it; -1 when none
  for (const char32_t c : text) {
    const int kind = CombiningClass(c);
    // A mark reaches back to its letter unless a mark of its own class stands between them.
    if (letter != std::u32string::npos && kind > 0 && between < kind) {
      if (const char32_t composed = ComposedPair(result[letter], c)) {
        result[letter] = composed;
        continue;
      }
    }
    if (kind == 0) {
      letter = result.size();
      between = -1;
    } else {
      between = kind;
    }
    result.push_back(c);
  }
  return result;
}

char32_t BaseLetter(char32_t c) {
  for (bool found = true; found;) {
    found = false;
    for (const MarkedLetters& marked : kCompositions) {
      for (std::size_t at = 1; at < marked.Pairs.size() && !found; at += 2) {
        if (marked.Pairs[at] == c) {
          c = marked.Pairs[at - 1];
          found = true;
        }
      }
    }
  }
  return c;
}

}  // namespace anthora
