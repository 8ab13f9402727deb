#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "authoring/Findings.h"
#include "authoring/Tsv.h"

namespace anthora {

// One question of a teacher's table: a photo and, per language, the right answer then the
// three wrong ones, already in Windows-1251.
struct TableQuestion {
  int Line = 0;
  std::string Photo;  // as written in the table, UTF-8, with "/" between folders
  std::array<std::string, 4> English;
  std::array<std::string, 4> Russian;
};

struct QuestionTable {
  bool HasEnglish = false;
  bool HasRussian = false;
  std::vector<TableQuestion> Questions;
};

// The questions of a table whose first row names its columns: picture, en, en_wrong1 to 3,
// ru, ru_wrong1 to 3, in any order and letter case; either language may be left out, other
// columns are ignored. Blanks at the ends of a cell are dropped. Every problem is reported at
// its line of the file; the questions are those with a photo, faulty answers or not.
QuestionTable ReadQuestionTable(const TsvTable& table, const std::string& fileName,
                                Findings& findings);

}  // namespace anthora
