#include "app/Authoring.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/Unit1.h"
#include "authoring/NewSheet.h"
#include "authoring/SetBuilder.h"
#include "authoring/SetChecker.h"
#include "controls/xpButton.h"
#include "platform/headless/HeadlessPlatform.h"
#include "quiz/QuestionSet.h"

namespace anthora {

namespace {

// The answer buttons as the main window makes them, built in memory.
AnswerFace MainWindowAnswerFace() {
  TForm1 form(nullptr);
  return {form.xpButton1->Font(), form.xpButton1->CaptionWidth(), form.xpButton1->ShowAccelChar()};
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
  std::printf("%s (%s), %s (%s): %s\n", JoinPath(folder, std::string(kEnglishSetPath)).c_str(),
              Counted(check.EnglishQuestions, "question").c_str(),
              JoinPath(folder, std::string(kRussianSetPath)).c_str(),
              Counted(check.RussianQuestions, "question").c_str(), check.Problems.Tally().c_str());
  return check.Problems.Count(Finding::Level::Error) > 0 ? 1 : 0;
}

int RunSetBuild(const CommandLine& line) {
  const SetBuild build = BuildQuestionSet(line.Source, line.Output, line.Force);
  for (const Finding& finding : build.Problems.All)
    std::fprintf(stderr, "%s\n", finding.Format().c_str());
  if (build.Problems.Count(Finding::Level::Error) > 0) {
    std::fprintf(stderr, "nothing written: %s\n", build.Problems.Tally().c_str());
    return 1;
  }
  std::printf("%s: %s, %s\n", build.SetFolder.c_str(), Counted(build.Questions, "question").c_str(),
              Counted(build.Pictures, "picture").c_str());
  return RunSetCheck(line.Output);
}

int RunNewSheet(const std::string& source) {
  Findings findings;
  const std::string path = WriteNewSheet(source, findings);
  for (const Finding& finding : findings.All)
    std::fprintf(stderr, "%s\n", finding.Format().c_str());
  if (path.empty()) return 1;
  std::printf(
      "%s: a header row and an example row; fill in a row per photo, then run\n"
      "anthora --build-set %s OUTPUT\n",
      path.c_str(), source.c_str());
  return 0;
}

}  // namespace anthora
