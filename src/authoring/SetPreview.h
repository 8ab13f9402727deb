#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/SetChecker.h"
#include "platform/PixelSurface.h"
#include "runtime/graphics/Font.h"

namespace anthora {

// A contact sheet of a question set: a header with the set's tally and the findings about its
// files, then one card per question, four to a row: its number and picture name, the sheet row
// and photo it was made from when known, its picture as the quiz shows it (a crossed box where
// there is none to show), its answers in both languages with the right one in bold, and the
// checker's findings on its lines in red. A card with findings has a red frame and says how many
// it has, so that problems stand out in a large set.
struct SetPreview {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0x00RRGGBB, rows top-down
  int Shown = 0;                      // questions drawn
  int Questions = 0;                  // questions in the set, the longer file's count

  PixelSurface Surface() { return {Pixels.data(), Width, Height, Width}; }
};

// Questions drawn at most, so that a huge set still makes a picture a viewer can open; the
// header says when more were left out. The checker should keep this many.
inline constexpr int kPreviewQuestions = 100;

// Where things lie on the sheet, for those who look at it by its pixels.
struct PreviewLayout {
  static constexpr std::int32_t kMargin = 8;
  static constexpr std::int32_t kColumns = 4;
  static constexpr std::int32_t kTextWidth = 300;
  static constexpr std::int32_t kTextLines = 18;
  std::int32_t LineHeight = 0;
  std::int32_t HeaderHeight = 0;

  std::int32_t CellWidth() const;
  std::int32_t CellHeight() const;
  // The top-left corner of the cell of the question with this index (from 0).
  std::int32_t CellLeft(int index) const;
  std::int32_t CellTop(int index) const;
};

// The first line of the sheet's header: the set, how many questions each language has, and the
// tally of the findings.
std::string PreviewHeader(const std::string& folder, const SetCheck& check);

// Where the questions of a set built from a sheet came from: the sheet as findings name it, and
// for each question in the set files' order its row and the photo's name as the row gives it,
// and the wrong answers the program chose in the English and the Russian set file (bit k for
// answer k), which the sheet marks.
struct PreviewOrigin {
  std::string Sheet;
  std::vector<int> Rows;
  std::vector<std::string> Photos;
  std::vector<std::array<std::uint8_t, 2>> Chosen = {};
};

// The texts of a question's card, in Windows-1251 as they are drawn: its number and the name
// the set gives its picture; the sheet row and the teacher's photo, when the origin is known;
// and how many findings it has, empty when none.
struct CardLabels {
  std::string Title;
  std::string Origin;
  std::string Findings;
};
CardLabels LabelsOfCard(const SetCheck& check, int index, const PreviewOrigin* origin);

// Draws the sheet of the set in the folder from its check, in the font given (the quiz's own
// answer font); the pictures are read again from the paths the check found. The origin, when
// given, names each card's sheet row and photo.
SetPreview DrawSetPreview(const std::string& folder, const SetCheck& check, const TFont& font,
                          PreviewLayout* layout = nullptr, const PreviewOrigin* origin = nullptr);

}  // namespace anthora
