// The teacher's way in from a file manager: "Open With" on a folder of photos starts the sheet
// there and opens it in the spreadsheet program; once it is filled in, the same step builds the
// set file and its preview beside the folder. Every step ends in one of the program's own
// boxes; started from a terminal, the command also prints its report there.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/Authoring.h"
#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/WindowPlatform.h"
#include "authoring/NewSheet.h"
#include "authoring/SetBuilder.h"
#include "authoring/SetChecker.h"
#include "authoring/SetPreview.h"
#include "authoring/WrongAnswers.h"
#include "controls/xpButton.h"
#include "picture/Photo.h"
#include "platform/PngWriter.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/SetArchive.h"
#include "quiz/SetFile.h"
#include "quiz/SetPacker.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/System.h"
#include "runtime/base/Translate.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/ZipArchive.h"
#include "runtime/ui/Dialogs.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"
#include "sheet/Sheet.h"

namespace anthora {

namespace {

namespace fs = std::filesystem;

// The problems a box names in words; the preview shows them all.
constexpr std::size_t kProblemsShown = 5;
// A build that ends sooner shows no progress window.
constexpr auto kProgressDelay = std::chrono::milliseconds(1000);
constexpr auto kProgressTurn = std::chrono::milliseconds(30);

// Where the flow reads and writes, all absolute: the set file and its preview lie beside the
// folder of photos, named after it.
struct QuizPlaces {
  std::string Folder;
  std::string Parent;
  std::string SetFile;  // PARENT/NAME.anthora
  std::string Preview;  // PARENT/NAME-preview.png
};

std::optional<QuizPlaces> PlacesOf(const std::string& argument) {
  fs::path folder = fs::absolute(argument).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();  // a name that ended in "/"
  const std::string name = folder.filename().string();
  if (name.empty() || name == "." || name == ".." || folder.parent_path() == folder)
    return std::nullopt;
  const fs::path parent = folder.parent_path();
  return QuizPlaces{folder.string(), parent.string(),
                    (parent / (name + std::string(kSetFileExtension))).string(),
                    (parent / (name + "-preview.png")).string()};
}

// Why a folder cannot take new files; empty when it can.
std::string Unwritable(const std::string& folder) {
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return {};
  return std::strerror(errno);
}

// A set file of an earlier run may be replaced; any other file in its place is the teacher's.
std::string RefuseAllButSetFile(const std::string& path) {
  try {
    const ZipArchive archive = ZipArchive::OpenFile(path, kMaxSetBytes);
    if (archive.Find(kEnglishSetPath) || archive.Find(kRussianSetPath)) return {};
  } catch (const ZipError&) {
  }
  return Tr("is there and is not a quiz file, so it is not replaced");
}

// A preview of an earlier run may be replaced; any other file in its place is the teacher's.
std::string RefuseAllButPng(const std::string& path) {
  std::string start(kPngSignature.size(), '\0');
  std::FILE* file = std::fopen(path.c_str(), "rb");
  const bool png = file != nullptr &&
                   std::fread(start.data(), 1, start.size(), file) == start.size() &&
                   start == kPngSignature;
  if (file != nullptr) std::fclose(file);
  return png ? std::string() : Tr("is there and is not a PNG picture, so it is not replaced");
}

// The program's own boxes, titled with the command's name, in the user's language.
class Boxes {
 public:
  explicit Boxes(TApplication& application) : FApplication(application) {}

  void Tell(const std::string& text, bool error = false) {
    TMessageForm box(Title(), Utf8ToCp1251Shown(text), error);
    FApplication.ShowModal(box);
  }
  bool Ask(const std::string& text) {
    TMessageForm box(Title(), Utf8ToCp1251Shown(text), false, TMessageButtons::YesNo,
                     Utf8ToCp1251Shown(Tr("Yes")), Utf8ToCp1251Shown(Tr("No")));
    return FApplication.ShowModal(box) == mrYes;
  }
  static std::string Title() { return Utf8ToCp1251Shown(Tr("Make an Anthora quiz")); }

 private:
  TApplication& FApplication;
};

// The small window that shows how many photos are made, with the quiz's face and controls.
class ProgressWindow {
 public:
  ProgressWindow() : FForm(std::make_unique<TForm>(nullptr)) {
    TForm& form = *FForm;
    form.SetCaption(Boxes::Title());
    form.SetColor(static_cast<TColor>(0x00DFDFDF));
    form.Font().SetName("MS Sans Serif");
    form.Font().SetHeight(-11);
    FLabel = new TLabel(FForm.get());
    FLabel->SetParent(FForm.get());
    FLabel->SetTransparent(true);
    FLabel->SetBounds(12, 12, 296, 16);
    FBar = new TProgressBar(FForm.get());
    FBar->SetParent(FForm.get());
    FBar->SetBounds(12, 34, 296, 18);
    FButton = new TxpButton(FForm.get());
    FButton->SetParent(FForm.get());
    FButton->SetCaption(Utf8ToCp1251Shown(Tr("Cancel")));
    FButton->SetCancel(true);
    FButton->SetBounds(233, 64, 75, 25);
    FButton->OnClick = [this](TObject*) { Cancel(); };
    form.SetClientSize(320, 101);
  }

