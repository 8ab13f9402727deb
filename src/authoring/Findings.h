#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace anthora {

// One problem found in a file, reported the way compilers do, so that editors can jump to it.
struct Finding {
  enum class Level { Warning, Error };
  std::string File;  // as the user names it
  int Line = 0;      // from 1; 0 for the file as a whole
  Level Severity = Level::Error;
  std::string Text;  // UTF-8

  // "FILE:LINE: error: TEXT", or "FILE: error: TEXT" for the whole file.
  std::string Format() const;
};

struct Findings {
  std::vector<Finding> All;

  void Error(const std::string& file, int line, std::string text) {
    All.push_back({file, line, Finding::Level::Error, std::move(text)});
  }
  void Warning(const std::string& file, int line, std::string text) {
    All.push_back({file, line, Finding::Level::Warning, std::move(text)});
  }
  int Count(Finding::Level severity) const;
  // Puts the findings from the index on in the order of their lines, keeping the order of each
  // line's own.
  void SortByLine(std::size_t from = 0);
  // "1 error, 2 warnings" or "no errors, no warnings".
  std::string Tally() const;
};

// "1 question", "3 questions", "no questions".
std::string Counted(int count, const std::string& noun);

// A path under a folder as the user wrote it; an empty folder or "." is the current one.
std::string JoinPath(const std::string& folder, const std::string& path);

}  // namespace anthora
