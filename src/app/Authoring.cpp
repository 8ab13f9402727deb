#include "app/Authoring.h"

#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/SetArgument.h"
#include "app/Unit1.h"
#include "authoring/NewSheet.h"
#include "authoring/SetBuilder.h"
#include "authoring/SetChecker.h"
#include "authoring/SetPacker.h"
#include "authoring/SetPreview.h"
#include "controls/xpButton.h"
#include "platform/PngWriter.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/SetArchive.h"
#include "quiz/SetFile.h"
#include "runtime/files/Files.h"
#include "runtime/files/SafeWrite.h"

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

// A path as the shell takes it back.
std::string ShellWord(const std::string& path) {
  if (path.starts_with('-')) return ShellWord("./" + path);  // not to be taken for an option
  if (!path.empty() && path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                              "0123456789._/-+,:@") == std::string::npos)
    return path;
  std::string quoted = "'";
  for (const char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// NAME-preview.png in the current folder, after the set's last name without its extension.
std::string DefaultPreviewPath(const std::string& set) {
  std::filesystem::path path =
      std::filesystem::absolute(set.empty() ? "." : set).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();  // a name that ended in "/"
  std::string name = path.filename().string();
  if (IsSetFileName(name)) name = path.stem().string();
  if (name.empty()) name = "set";
  return name + "-preview.png";
}

// Whether a file name ends in .png, in any letter case.
bool IsPngName(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
  return extension == ".png";
}

}  // namespace

