// Words of a suggested command: a shell takes each back exactly as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/base/ShellWord.h"

namespace anthora {
namespace {

// What `sh` makes of the word: the one argument it hands on, or what it printed otherwise.
std::string AsTheShellReadsIt(const std::string& word) {
  const std::string command = "sh -c 'printf \"%s|\" \"$@\"' sh " + word;
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

TEST(ShellWord, PlainWordsStayAndOthersAreQuotedSoTheShellReadsThemBack) {
  EXPECT_EQ(ShellWord("set/ris-1.anthora"), "set/ris-1.anthora");
  EXPECT_EQ(ShellWord("Цветы 6Б"), "'Цветы 6Б'");
  EXPECT_EQ(ShellWord("it's"), "'it'\\''s'");
  EXPECT_EQ(ShellWord(""), "''");
  EXPECT_EQ(ShellWord("~/set"), "'~/set'");
  EXPECT_EQ(ShellPath("-x"), "./-x");
  EXPECT_EQ(ShellPath("-a b"), "'./-a b'");
  for (const std::string word : {"Цветы 6Б", "it's", "$HOME `id` \"q\" \\ *?[a] ~ # ; & | < > ( )",
                                 "tab\tand\nline", "!event", "--force", "~", "~root/set", ""})
    EXPECT_EQ(AsTheShellReadsIt(ShellWord(word)), word + "|") << word;
}

}  // namespace
}  // namespace anthora
