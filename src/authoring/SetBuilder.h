#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "authoring/WrongAnswers.h"
#include "runtime/base/Findings.h"
#include "runtime/files/SafeWrite.h"

namespace anthora {

// The largest photo file read.
inline constexpr std::uintmax_t kMaxPhotoBytes = std::uintmax_t{256} << 20;

// A set made in memory from a sheet and its photos: fen.ani and fru.ani in Windows-1251 with
// CR LF (a language the table lacks takes the other one's answers, since the quiz needs both
// files), and one 230 x 230 JPEG per photo under a safe name.
struct MadeSet {
  Findings Problems;  // the files are of no use when one of them is an error
  int Questions = 0;
  int Pictures = 0;
  NamedFiles Files;
  std::string Sheet;                // the sheet read, as findings name it
  std::vector<int> Rows;            // the sheet's row of each question, in the set files' order
  std::vector<std::string> Photos;  // the photo each question's row names, in the same order
  // The photos in SOURCE and below that no row names, as paths from it, in order; those in
  // hidden folders and hidden photos left out, as the new sheet leaves them out.
  std::vector<std::string> PhotosWithoutRows;
  ChosenAnswers Chosen;  // the wrong answers the program chose for empty cells
};

// Makes the set from SOURCE/questions.tsv and the photos it names, which must lie in SOURCE or
// below it, or from a flashcard deck: SOURCE itself when it is NAME.apkg, or the one deck in
// SOURCE when it holds no sheet (see DeckSource.h). SOURCE is only read. The photos are made on
// `threads` threads at once, 0 for one per core; the set is the same whatever their number.
// `progress`, when given, is told the number of photos made and of all to make, from the thread
// that made the last one.
using BuildProgress = std::function<void(std::size_t done, std::size_t all)>;
MadeSet MakeQuestionSet(const std::string& source, unsigned threads = 0,
                        const BuildProgress& progress = {});

struct SetBuild {
  Findings Problems;  // nothing was written when one of them is an error
  int Questions = 0;
  int Pictures = 0;
  std::string SetFolder;  // OUTPUT/ris
  std::string Sheet;      // as in MadeSet
  std::vector<int> Rows;
  std::vector<std::string> Photos;
  std::vector<std::string> PhotosWithoutRows;  // as in MadeSet
  ChosenAnswers Chosen;
};

// Makes the set and writes it as OUTPUT/ris, all or nothing. An old OUTPUT/ris is replaced only
// when replacing is allowed and it holds a set; then its set files (fen.ani, fru.ani and the
// .jpg pictures) give way to the new ones, and every other file in it is kept.
SetBuild BuildQuestionSet(const std::string& source, const std::string& output, bool replace);

}  // namespace anthora
