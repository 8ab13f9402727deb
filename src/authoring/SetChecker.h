#pragma once

#include <cstdint>
#include <string>

#include "authoring/Findings.h"
#include "runtime/graphics/Font.h"

namespace anthora {

// How the quiz shows an answer: the answer buttons' font, the widest caption they show whole,
// and whether a '&' in a caption marks the next letter instead of showing.
struct AnswerFace {
  TFont Font;
  std::int32_t Width = 0;
  bool ShowAccelChar = false;
};

struct SetCheck {
  Findings Problems;
  int EnglishQuestions = 0;
  int RussianQuestions = 0;
};

// Reads ris/fen.ani and ris/fru.ani under the folder (empty: the current one) as the quiz
// reads them, loads and decodes every picture they name through the picture layer (the JPEG
// kinds must be registered), and reports what would go wrong or look wrong in the quiz.
SetCheck CheckQuestionSets(const std::string& folder, const AnswerFace& face);

}  // namespace anthora