Findings AtSheetRows(const Findings& found, const SetBuild& build) {
  Findings moved;
  for (Finding finding : found.All) {
    const std::optional<std::size_t> question = QuestionOfLine(finding.Line);
    if (IsSetFilePath(finding.File) && question && *question < build.Rows.size()) {
      if (finding.Text.ends_with(": one photo, two right answers")) continue;
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

// The findings of a check name the files as the user named the set, not where it was unpacked.
void ShowAsNamed(const OpenedSet& set, SetCheck& check) {
  const auto show = [&](Finding& finding) {
    finding.File = set.Show(finding.File);
    finding.Text = set.ShowIn(std::move(finding.Text));
  };
  for (Finding& finding : check.Problems.All) show(finding);
  for (CheckedSetFile* file : {&check.English, &check.Russian}) {
    for (Finding& finding : file->AboutTheFile) show(finding);
    for (CheckedQuestion& question : file->First) {
      for (Finding& finding : question.Problems) show(finding);
    }
  }
}

// Checks a set and reports each finding, then a line for the set; with the build it came
// from, its findings name the sheet's rows. A set file not yet in place is named as it will be.
int CheckSet(const std::string& argument, const SetBuild* build = nullptr,
             const std::string& shownAs = {}) {
  // A folder is checked whatever it holds, so that the report names what is missing.
  const OpenedSet set(argument, OpenedSet::Need::Anything, shownAs);
  const OffscreenProgram program;
  SetCheck check = CheckQuestionSets(set.Folder(), MainWindowAnswerFace());
  if (DeferredTermination::Pending()) return 1;  // the signal ends the program when the set goes
  ShowAsNamed(set, check);
  if (build) check.Problems = AtSheetRows(check.Problems, *build);
  for (const std::string& finding : check.Problems.Lines()) std::printf("%s\n", finding.c_str());
  const std::string& folder = set.Shown();
  std::printf("%s (%s), %s (%s): %s\n",
              Printable(JoinPath(folder, std::string(kEnglishSetPath))).c_str(),
              Counted(check.English.Questions, "question").c_str(),
              Printable(JoinPath(folder, std::string(kRussianSetPath))).c_str(),
              Counted(check.Russian.Questions, "question").c_str(), check.Problems.Tally().c_str());
  return check.Problems.Count(Finding::Level::Error) > 0 ? 1 : 0;
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
  std::optional<AtomicFile> packed;
  std::string building;
  if (IsSetFileName(line.Output)) {
    packed.emplace(line.Output, line.Force);
    building = packed->Folder() + "/set";
  }
  SetBuild build = BuildQuestionSet(line.Source, packed ? building : line.Output, line.Force);
  for (Finding& finding : build.Problems.All) {  // the set file, not its private folder
    if (packed && finding.File.starts_with(building)) finding.File = line.Output;
  }
  for (const std::string& finding : build.Problems.Lines())
    std::fprintf(stderr, "%s\n", finding.c_str());
  if (build.Problems.Count(Finding::Level::Error) > 0) {
    std::fprintf(stderr, "nothing written: %s\n", build.Problems.Tally().c_str());
    return 1;
  }
  if (packed) PackSetFolder(building, *packed);
  std::printf("%s: %s, %s\n", Printable(packed ? line.Output : build.SetFolder).c_str(),
              Counted(build.Questions, "question").c_str(),
              Counted(build.Pictures, "picture").c_str());
  // A set file is checked before it is put in place, so that an interrupted check leaves none.
  const int checked =
      packed ? CheckSet(packed->Made(), &build, line.Output) : CheckSet(line.Output, &build);
  if (packed) packed->Commit();
  std::printf("to see every question in one picture: anthora --preview %s\n",
              ShellWord(line.Output).c_str());
  return checked;
}

int RunSetPack(const CommandLine& line) {
  AtomicFile packed(line.Output, line.Force);
  const int files = [&] {
    const OpenedSet set(line.Source);
    return PackSetFolder(set.Folder(), packed);
  }();
  std::printf("%s: %s\n", Printable(line.Output).c_str(), Counted(files, "file").c_str());
  const int checked = CheckSet(packed.Made(), nullptr, line.Output);
  packed.Commit();
  return checked;
}

int RunSetPreview(const CommandLine& line) {
  const std::string path = line.Output.empty() ? DefaultPreviewPath(line.Folder) : line.Output;
  if (!IsPngName(path))
    throw std::runtime_error(path + ": a preview is a PNG picture; give it a name ending in .png");
  const OpenedSet set(line.Folder, OpenedSet::Need::Anything);
  if (!FileExists(JoinPath(set.Folder(), std::string(kEnglishSetPath))) &&
      !FileExists(JoinPath(set.Folder(), std::string(kRussianSetPath))))
    throw std::runtime_error((set.Shown().empty() ? "." : set.Shown()) +
                             ": no question set here: looked for " +
                             JoinPath(set.Shown(), std::string(kEnglishSetPath)) + " and " +
                             JoinPath(set.Shown(), std::string(kRussianSetPath)));
  const OffscreenProgram program;
  const AnswerFace face = MainWindowAnswerFace();
  SetCheck check = CheckQuestionSets(set.Folder(), face, kPreviewQuestions);
  ShowAsNamed(set, check);
  SetPreview preview = DrawSetPreview(set.Shown(), check, face.Font);
  WriteFileAtomically(path, line.Force,
                      [&](std::FILE* file) { return WritePng(file, preview.Surface()); });
  std::printf("%s: %s", Printable(path).c_str(), Counted(preview.Shown, "question").c_str());
  if (preview.Shown < preview.Questions)
    std::printf(", the first of %d (one picture holds at most %d)", preview.Questions,
                kPreviewQuestions);
  std::printf("; %s\n", check.Problems.Tally().c_str());
  return 0;
}

int RunNewSheet(const std::string& source) {
  Findings findings;
  const std::string path = WriteNewSheet(source, findings);
  for (const std::string& line : findings.Lines()) std::fprintf(stderr, "%s\n", line.c_str());
  if (path.empty()) return 1;
  std::printf(
      "%s: a header row and an example row; fill in a row per photo, then run\n"
      "anthora --build-set %s OUTPUT\n",
      Printable(path).c_str(), Printable(source).c_str());
  return 0;
}

}  // namespace anthora
