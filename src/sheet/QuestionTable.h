#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "picture/PhotoFraming.h"
#include "runtime/base/Findings.h"
#include "sheet/Sheet.h"

namespace anthora {

// One question of a teacher's sheet: a photo, how to frame it and, per language, the right
// answer then the three wrong ones, already in Windows-1251; a wrong answer left empty is
// chosen by the builder.
struct TableQuestion {
  int Line = 0;       // the row of the sheet
  std::string Photo;  // as written in the sheet, UTF-8, with "/" between folders
  PhotoFraming Framing;
  std::array<std::string, 4> English;
  std::array<std::string, 4> Russian;
};

struct QuestionTable {
  bool HasEnglish = false;
  bool HasRussian = false;
  std::vector<TableQuestion> Questions;
};

// The names a sheet's header row gives its columns, in the order a new sheet has them.
inline constexpr std::array<std::string_view, 11> kSheetColumns = {
    "picture",   "en",        "en_wrong1", "en_wrong2", "en_wrong3", "ru",
    "ru_wrong1", "ru_wrong2", "ru_wrong3", "crop",      "rotate"};

// The questions of a sheet whose first row names its columns: picture, en, en_wrong1 to 3,
// ru, ru_wrong1 to 3, and optionally crop and rotate, in any order, letter case and blanks
// aside; either language may be left out, and so may wrong-answer columns and cells; a column
// without a name is not read. Blanks at the ends of a cell are dropped. Every problem is reported
// at its row; the questions are those with a photo, faulty answers or not.
QuestionTable ReadQuestionTable(const Sheet& sheet, Findings& findings);

// The answer of a set file in Windows-1251 that a cell's UTF-8 text makes; the reason it
// cannot be one when it cannot, and the answer is left as it was.
std::string ConvertAnswer(const std::string& cell, std::string& answer);

// How a crop cell frames a photo: centre (the default for an empty cell), top, bottom, left,
// right, or a point "X%,Y%"; none for anything else.
std::optional<PhotoFraming> ReadCrop(std::string_view cell);

}  // namespace anthora
