// What a report prints: every finding on one line, quotes kept short, floods of alike findings
// cut down to a few and a count.
#include <gtest/gtest.h>

#include <string>

#include "runtime/base/Findings.h"
#include "runtime/base/Translate.h"

namespace anthora {
namespace {

TEST(Findings, QuotesShortAndEscapesWhatWouldBreakALine) {
  EXPECT_EQ(Quoted("Роза"), "'Роза'");
  EXPECT_EQ(Quoted(std::string(8 << 20, 'a')), "'" + std::string(80, 'a') + "…'");
  EXPECT_EQ(Quoted(std::string(80, 'a')), "'" + std::string(80, 'a') + "'");
  EXPECT_EQ(Shortened("Ж" + std::string(100, 'x'), 3), "Жxx…");
  EXPECT_EQ(Quoted("a\nb\tc\r\x1B[2J\x7F"), "'a\\nb\\tc\\r\\x1B[2J\\x7F'");
  EXPECT_EQ(Quoted("\xD0\xEE\xE7\xE0 \xC2\x85 \xE2\x80\xAE"),
            "'\\xD0\\xEE\\xE7\\xE0 \\u0085 \\u202E'");

  const Finding named{"sets/a\nb/ris/fen.ani", 3, Finding::Level::Error, "picture 'x\ny' missing"};
  EXPECT_EQ(named.Format(), "sets/a\\nb/ris/fen.ani:3: error: picture 'x\\ny' missing");
}

// Lists that name a few and count the rest, counts with nouns.
TEST(Findings, WordsPathsListsAndCounts) {
  EXPECT_EQ(Enumerated({}, 5), "");
  EXPECT_EQ(Enumerated({"2"}, 5), "2");
  EXPECT_EQ(Enumerated({"2", "5", "7"}, 5), "2, 5 and 7");
  EXPECT_EQ(Enumerated({"2", "5", "7", "9"}, 2), "2, 5 and 2 more");
  EXPECT_EQ(Counted(0, "no files", TrN("%d file", "%d files", 0)), "no files");
  EXPECT_EQ(Counted(1, "no files", TrN("%d file", "%d files", 1)), "1 file");
  EXPECT_EQ(Counted(21, "no files", TrN("%d file", "%d files", 21)), "21 files");
}

TEST(Findings, ReportsTheFirstFindingsOfAKindAndCountsTheRest) {
  Findings findings;
  for (int i = 1; i <= 4000; ++i)
    findings.Error("t.tsv", 1, "the column " + Quoted("c" + std::to_string(i)) + " is named twice");
  for (int i = 1; i <= 3; ++i) findings.Warning("t.tsv", i, "a blank at line " + std::to_string(i));
  findings.Error("u.tsv", 2, "the column 'c1' is named twice");

  EXPECT_EQ(findings.Count(Finding::Level::Error), 4001);
  EXPECT_EQ(findings.Tally(), "4001 errors, 3 warnings");
  const std::vector<std::string> lines = findings.Lines();
  ASSERT_EQ(lines.size(), 20u + 1 + 3 + 1);
  EXPECT_EQ(lines[19], "t.tsv:1: error: the column 'c20' is named twice");
  EXPECT_EQ(lines[20], "t.tsv: error: and 3980 more like it");
  EXPECT_EQ(lines[21], "t.tsv:1: warning: a blank at line 1");
  EXPECT_EQ(lines.back(), "u.tsv:2: error: the column 'c1' is named twice");

  // Findings that differ in their words are kinds of their own, but never without bound.
  Findings varied;
  for (int i = 0; i < 20000; ++i) varied.Warning("t", 0, std::string(1 + i % 500, 'w'));
  EXPECT_LE(varied.Lines().size(), 1100u);
  EXPECT_EQ(varied.Count(Finding::Level::Warning), 20000);
}

}  // namespace
}  // namespace anthora
