#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace anthora {

// One problem found in a file, reported the way compilers do, so that editors can jump to it.
struct Finding {
  enum class Level { Warning, Error };
  std::string File;  // as the user names it
  int Line = 0;      // from 1; 0 for the file as a whole
  Level Severity = Level::Error;
  std::string Text;  // UTF-8

  // "FILE:LINE: error: TEXT", or "FILE: error: TEXT" for the whole file, on one line: control
  // characters in the name and the text are escaped.
  std::string Format() const;
};

// The findings of a run. Of findings alike (same file and severity, same text but for what it
// quotes and its numbers) only the first kMaxAlike are kept; the others are counted.
struct Findings {
  static constexpr int kMaxAlike = 20;

  std::vector<Finding> All;  // the findings kept

  void Error(const std::string& file, int line, std::string text) {
    Add({file, line, Finding::Level::Error, std::move(text)});
  }
  void Warning(const std::string& file, int line, std::string text) {
    Add({file, line, Finding::Level::Warning, std::move(text)});
  }
  // Every finding of the severity, kept or not.
  int Count(Finding::Level severity) const;
  // Puts the findings from the index on in the order of their lines, keeping the order of each
  // line's own.
  void SortByLine(std::size_t from = 0);
  // "1 error, 2 warnings" or "no errors, no warnings".
  std::string Tally() const;
  // The report: each finding kept, formatted, and after the last one kept of a kind that had
  // more, "FILE: error: and N more like it".
  std::vector<std::string> Lines() const;

 private:
  void Add(Finding finding);
  // Findings alike share a kind; a finding counts with its file and severity alone when there
  // were already too many kinds.
  std::string KindOf(const Finding& finding) const;

  std::map<std::string, int> FAlike;  // kind -> how many were found
  int FErrors = 0;
  int FWarnings = 0;
};

// Text as a report shows it: control characters, the characters that reorder text and bytes
// that are not UTF-8 written as escapes ("\n", "\t", "\x1B", "\u202E"), and cut after `limit`
// characters with "…".
inline constexpr std::size_t kQuoteLimit = 80;
std::string Shortened(std::string_view text, std::size_t limit = kQuoteLimit);

// Text quoted in a report: Shortened, in single quotes.
std::string Quoted(std::string_view text, std::size_t limit = kQuoteLimit);

// A file or folder name in a report: escaped as Shortened, cut only when absurdly long.
std::string Printable(std::string_view name);
// The same, in single quotes.
std::string QuotedName(std::string_view name);

// A count in the user's language: `none` when it is 0, else `some` (the form of the message
// that suits the count, from TrN) with the count for its "%d".
std::string Counted(int count, const char* none, const char* some);

// "a, b and c": the first `named` items, and how many more.
std::string Enumerated(const std::vector<std::string>& items, std::size_t named);

}  // namespace anthora
