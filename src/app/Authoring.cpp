// Sections: the offscreen program and the default output names; the check's report;
// --check, --build-set and --pack; --preview; --worksheet; --export-deck; --new-sheet.
#include "app/Authoring.h"

#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/SetArgument.h"
#include "app/Unit1.h"
#include "authoring/Collection.h"
#include "authoring/Deck.h"
#include "authoring/DeckExport.h"
#include "authoring/NewSheet.h"
#include "authoring/SetBuilder.h"
#include "authoring/SetChecker.h"
#include "authoring/SetFileTransaction.h"
#include "authoring/SetPreview.h"
#include "authoring/Worksheet.h"
#include "authoring/WrongAnswers.h"
#include "controls/xpButton.h"
#include "platform/PngWriter.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/SetArchive.h"
#include "quiz/SetFile.h"
#include "quiz/SetPacker.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/ShellWord.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
#include "runtime/files/SafeWrite.h"
#include "sheet/SheetLookup.h"

namespace anthora {

AnswerFace MainWindowAnswerFace() {
  TForm1 form(nullptr);
  return {form.xpButton1->Font(), form.xpButton1->CaptionWidth(), form.xpButton1->ShowAccelChar()};
}

namespace {

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

// NAME-preview.png in the current folder, after the set's last name without its extension.
std::string DefaultPreviewPath(const std::string& set) {
  std::string name = FolderName(set);
  if (IsSetFileName(name)) name.resize(name.size() - kSetFileExtension.size());
  return (name.empty() ? "set" : name) + std::string(kPreviewSuffix);
}

// NAME-worksheet.pdf in the current folder, after the set's last name without its extension.
std::string DefaultWorksheetPath(const std::string& set) {
  std::string name = FolderName(set);
  if (IsSetFileName(name)) name.resize(name.size() - kSetFileExtension.size());
  return (name.empty() ? "set" : name) + std::string(kWorksheetSuffix);
}

// Whether a file name ends in .pdf, in any letter case.
bool IsPdfName(const std::string& path) {
  return AsciiLower(std::filesystem::path(path).extension().string()) == ".pdf";
}

// NAME.anthora in the current folder, after the last name of the folder of photos.
std::string SetFileNameFor(const std::string& source) {
  const std::string name = FolderName(source);
  return (name.empty() ? "questions" : name) + std::string(kSetFileExtension);
}

// Whether a file name ends in .png, in any letter case.
bool IsPngName(const std::string& path) {
  return AsciiLower(std::filesystem::path(path).extension().string()) == ".png";
}

}  // namespace

Findings AtSheetRows(const Findings& found, const SetBuild& build) {
  Findings moved;
  for (Finding finding : found.All) {
    const std::optional<std::size_t> question = QuestionOfLine(finding.Line);
    if (IsSetFilePath(finding.File) && question && *question < build.Rows.size()) {
      // TRANSLATORS: the end of the checker's message "picture ... is also question ...'s";
      // the same words as its translation ends with.
      if (finding.Text.ends_with(Tr(": one photo, two right answers"))) continue;
      finding.File = build.Sheet;
      finding.Line = build.Rows[*question];
    }
    if (finding.Severity == Finding::Level::Error) {
      moved.Error(finding.File, finding.Line, std::move(finding.Text));
    } else {
      moved.Warning(finding.File, finding.Line, std::move(finding.Text));
    }
  }
  moved.SortByLine();
  return moved;
}

namespace {

// Reports each finding of a check, then a line for the set as the user names it; with the build
// it came from, its findings name the sheet's rows.
int Report(SetCheck& check, const std::string& folder, const SetBuild* build) {
  if (build) check.Problems = AtSheetRows(check.Problems, *build);
  for (const std::string& finding : check.Problems.Lines()) std::printf("%s\n", finding.c_str());
  const int englishCount = check.English.Questions;
  const int russianCount = check.Russian.Questions;
  const std::string english =
      Printable(JoinPath(folder, std::string(kEnglishSetPath))) + " (" +
      Counted(englishCount, Tr("no questions"), TrN("%d question", "%d questions", englishCount)) +
      ")";
  const std::string russian =
      Printable(JoinPath(folder, std::string(kRussianSetPath))) + " (" +
      Counted(russianCount, Tr("no questions"), TrN("%d question", "%d questions", russianCount)) +
      ")";
  if (build) {
    // The build's own findings came before: this line is about the set it made, not the sheet.
    // TRANSLATORS: the English set file with its questions, the Russian one, then the tally.
    std::printf("%s\n", Format(Tr("the finished set, %s and %s: %s"),
                               {english, russian, check.Problems.Tally()})
                            .c_str());
  } else {
    // TRANSLATORS: the English set file with its questions, the Russian one, then the tally.
    std::printf("%s\n",
                Format(Tr("%1$s, %2$s: %3$s"), {english, russian, check.Problems.Tally()}).c_str());
  }
  return check.Problems.Count(Finding::Level::Error) > 0 ? 1 : 0;
}

// Checks a set and reports it. A set file not yet in place is named as it will be.
int CheckSet(const std::string& argument, const SetBuild* build = nullptr,
             const std::string& shownAs = {}) {
  // A folder is checked whatever it holds, so that the report names what is missing.
  const OpenedSet set(argument, OpenedSet::Need::Anything, shownAs);
  const OffscreenProgram program;
  SetCheck check = CheckQuestionSets(set.Folder(), MainWindowAnswerFace(), 0,
                                     set.IsSetFile() ? SetPlace::SetFile : SetPlace::Folder);
  if (DeferredTermination::Pending()) return 1;  // the signal ends the program when the set goes
  ShowAs(check, set.Folder(), set.Shown());
  return Report(check, set.Shown(), build);
}

// Says how many wrong answers the program chose, and in which rows, when it chose any.
void PrintChosenAnswers(const SetBuild& build) {
  const std::string chosen = ChosenAnswersReport(build.Chosen);
  if (!chosen.empty()) std::printf("%s\n", chosen.c_str());
}

// Says that a set file made in private was not put in place because its check found errors.
int NotPacked(const std::string& output) {
  std::fprintf(stderr, "%s\n",
               Format(Tr("%s not written: the set has errors; fix them and make the set file "
                         "again"),
                      {Printable(output)})
                   .c_str());
  return 1;
}

}  // namespace

int RunSetCheck(const std::string& argument) {
  return CheckSet(argument);
}

int RunSetBuild(const CommandLine& line) {
  // Each photo takes buffers of many megabytes and gives them back; kept in the heap for the
  // next photo, they spare the kernel mapping and clearing fresh pages every time.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  // A set file is built as a folder in private, then packed.
  std::optional<SetFileTransaction> file;
  if (IsSetFileName(line.Output)) file.emplace(SetFileRequest{line.Output, line.Force, false, {}});
  SetBuild build =
      BuildQuestionSet(line.Source, file ? file->BuildFolder() : line.Output, line.Force);
  if (file) file->ShowAsOutput(build.Problems);
  if (!build.Sheet.empty() && !OfficeLockFile(build.Sheet).empty())
    build.Problems.Warning(build.Sheet, 0,
                           Tr("the sheet is open in a spreadsheet program and may hold changes "
                              "that are not saved yet: this build reads it as last saved; save "
                              "it and close it, then build again"));
  for (const std::string& finding : build.Problems.Lines())
    std::fprintf(stderr, "%s\n", finding.c_str());
  if (build.Problems.Count(Finding::Level::Error) > 0) {
    // TRANSLATORS: %s is the tally of errors and warnings.
    std::fprintf(stderr, "%s\n",
                 Format(Tr("nothing written: %s"), {build.Problems.Tally()}).c_str());
    return 1;
  }
  if (file) file->Pack(build.Sheet);
  // TRANSLATORS: the set made, how many questions and how many pictures it has.
  std::printf("%s\n", Format(Tr("%1$s: %2$s, %3$s"),
                             {Printable(file ? line.Output : build.SetFolder),
                              Counted(build.Questions, Tr("no questions"),
                                      TrN("%d question", "%d questions", build.Questions)),
                              Counted(build.Pictures, Tr("no pictures"),
                                      TrN("%d picture", "%d pictures", build.Pictures))})
                          .c_str());
  PrintChosenAnswers(build);
  // A set file is checked before it is put in place, so that an interrupted check leaves none,
  // and one with errors is never put in place.
  int checked = 0;
  if (file) {
    const OffscreenProgram program;
    SetCheck check = file->Check(MainWindowAnswerFace(), 0);
    if (DeferredTermination::Pending()) return 1;
    if (Report(check, line.Output, &build) != 0) return NotPacked(line.Output);
    file->Commit(true);
  } else {
    checked = CheckSet(line.Output, &build);
  }
  // TRANSLATORS: %s is a command to paste as it is.
  std::printf("%s\n", Format(Tr("to see every question in one picture: %s"),
                             {"anthora --preview " + ShellPath(line.Output)})
                          .c_str());
  return checked;
}

int RunSetPack(const CommandLine& line) {
  AtomicFile packed(line.Output, line.Force);
  const int files = [&] {
    const OpenedSet set(line.Source);
    return PackSetFolder(set.Folder(), packed);
  }();
  std::printf("%s: %s\n", Printable(line.Output).c_str(),
              Counted(files, Tr("no files"), TrN("%d file", "%d files", files)).c_str());
  // A set with errors would play wrong wherever the file goes: it is not put in place.
  if (CheckSet(packed.Made(), nullptr, line.Output) != 0) return NotPacked(line.Output);
  packed.Commit();
  return 0;
}

int RunSetPreview(const CommandLine& line) {
  const std::string path = line.Output.empty() ? DefaultPreviewPath(line.Folder) : line.Output;
  if (!IsPngName(path))
    throw UsageError(
        Format(Tr("%s: a preview is a PNG picture; give it a name ending in .png"), {path}));
  const OpenedSet set(line.Folder, OpenedSet::Need::Anything);
  if (!FileExists(JoinPath(set.Folder(), std::string(kEnglishSetPath))) &&
      !FileExists(JoinPath(set.Folder(), std::string(kRussianSetPath))))
    // TRANSLATORS: %1$s is the folder, %2$s and %3$s the set files looked for in it.
    throw SetFileError(Format(Tr("%1$s: no question set here: looked for %2$s and %3$s"),
                              {set.Shown().empty() ? "." : set.Shown(),
                               JoinPath(set.Shown(), std::string(kEnglishSetPath)),
                               JoinPath(set.Shown(), std::string(kRussianSetPath))}));
  const OffscreenProgram program;
  const AnswerFace face = MainWindowAnswerFace();
  SetCheck check = CheckQuestionSets(set.Folder(), face, kPreviewQuestions);
  ShowAs(check, set.Folder(), set.Shown());
  SetPreview preview = DrawSetPreview(set.Shown(), check, face.Font);
  WriteFileAtomically(path, line.Force, [&](std::FILE* file) {
    return WritePng(file, preview.Surface(), kPreviewMark);
  });
  const std::string drawn =
      Counted(preview.Shown, Tr("no questions"), TrN("%d question", "%d questions", preview.Shown));
  if (preview.Shown < preview.Questions) {
    // TRANSLATORS: the picture written, the questions drawn ("12 questions"), how many the set
    // has, how many one picture holds, and the tally of errors and warnings.
    std::printf("%s\n", Format(TrN("%1$s: %2$s, the first of %3$d (one picture holds at most "
                                   "%4$d); %5$s",
                                   "%1$s: %2$s, the first of %3$d (one picture holds at most "
                                   "%4$d); %5$s",
                                   static_cast<unsigned long>(preview.Questions)),
                               {Printable(path), drawn, preview.Questions, kPreviewQuestions,
                                check.Problems.Tally()})
                            .c_str());
  } else {
    // TRANSLATORS: the picture written, the questions drawn, and the tally of errors and
    // warnings.
    std::printf(
        "%s\n",
        Format(Tr("%1$s: %2$s; %3$s"), {Printable(path), drawn, check.Problems.Tally()}).c_str());
  }
  return 0;
}

int WriteSetWorksheet(const std::string& argument, const std::string& path, bool replace,
                      const std::string& language) {
  const OpenedSet set(argument);
  const std::string_view file = language == "ru" ? kRussianSetPath : kEnglishSetPath;
  Worksheet sheet = ReadWorksheet(set.Folder(), file, set.Shown());
  sheet.Title = FolderName(argument);
  if (IsSetFileName(sheet.Title)) sheet.Title.resize(sheet.Title.size() - kSetFileExtension.size());
  WriteFileAtomically(path, replace, [&](std::FILE* out) { return WriteWorksheetPdf(sheet, out); });
  for (std::string finding : sheet.Problems.Lines()) {
    if (set.IsSetFile()) finding = RenamedIn(finding, set.Folder(), set.Shown());
    std::fprintf(stderr, "%s\n", finding.c_str());
  }
  return static_cast<int>(sheet.Questions.size());
}

int RunWorksheet(const CommandLine& line) {
  const std::string path = line.Output.empty() ? DefaultWorksheetPath(line.Folder) : line.Output;
  if (!IsPdfName(path))
    throw UsageError(
        Format(Tr("%s: a worksheet is a PDF document; give it a name ending in .pdf"), {path}));
  const OffscreenProgram program;
  const int questions = WriteSetWorksheet(line.Folder, path, line.Force,
                                          line.Language.empty() ? ToolsLanguage() : line.Language);
  std::printf("%s: %s\n", Printable(path).c_str(),
              Counted(questions, Tr("no questions"),
                      TrN("%d question", "%d questions", static_cast<unsigned long>(questions)))
                  .c_str());
  return 0;
}

namespace {

// The name a set goes by: its set file's without the extension, or its folder's (the one that
// holds ris/ when the set is named by its ris folder).
std::string SetName(const std::string& argument) {
  std::string name = FolderName(argument);
  if (IsSetFileName(name)) {
    name.resize(name.size() - kSetFileExtension.size());
  } else if (name == kSetFolderName) {
    name = FolderName(SplitPath(AbsoluteFolder(argument)).Folder);
  }
  return name.empty() ? "set" : name;
}

}  // namespace

int RunDeckExport(const CommandLine& line) {
  const std::string name = SetName(line.Folder);
  const std::string path = line.Output.empty() ? name + std::string(kDeckExtension) : line.Output;
  if (!IsDeckName(path))
    throw UsageError(Format(
        Tr("%s: a flashcard deck is an .apkg file; give it a name ending in .apkg"), {path}));
  const std::string language = line.Language.empty() ? ToolsLanguage() : line.Language;
  AtomicFile deck(path, line.Force);
  const OpenedSet set(line.Folder);
  {
    // A set the quiz would stumble over makes a deck as faulty: it is not written.
    const OffscreenProgram program;
    SetCheck check = CheckQuestionSets(set.Folder(), MainWindowAnswerFace(), 0,
                                       set.IsSetFile() ? SetPlace::SetFile : SetPlace::Folder);
    if (DeferredTermination::Pending()) return 1;
    ShowAs(check, set.Folder(), set.Shown());
    if (check.Problems.Count(Finding::Level::Error) > 0) {
      for (const std::string& finding : check.Problems.Lines())
        std::fprintf(stderr, "%s\n", finding.c_str());
      std::fprintf(stderr, "%s\n",
                   Format(Tr("%s not written: the set has errors; fix them and export it again"),
                          {Printable(path)})
                       .c_str());
      return 1;
    }
  }
  ExportedDeck written;
  try {
    written = WriteDeck({set.Folder(), name, language == "ru"}, deck);
  } catch (const CollectionError& error) {
    throw CollectionError(Printable(path) + ": " + error.Utf8Message());
  }
  if (AtomicFile::Interrupted()) return 1;
  deck.Commit();
  // TRANSLATORS: the deck written, its notes ("42 notes"), its pictures ("42 pictures") and the
  // deck's name.
  std::printf(
      "%s\n",
      Format(Tr("%1$s: %2$s, %3$s, in the deck %4$s"),
             {Printable(path),
              Counted(written.Notes, Tr("no notes"), TrN("%d note", "%d notes", written.Notes)),
              Counted(written.Pictures, Tr("no pictures"),
                      TrN("%d picture", "%d pictures", written.Pictures)),
              Quoted(name)})
          .c_str());
  return 0;
}

int RunNewSheet(const CommandLine& line) {
  Findings findings;
  const std::string name = line.Output.empty() ? std::string(kNewSheetName) : line.Output;
  const NewSheet sheet = WriteNewSheet(line.Source, name, findings);
  for (const std::string& text : findings.Lines()) std::fprintf(stderr, "%s\n", text.c_str());
  if (sheet.Path.empty()) return 1;
  if (sheet.Photos == 0)
    std::printf("%s\n",
                Format(Tr("%s: a header row and an example row; fill in a row per photo, then run"),
                       {Printable(sheet.Path)})
                    .c_str());
  else
    std::printf("%s\n",
                Format(TrN("%s: a row for %d photo; fill in its answers, then run",
                           "%s: a row for each of %d photos; fill in their answers, then run",
                           sheet.Photos),
                       {Printable(sheet.Path), sheet.Photos})
                    .c_str());
  std::printf("anthora --build-set %s %s\n", ShellPath(line.Source).c_str(),
              ShellPath(SetFileNameFor(line.Source)).c_str());
  return 0;
}

}  // namespace anthora
