#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/FlowerTable.h"
#include "runtime/base/Findings.h"
#include "sheet/QuestionTable.h"

namespace anthora {

// The wrong answers the program chose for a sheet's empty cells.
struct ChosenAnswers {
  // Per question, in the table's order, the answers chosen in the English and in the Russian
  // set file: bit k for answer k (1 to 3). A language the table lacks shows the other one's.
  std::vector<std::array<std::uint8_t, 2>> Marks;
  int Count = 0;          // wrong answers chosen; one chosen in both languages counts once
  std::vector<int> Rows;  // the sheet's rows that have one, in order
};

// The seed of the choice: FNV-1a (32 bits) over every cell the table read, so that the same
// sheet always gets the same wrong answers and any change to it may give others.
std::uint32_t ChoiceSeed(const QuestionTable& table);

// Fills the empty wrong-answer cells of each language with right answers of other rows: never
// the row's own answer, never one given twice in the row ignoring letter case, and never one
// whose row names the same flower in the other language or which the flower table knows as the
// row's own. Flowers the table puts in the same family and of the same colour come first, then
// those of the same family or colour, then the rest, each group in an order drawn from the
// sheet's seed; a row looks at no more than a hundred of them. Refuses, as an error about the
// sheet, a language that needs the choice and has fewer than four different right answers; a
// row whose wrong answers run short is an error at the row. Cells the teacher filled in are
// kept as they are.
ChosenAnswers ChooseWrongAnswers(QuestionTable& table, const std::string& sheet, Findings& findings,
                                 const FlowerTable& flowers = FlowerTable::Shipped());

// "24 wrong answers chosen by the program, rows 2-9: look at the preview"; empty when none were.
std::string ChosenAnswersReport(const ChosenAnswers& chosen);

}  // namespace anthora
