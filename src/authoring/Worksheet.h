#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "quiz/SetFile.h"
#include "runtime/base/Findings.h"

namespace anthora {

// A worksheet to print: a PDF on A4 with a header for the pupil's name, class and date, the
// questions six to a page, each with its picture and its four answers in a dealt order beside
// boxes to tick; then the answer key and how many right answers give each grade.

inline constexpr int kWorksheetQuestionsPerPage = 6;
inline constexpr std::string_view kWorksheetSuffix = "-worksheet.pdf";
// Questions printed at most, so that a set file of millions of tiny records still makes a
// document of a bounded size; a warning says when more were left out.
inline constexpr std::size_t kMaxWorksheetQuestions = 1000;
// A picture larger than this is drawn as a crossed box: no set picture comes near it.
inline constexpr std::uintmax_t kMaxWorksheetPictureBytes = std::uintmax_t{32} << 20;
inline constexpr std::int64_t kMaxWorksheetPicturePixels = 40'000'000;

// One question as the sheet shows it, its texts in UTF-8.
struct WorksheetQuestion {
  std::string PicturePath;   // the file found for it; empty when there is none
  std::string PictureName;   // as the set names it, for warnings
  std::string PictureShown;  // where the quiz looks for it, as the user names the set
  std::array<std::string, kAnswerCount> Answers;  // in the order printed
  int Right = 0;                                  // the index of the right answer among them
};

// How many right answers give a grade: From to To, both included; none when From > To.
struct GradeRange {
  int Grade = 0;
  std::int32_t From = 0;
  std::int32_t To = -1;
};

struct Worksheet {
  std::string Title;  // the set's name
  std::vector<WorksheetQuestion> Questions;
  std::int32_t Count = 0;          // the set file's count line, the divisor of the grade
  std::vector<GradeRange> Grades;  // from 5 down to 0; empty when the count gives no grade
  Findings Problems;               // warnings about the set and its pictures
};

// The grades 5 down to 0 with the right answers that give each, as the quiz grades a set of
// `count` questions; empty for a count below 1.
std::vector<GradeRange> GradeRanges(std::int32_t count);

// The seed of a set's dealing: the same for the same records, so that a reprint is the same.
std::uint32_t DealingSeed(const std::vector<SetRecord>& records);

// The questions of a set file under the folder (empty: the current one), their answers dealt
// as the quiz deals them from the seed of the set's content, their pictures found as the quiz
// finds them. `setFile` is kEnglishSetPath or kRussianSetPath; `shown` names the folder in
// warnings. Only the first kMaxWorksheetQuestions are read. Throws SetFileError when the set
// file cannot be read.
Worksheet ReadWorksheet(const std::string& folder, std::string_view setFile,
                        const std::string& shown);

// The worksheet as a PDF written to the stream; a picture that cannot be read is drawn as a
// crossed box and named in a warning added to the sheet's problems. False when writing failed.
bool WriteWorksheetPdf(Worksheet& sheet, std::FILE* file);

}  // namespace anthora
