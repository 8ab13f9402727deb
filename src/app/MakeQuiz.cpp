// The teacher's way in from a file manager: "Open With" on a folder of photos starts the sheet
// there and opens it in the spreadsheet program; once it is filled in, the same step builds the
// set file and its preview beside the folder. Every step ends in one of the program's own
// boxes; started from a terminal, the command also prints its report there.
//
// Sections: where the flow reads and writes; the boxes' words; starting the sheet; building,
// checking and putting the set file in place; a sheet left open; the worksheet; playing the quiz.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/Authoring.h"
#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/QuizBoxes.h"
#include "app/WindowPlatform.h"
#include "authoring/Deck.h"
#include "authoring/DeckSource.h"
#include "authoring/NewSheet.h"
#include "authoring/SetChecker.h"
#include "authoring/SetFileTransaction.h"
#include "authoring/Worksheet.h"
#include "authoring/WrongAnswers.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/SetArchive.h"
#include "quiz/SetFile.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/System.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
#include "runtime/files/SafeWrite.h"
#include "sheet/Sheet.h"
#include "sheet/SheetLookup.h"

namespace anthora {

namespace {

// The problems a box names in words; the preview shows them all.
constexpr std::size_t kProblemsShown = 5;

// Where the flow reads and writes, all absolute: the set file and its preview lie beside the
// folder of photos, named after it.
struct QuizPlaces {
  std::string Folder;
  std::string Name;
  std::string SetFile;    // PARENT/NAME.anthora
  std::string Preview;    // PARENT/NAME-preview.png
  std::string Worksheet;  // PARENT/NAME-worksheet.pdf
  std::string Parent;
};

std::optional<QuizPlaces> PlacesOf(const std::string& argument) {
  if (argument.empty()) return std::nullopt;
  const std::string folder = AbsoluteFolder(argument);
  const PathParts parts = SplitPath(folder);
  if (parts.Name.empty() || parts.Name == "." || parts.Name == "..") return std::nullopt;
  // A flashcard deck stands for a folder of photos and its sheet; the set is named after it.
  std::string name = parts.Name;
  if (IsDeckName(name) && !IsFolder(folder)) name.resize(name.size() - kDeckExtension.size());
  return QuizPlaces{folder,
                    name,
                    JoinPath(parts.Folder, name + std::string(kSetFileExtension)),
                    JoinPath(parts.Folder, name + std::string(kPreviewSuffix)),
                    JoinPath(parts.Folder, name + std::string(kWorksheetSuffix)),
                    parts.Folder};
}

// Whether the source is a flashcard deck, or a folder that holds one and no sheet: then the set
// is built from the deck, with no sheet to start.
bool HasDeck(const std::string& source) {
  Findings unused;
  return FindSourceDeck(source, unused).has_value();
}

// What an action on the folder that was killed left beside it goes before anything else.
void ClearDeadWrites(const QuizPlaces& places) {
  AtomicFile::ClearDeadWrites(places.SetFile);
  AtomicFile::ClearDeadWrites(places.Preview);
  AtomicFile::ClearDeadWrites(places.Worksheet);
}

// Why a folder cannot take new files; empty when it can.
std::string Unwritable(const std::string& folder) {
  const Status access = sys::Access(sys::kHere, folder, W_OK | X_OK);
  return access ? std::string() : access.Error().Reason();
}

// A finding in words for a box: the sheet's row, or the file, and the text. Every finding with
// a line is about a row of the sheet, but for those about the set file's own lines.
std::string InWords(const Finding& finding, const std::string& setFile) {
  if (finding.Line > 0 && finding.File != setFile)
    return Format(Tr("row %d: %s"), {finding.Line, finding.Text});
  return Format(Tr("%s: %s"), {SplitPath(finding.File).Name, finding.Text});
}

// The box about problems: how many, the first few in words, and what to do.
std::string ProblemsText(const Findings& problems, const std::string& setFile,
                         const std::string& after) {
  const int errors = problems.Count(Finding::Level::Error);
  std::string text = Format(TrN("The quiz was not made: the sheet has %d problem.",
                                "The quiz was not made: the sheet has %d problems.", errors),
                            {errors}) +
                     "\n";
  std::size_t shown = 0;
  for (const Finding& finding : problems.All) {
    if (finding.Severity != Finding::Level::Error) continue;
    if (shown++ == kProblemsShown) {
      const std::size_t more = static_cast<std::size_t>(errors) - kProblemsShown;
      text += Format(TrN("and %d more", "and %d more", more), {more}) + "\n";
      break;
    }
    text += "\n" + InWords(finding, setFile) + "\n";
  }
  return text + "\n" + after;
}

// The findings of a check of the set made name the sheet's rows, or the set file; the warnings
// of the making come with them.
Findings AsTheTeacherNamesThem(const Findings& found, const MadeSet& made) {
  SetBuild build;
  build.Sheet = made.Sheet;
  build.Rows = made.Rows;
  Findings moved = AtSheetRows(found, build);
  for (const Finding& warning : made.Problems.All) moved.All.push_back(warning);
  moved.SortByLine();
  return moved;
}

void PrintFindings(const Findings& findings) {
  for (const std::string& line : findings.Lines()) std::fprintf(stderr, "%s\n", line.c_str());
}

// A paragraph of the box on the wrong answers the program chose, printed too from a terminal;
// empty when it chose none.
std::string ChosenAnswersText(const MadeSet& made, const std::string& preview, bool terminal) {
  const std::string chosen = ChosenAnswersReport(made.Chosen);
  if (chosen.empty()) return {};
  if (terminal) std::printf("%s\n", chosen.c_str());
  return "\n\n" + chosen + " " + preview;
}

// What the flow did, for the caller to finish with.
struct Outcome {
  int Status = 0;
  std::string Play;  // a set file to play once the windows are gone
};

Outcome StartSheet(const QuizPlaces& places, Boxes& boxes, Platform& platform, bool terminal) {
  if (const std::string reason = Unwritable(places.Folder); !reason.empty()) {
    boxes.Tell(Format(Tr("No sheet can be written into the folder %s: %s.\n\nCopy the photos "
                         "into a folder of your own, for example in your home folder, and "
                         "start from there."),
                      {places.Folder, reason}),
               true);
    return {1, {}};
  }
  Findings findings;
  const std::string sheet = WriteNewSheet(places.Folder, std::string(kNewSheetName), findings).Path;
  if (terminal) PrintFindings(findings);
  if (sheet.empty()) {
    std::string text = Tr("No sheet was written:");
    for (const Finding& finding : findings.All) text += "\n\n" + InWords(finding, {});
    boxes.Tell(text, true);
    return {1, {}};
  }
  if (terminal) std::printf("%s\n", Printable(sheet).c_str());
  // The box is read first: the spreadsheet program would cover it.
  boxes.Tell(
      Format(Tr("The sheet %s is made; it opens in your spreadsheet program when you press OK.\n\n"
                "Fill in a row for each photo: the flower's name in English (column en) and in "
                "Russian (column ru). The program chooses three wrong answers for each among the "
                "other rows' flowers; to give your own, type them in en_wrong1 to en_wrong3 and "
                "ru_wrong1 to ru_wrong3. Then save the sheet where it is.\n\nWhen you are done, "
                "come back the "
                "same way: open the folder %s with \"Make an Anthora quiz\"."),
             {sheet, places.Name}));
  platform.OpenAddress(sheet);
  return {0, {}};
}

// What a build has to say once everything it made is in place or gone.
struct BuildReport {
  bool Made = false;  // the set file is in place
  bool Cancelled = false;
  std::string Text;
  std::string Open;      // a file to open for the teacher
  bool Preview = false;  // the preview is in place
};

// Builds, checks and packs the set in private and draws its preview, then puts the set file in
// place with it when it has no error, else the preview alone. Termination signals wait
// meanwhile, never while a box is up.
BuildReport MakeSetFile(const QuizPlaces& places, TApplication& application, const Boxes& boxes,
                        bool terminal) {
  const DeferredTermination signals;
  BuildReport report;
  std::optional<MadeSet> made = MakeWithProgress(application, boxes, places.Folder);
  if (!made) {
    if (terminal) std::fprintf(stderr, "%s\n", Tr("cancelled: nothing was written"));
    report.Cancelled = true;
    return report;
  }
  const std::string againText = Tr("Fix the sheet, save it, and come back the same way.");
  if (made->Problems.Count(Finding::Level::Error) > 0) {
    if (terminal) PrintFindings(made->Problems);
    report.Text = ProblemsText(made->Problems, places.SetFile, againText);
    return report;
  }

  SetFileTransaction file({places.SetFile, true, true, places.Preview});
  WriteFolder({file.BuildFolder(), std::string(kSetFolderName), false, {}, {}, {}}, made->Files);
  file.Pack(made->Sheet);
  const AnswerFace face = MainWindowAnswerFace();
  SetCheck check = file.Check(face, kPreviewQuestions);
  for (Finding& finding : check.Problems.All) AsOneFile(finding, places.SetFile, places.SetFile);
  if (DeferredTermination::Pending()) {
    report.Cancelled = true;
    return report;
  }
  const Findings problems = AsTheTeacherNamesThem(check.Problems, *made);
  // Each card names its row of the sheet and marks the answers the program chose there.
  const PreviewOrigin origin{made->Sheet, made->Rows, made->Photos, made->Chosen.Marks};
  file.DrawPreview(check, face.Font, &origin);
  const int errors = problems.Count(Finding::Level::Error);
  const int warnings = problems.Count(Finding::Level::Warning);
  if (terminal) {
    for (const std::string& line : problems.Lines()) std::printf("%s\n", line.c_str());
  }
  const bool existed = FileExists(places.SetFile);
  std::string notWritten;
  try {
    file.Commit(errors == 0);
  } catch (const WriteError& failed) {
    if (file.Written().empty()) throw;
    // The set file is in place; only the preview is not.
    notWritten =
        Format(Tr("The preview was not written: %s\n\n%s"), {failed.Path(), failed.Reason()});
  }
  if (terminal) {
    for (const std::string& written : file.Written())
      if (written == places.Preview) std::printf("%s\n", Printable(written).c_str());
  }
  if (errors > 0) {
    report.Open = places.Preview;
    std::string after =
        Format(Tr("The preview %s shows each problem on its question's card; it opens now."),
               {places.Preview}) +
        "\n\n" + againText;
    if (existed)
      after += "\n\n" +
               Format(Tr("The quiz file made before, %s, is left as it was."), {places.SetFile});
    report.Text = ProblemsText(problems, places.SetFile, after);
    return report;
  }
  report.Made = true;
  report.Preview = notWritten.empty();
  if (terminal)
    std::printf(
        "%s: %s\n", Printable(places.SetFile).c_str(),
        Format(TrN("%d question", "%d questions", made->Questions), {made->Questions}).c_str());
  report.Text =
      Format(TrN("The quiz is ready: %d question.", "The quiz is ready: %d questions.",
                 made->Questions),
             {made->Questions}) +
      "\n\n" +
      Format(Tr("It is the file %s. Hand this one file out: a double click on it starts the "
                "quiz."),
             {places.SetFile});
  report.Text += ChosenAnswersText(*made, places.Preview, terminal);
  // What is said of the sheet as a whole, photos without a row among it, has no card to show
  // it on: the box says it.
  for (const Finding& finding : made->Problems.All) {
    if (finding.Severity == Finding::Level::Warning && finding.Line == 0)
      report.Text += "\n\n" + finding.Text;
  }
  if (!notWritten.empty()) {
    report.Text += "\n\n" + notWritten;
  } else if (warnings > 0) {
    report.Text +=
        "\n\n" + Format(TrN("The preview %s shows %d warning on its card.",
                            "The preview %s shows %d warnings on their cards.", warnings),
                        {places.Preview, warnings});
  } else {
    report.Text += "\n\n" + Format(Tr("The preview %s shows every question as the quiz does."),
                                   {places.Preview});
  }
  report.Text += "\n\n" + std::string(Tr("Play it now?"));
  return report;
}

// A sheet open in a spreadsheet program may hold changes not yet saved: the teacher saves and
// closes it first, or builds from the file as it was last saved. False when she stops.
bool BuildFromOpenSheet(const QuizPlaces& places, Boxes& boxes, bool terminal) {
  Findings unused;
  const std::optional<std::string> sheet = FindSheet(places.Folder, unused);
  if (!sheet || OfficeLockFile(*sheet).empty()) return true;
  const bool saved =
      boxes.Choose(Format(Tr("The sheet %s is open in a spreadsheet program and may hold changes "
                             "that are not saved yet.\n\nSave it and close it, then come back "
                             "the same way; or make the quiz from the sheet as it was last "
                             "saved."),
                          {SplitPath(*sheet).Name}),
                   Tr("Use the saved sheet"), Tr("Cancel")) == Boxes::Choice::First;
  if (!saved && terminal) std::fprintf(stderr, "%s\n", Tr("cancelled: nothing was written"));
  return saved;
}

// Writes the worksheet of the set file just made beside it, replacing the one printed from an
// earlier build as the preview is replaced, and opens it to be printed.
Outcome PrintWorksheet(const QuizPlaces& places, TApplication& application, Boxes& boxes) {
  try {
    WriteSetWorksheet(places.SetFile, places.Worksheet, true, ToolsLanguage());
  } catch (const std::exception& failure) {
    boxes.Tell(Format(Tr("The worksheet was not written: %s"), {failure.what()}), true);
    return {1, {}};
  }
  application.GetPlatform().OpenAddress(places.Worksheet);
  return {0, {}};
}

Outcome BuildSetFile(const QuizPlaces& places, TApplication& application, Boxes& boxes,
                     bool terminal) {
  if (const std::string reason = Unwritable(places.Parent); !reason.empty()) {
    boxes.Tell(Format(Tr("The quiz cannot be written into the folder %s: %s.\n\nCopy the "
                         "folder of photos into a folder of your own, for example in your "
                         "home folder, and start from there."),
                      {places.Parent, reason}),
               true);
    return {1, {}};
  }
  if (!BuildFromOpenSheet(places, boxes, terminal)) return {1, {}};
  const BuildReport report = MakeSetFile(places, application, boxes, terminal);
  if (report.Cancelled) return {1, {}};
  if (!report.Open.empty()) application.GetPlatform().OpenAddress(report.Open);
  if (!report.Made) {
    boxes.Tell(report.Text, true);
    return {1, {}};
  }
  // The worksheet's choice stands after the preview's, or in its place when there is none.
  const std::string preview = report.Preview ? Tr("Open the preview") : "";
  const std::string worksheet = Tr("Print a worksheet");
  const Boxes::Choice choice =
      boxes.Choose(report.Text, Tr("Play the quiz"), Tr("Close"),
                   preview.empty() ? worksheet : preview, preview.empty() ? "" : worksheet);
  if (choice == Boxes::Choice::SecondMiddle || (choice == Boxes::Choice::Middle && preview.empty()))
    return PrintWorksheet(places, application, boxes);
  if (choice == Boxes::Choice::Middle) application.GetPlatform().OpenAddress(places.Preview);
  return {0, choice == Boxes::Choice::First ? places.SetFile : std::string()};
}

// The quiz program: beside this one in the build, in the programs' folder when installed.
void PlayQuiz(const std::string& setFile) {
  const std::string self = ProgramPath();
  if (self.empty()) return;
  const std::string folder = self.substr(0, self.rfind('/') + 1);
  for (const char* place : {"", ANTHORA_BINARY_FROM_HELPERS}) {
    const std::string program = folder + place + "anthora";
    // A folder another user could have put a program in is passed over, as a missing one is.
    if (!UntrustedFolder(folder + place, folder).empty() || access(program.c_str(), X_OK) != 0)
      continue;
    const char* arguments[] = {"anthora", "--", setFile.c_str(), nullptr};
    std::fflush(nullptr);
    execv(program.c_str(), const_cast<char* const*>(arguments));
  }
  std::fprintf(stderr, "anthora: %s\n", std::strerror(errno));
}

}  // namespace

int RunMakeQuiz(const CommandLine& line) {
  const bool terminal = isatty(STDIN_FILENO) == 1 || isatty(STDOUT_FILENO) == 1;
  const std::optional<QuizPlaces> places = PlacesOf(line.Source);
  Outcome outcome;
  {
    const std::unique_ptr<Platform> platform = CreateWindowPlatform(0);
    TApplication application(*platform);
    InitializeProgram(*platform);
    Boxes boxes(application, places ? places->Name : line.Source);
    application.Title = boxes.Title();
    try {
      if (line.Source.empty()) {
        boxes.Tell(Tr("No folder was named: open a folder of photos with \"Make an Anthora "
                      "quiz\"."),
                   true);
        outcome.Status = 1;
      } else if (!places || (!IsFolder(places->Folder) && !IsDeckName(places->Folder))) {
        boxes.Tell(Format(Tr("%s is not a folder of photos: open a folder with \"Make an "
                             "Anthora quiz\"."),
                          {line.Source}),
                   true);
        outcome.Status = 1;
      } else if (ClearDeadWrites(*places);
                 ListSheetFiles(places->Folder).Sheets.empty() && !HasDeck(places->Folder)) {
        outcome = StartSheet(*places, boxes, *platform, terminal);
      } else {
        outcome = BuildSetFile(*places, application, boxes, terminal);
      }
    } catch (const std::exception& failed) {
      const auto* root = dynamic_cast<const Exception*>(&failed);
      const std::string text = root ? root->Utf8Message() : failed.what();
      if (terminal) std::fprintf(stderr, "anthora: %s\n", text.c_str());
      const auto* write = dynamic_cast<const WriteError*>(&failed);
      boxes.Tell(write
                     ? Format(Tr("Nothing was written: %s\n\n%s"), {write->Path(), write->Reason()})
                     : Format(Tr("Nothing was written: %s"), {text}),
                 true);
      outcome.Status = 1;
    }
    FinalizeProgram();
  }
  if (!outcome.Play.empty()) PlayQuiz(outcome.Play);
  return outcome.Status;
}

}  // namespace anthora