  void Show() { FForm->Show(); }
  bool Cancelled() const { return FCancelled; }
  // Work that has stopped for a signal or the user ends the same way.
  void Cancel() {
    if (FCancelled) return;
    FCancelled = true;
    DeferredTermination::StopWork();
    FButton->SetEnabled(false);
  }
  void Update(std::size_t done, std::size_t all) {
    if (all == 0) return;
    FBar->SetMax(static_cast<std::int32_t>(all));
    FBar->SetPosition(static_cast<std::int32_t>(done));
    FLabel->SetCaption(Utf8ToCp1251Shown(
        Format(TrN("%d of %d photo made", "%d of %d photos made", all), {done, all})));
  }

 private:
  std::unique_ptr<TForm> FForm;
  TLabel* FLabel = nullptr;
  TProgressBar* FBar = nullptr;
  TxpButton* FButton = nullptr;
  bool FCancelled = false;
};

// Makes the set in memory on other threads, showing its progress once it takes a while; none
// when the teacher cancelled it or the desktop closed its window.
std::optional<MadeSet> MakeWithProgress(TApplication& application, const std::string& source) {
  std::atomic<std::size_t> done = 0;
  std::atomic<std::size_t> all = 0;
  std::atomic<bool> finished = false;
  MadeSet made;
  std::exception_ptr failure;
  // Made after the signals are held back, the thread and its helpers hold them back too.
  std::thread worker([&] {
    try {
      made = MakeQuestionSet(source, 0, [&](std::size_t photos, std::size_t of) {
        all = of;
        done = photos;
      });
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
  });
  const auto start = std::chrono::steady_clock::now();
  std::optional<ProgressWindow> window;
  while (!finished) {
    if (!window && std::chrono::steady_clock::now() - start >= kProgressDelay) {
      window.emplace();
      window->Update(done, all);
      window->Show();
    }
    if (window) {
      application.ProcessMessages();
      if (application.Terminated()) window->Cancel();
      window->Update(done, all);
    }
    std::this_thread::sleep_for(kProgressTurn);
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
  if ((window && window->Cancelled()) || DeferredTermination::Pending()) return std::nullopt;
  return made;
}

// A finding in words for a box: the sheet's row, or the file, and the text. Every finding with
// a line is about a row of the sheet, but for those about the set file's own lines.
std::string InWords(const Finding& finding, const std::string& setFile) {
  if (finding.Line > 0 && finding.File != setFile)
    return Format(Tr("row %d: %s"), {finding.Line, finding.Text});
  return Format(Tr("%s: %s"), {fs::path(finding.File).filename().string(), finding.Text});
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

// The findings of a check of the set built in `built` name the sheet's rows, or the set file.
Findings AsTheTeacherNamesThem(const Findings& found, const MadeSet& made, const std::string& built,
                               const std::string& setFile) {
  SetBuild build;
  build.Sheet = made.Sheet;
  build.Rows = made.Rows;
  Findings moved = AtSheetRows(found, build);
  for (Finding& finding : moved.All) {
    if (finding.File.starts_with(built)) finding.File = setFile;
  }
  for (const Finding& warning : made.Problems.All) moved.All.push_back(warning);
  moved.SortByLine();
  return moved;
}

void PrintFindings(const Findings& findings) {
  for (const std::string& line : findings.Lines()) std::fprintf(stderr, "%s\n", line.c_str());
}

// The preview drawn in memory, then written as one step beside the folder.
void WritePreview(const std::string& path, SetPreview preview) {
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&data, &size);
  if (memory == nullptr) throw WriteError(path, std::strerror(errno));
  const bool drawn = WritePng(memory, preview.Surface());
  std::fclose(memory);
  const std::string bytes(data, size);
  std::free(data);
  if (!drawn) throw WriteError(path, Tr("the picture could not be made"));
  AtomicFile file(path, true, RefuseAllButPng);
  if (!WriteAll(file.Create().Get(), bytes)) throw WriteError(path, std::strerror(errno));
  file.Commit();
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
  platform.OpenAddress(sheet);
  boxes.Tell(Format(
      Tr("The sheet %s is made and opens in your spreadsheet program.\n\nFill in a row for "
         "each photo: the flower's name in English (column en) and in Russian (column ru). "
         "The program chooses three wrong answers for each among the other rows' flowers; to "
         "give your own, type them in en_wrong1 to en_wrong3 and ru_wrong1 to ru_wrong3. Then "
         "save the sheet where it is.\n\nWhen you are done, come back the "
         "same way: open the folder %s with \"Make an Anthora quiz\"."),
      {sheet, fs::path(places.Folder).filename().string()}));
  return {0, {}};
}

// What a build has to say once everything it made is in place or gone.
struct BuildReport {
  bool Made = false;  // the set file is in place
  bool Cancelled = false;
  std::string Text;
  std::string Open;  // a file to open for the teacher
};

// Builds, checks and packs the set in private, writes the preview, and puts the set file in
// place when it has no error. Termination signals wait meanwhile, never while a box is up.
BuildReport MakeSetFile(const QuizPlaces& places, TApplication& application, bool terminal) {
  const DeferredTermination signals;
  BuildReport report;
  std::optional<MadeSet> made = MakeWithProgress(application, places.Folder);
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

  AtomicFile packed(places.SetFile, true, RefuseAllButSetFile);
  const std::string built = packed.Folder() + "/set";
  WriteFolder({built, std::string(kSetFolderName), false, {}, {}, {}}, made->Files);
  PackSetFolder(built, packed);
  const AnswerFace face = MainWindowAnswerFace();
  SetCheck check = CheckQuestionSets(built, face, kPreviewQuestions);
  if (DeferredTermination::Pending()) {
    report.Cancelled = true;
    return report;
  }
  const Findings problems = AsTheTeacherNamesThem(check.Problems, *made, built, places.SetFile);
  for (Finding& finding : check.Problems.All) {
    if (finding.File.starts_with(built)) finding.File = places.SetFile;
  }
  // Each card names its row of the sheet and marks the answers the program chose there.
  const PreviewOrigin origin{made->Sheet, made->Rows, made->Photos, made->Chosen.Marks};
  WritePreview(places.Preview, DrawSetPreview(places.SetFile, check, face.Font, nullptr, &origin));
  const int errors = problems.Count(Finding::Level::Error);
  const int warnings = problems.Count(Finding::Level::Warning);
  if (terminal) {
    for (const std::string& line : problems.Lines()) std::printf("%s\n", line.c_str());
    std::printf("%s\n", Printable(places.Preview).c_str());
  }
  if (errors > 0) {
    report.Open = places.Preview;
    std::string after =
        Format(Tr("The preview %s shows each problem on its question's card; it opens now."),
               {places.Preview}) +
        "\n\n" + againText;
    if (fs::exists(places.SetFile))
      after += "\n\n" +
               Format(Tr("The quiz file made before, %s, is left as it was."), {places.SetFile});
    report.Text = ProblemsText(problems, places.SetFile, after);
    return report;
  }
  packed.Commit();
  report.Made = true;
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
  if (warnings > 0)
    report.Text +=
        "\n\n" + Format(TrN("The preview %s shows %d warning on its card.",
                            "The preview %s shows %d warnings on their cards.", warnings),
                        {places.Preview, warnings});
  report.Text += "\n\n" + std::string(Tr("Play it now?"));
  return report;
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
  const BuildReport report = MakeSetFile(places, application, terminal);
  if (report.Cancelled) return {1, {}};
  if (!report.Open.empty()) application.GetPlatform().OpenAddress(report.Open);
  if (!report.Made) {
    boxes.Tell(report.Text, true);
    return {1, {}};
  }
  return {0, boxes.Ask(report.Text) ? places.SetFile : std::string()};
}

// The quiz program: beside this one in the build, in the programs' folder when installed.
void PlayQuiz(const std::string& setFile) {
  const std::string self = ProgramPath();
  if (self.empty()) return;
  const std::string folder = self.substr(0, self.rfind('/') + 1);
  for (const char* place : {"", ANTHORA_BINARY_FROM_HELPERS}) {
    const std::string program = folder + place + "anthora";
    if (access(program.c_str(), X_OK) != 0) continue;
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
    application.Title = Boxes::Title();
    Boxes boxes(application);
    try {
      std::error_code error;
      if (!places || !fs::is_directory(places->Folder, error)) {
        boxes.Tell(Format(Tr("%s is not a folder of photos: open a folder with \"Make an "
                             "Anthora quiz\"."),
                          {line.Source}),
                   true);
        outcome.Status = 1;
      } else if (ListSheetFiles(places->Folder).Sheets.empty()) {
        outcome = StartSheet(*places, boxes, *platform, terminal);
      } else {
        outcome = BuildSetFile(*places, application, boxes, terminal);
      }
    } catch (const WriteError& failed) {
      if (terminal) std::fprintf(stderr, "anthora: %s\n", failed.what());
      boxes.Tell(Format(Tr("Nothing was written: %s\n\n%s"), {failed.Path(), failed.Reason()}),
                 true);
      outcome.Status = 1;
    } catch (const std::exception& failed) {
      if (terminal) std::fprintf(stderr, "anthora: %s\n", failed.what());
      boxes.Tell(Format(Tr("Nothing was written: %s"), {failed.what()}), true);
      outcome.Status = 1;
    }
    FinalizeProgram();
  }
  if (!outcome.Play.empty()) PlayQuiz(outcome.Play);
  return outcome.Status;
}

}  // namespace anthora
