#include "app/Authoring.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/Unit1.h"
#include "authoring/SetChecker.h"
#include "controls/xpButton.h"
#include "platform/headless/HeadlessPlatform.h"

namespace anthora {

namespace {

// The answer buttons as the main window makes them, built in memory.
AnswerFace MainWindowAnswerFace() {
  TForm1 form(nullptr);
  return {form.xpButton1->Font(), form.xpButton1->CaptionWidth()};
}

// The program's units over a platform without a display, for as long as it lives.
class OffscreenProgram {
 public:
  OffscreenProgram() : FApplication(FPlatform) { InitializeProgram(FPlatform); }
  OffscreenProgram(const OffscreenProgram&) = delete;
  OffscreenProgram& operator=(const OffscreenProgram&) = delete;
  ~OffscreenProgram() { FinalizeProgram(); }

 private:
  HeadlessPlatform FPlatform;
  TApplication FApplication;
};

}  // namespace

int RunSetCheck(const std::string& folder) {
  const OffscreenProgram program;
  const SetCheck check = CheckQuestionSets(folder, MainWindowAnswerFace());
  for (const Finding& finding : check.Problems.All) std::printf("%s\n", finding.Format().c_str());
  std::printf("%s (%d questions), %s (%d questions): %s\n", JoinPath(folder, "ris/fen.ani").c_str(),
              check.EnglishQuestions, JoinPath(folder, "ris/fru.ani").c_str(),
              check.RussianQuestions, check.Problems.Tally().c_str());
  return check.Problems.Count(Finding::Level::Error) > 0 ? 1 : 0;
}

int RunSetBuild(const CommandLine&) {
  std::fprintf(stderr, "anthora: --build-set is not available yet\n");
  return 1;
}

}  // namespace anthora
