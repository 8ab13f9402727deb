#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quiz/QuestionSet.h"
#include "runtime/base/Findings.h"
#include "runtime/graphics/Font.h"

namespace anthora {

// How the quiz shows an answer: the answer buttons' font, the widest caption they show whole,
// and whether a '&' in a caption marks the next letter instead of showing.
struct AnswerFace {
  TFont Font;
  std::int32_t Width = 0;
  bool ShowAccelChar = false;
};

// One question of a set file as the checker read it.
struct CheckedQuestion {
  int Number = 0;           // from 1, in the order the quiz asks
  int Line = 0;             // of its picture name
  std::string PictureName;  // as read: Windows-1251 bytes
  std::string PicturePath;  // the file the quiz loads; empty when there is none
  AnswerSlots Answers;      // as read; slot 0 is the right one
  std::vector<Finding> Problems;
};

struct CheckedSetFile {
  int Questions = 0;                   // as many as the quiz asks
  std::vector<CheckedQuestion> First;  // the first ones, as many as were asked for
  std::vector<Finding> AboutTheFile;   // the findings that belong to no one question
};

struct SetCheck {
  Findings Problems;  // at most a few of each kind, then how many more there are
  CheckedSetFile English;
  CheckedSetFile Russian;
};

// A question set file larger than this is refused unread: no set comes near it.
inline constexpr std::uintmax_t kMaxSetFileBytes = std::uintmax_t{64} << 20;

// Where the set files checked are: in a folder of their own, where they can be fixed, or
// unpacked from a set file, which is fixed by fixing its source and making it again.
enum class SetPlace { Folder, SetFile };

// Reads ris/fen.ani and ris/fru.ani under the folder (empty: the current one) as the quiz
// reads them, line by line, loads and decodes every picture they name through the picture
// layer (the JPEG kinds must be registered), and reports what would go wrong or look wrong in
// the quiz. The first keptQuestions questions of each file are kept with their findings.
SetCheck CheckQuestionSets(const std::string& folder, const AnswerFace& face,
                           std::size_t keptQuestions = 0, SetPlace place = SetPlace::Folder);

}  // namespace anthora
