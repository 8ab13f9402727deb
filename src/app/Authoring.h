#pragma once

#include <string>

#include "authoring/SetBuilder.h"
#include "authoring/SetChecker.h"

namespace anthora {

struct CommandLine;

// The answer buttons as the main window makes them, built in memory.
AnswerFace MainWindowAnswerFace();

// A set's findings about its questions moved to the rows of the sheet it was built from, less
// those the sheet's reading reported already: one photo with two right answers.
Findings AtSheetRows(const Findings& found, const SetBuild& build);

// `anthora --check [SET]`, a folder or a set file: the report on standard output; 1 when it
// found an error.
int RunSetCheck(const std::string& set);

// `anthora --build-set SOURCE OUTPUT`, a folder or a set file: problems on standard error; 1
// when nothing was built.
int RunSetBuild(const CommandLine& line);

// `anthora --pack FOLDER NAME.anthora`, then the check of the set file.
int RunSetPack(const CommandLine& line);

// `anthora --preview SET [OUTPUT.png]`: a picture of every question with its findings; 1 when
// none was written.
int RunSetPreview(const CommandLine& line);

// `anthora --worksheet SET [OUTPUT.pdf]`: a worksheet to print with its answer key, in the
// language of --language or the messages; warnings about its pictures on standard error.
int RunWorksheet(const CommandLine& line);

// The worksheet of the set as a PDF at the path, replaced only when allowed; the warnings
// about it on standard error. The number of questions printed. The picture units must be
// started.
int WriteSetWorksheet(const std::string& set, const std::string& path, bool replace,
                      const std::string& language);

// `anthora --export-deck SET [OUT.apkg]`: the set as a flashcard deck, checked first; 1 when
// none was written.
int RunDeckExport(const CommandLine& line);

// `anthora --make-quiz FOLDER`: the teacher's way in from a file manager, in boxes on the
// desktop (MakeQuiz.cpp).
int RunMakeQuiz(const CommandLine& line);

// `anthora --new-sheet SOURCE [SHEET]`: writes SOURCE/questions.ods, or SHEET there, with a row
// for each photo, and the command that builds the set; 1 when it wrote nothing.
int RunNewSheet(const CommandLine& line);

}  // namespace anthora
