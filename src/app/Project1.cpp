// The program: one window, the flower quiz, on the desktop; and the tools for question sets.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/CommandLine.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/SetArgument.h"
#include "app/Unit1.h"
#include "app/WindowPlatform.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/StartPhases.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/System.h"
#include "runtime/base/Translate.h"
#include "runtime/graphics/FontFace.h"

using namespace anthora;

namespace {

// A closed terminal ends the quiz as SIGTERM does, in order, so that a set file's folder goes.
void HangUp(int) {
  raise(SIGTERM);
}

void RunQuiz(int scale, DeferredTermination* signals) {
  const std::unique_ptr<Platform> platform = CreateWindowPlatform(scale);
  // From here until the window has gone, a termination signal closes the program.
  if (signals != nullptr) {
    struct sigaction hangUp {};
    if (sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler == SIG_DFL)
      std::signal(SIGHUP, HangUp);  // unless the user's nohup asked to ignore it
    signals->Allow();
  }
  TApplication application(*platform);
  InitializeProgram(*platform);
  application.Title = "Anthora 1.0";
  EndStartPhase("program");
  {
    TForm1 form(nullptr);
    EndStartPhase("form");
    application.Run();
  }
  FinalizeProgram();
  if (signals != nullptr) signals->Defer();
}

// A set that cannot be played is also shown in the error box when the program was started
// from the desktop, where nobody reads its standard error; nothing more when it has no display.
void ReportOnDesktop(const std::string& message, int scale) {
  if (isatty(STDERR_FILENO)) return;
  try {
    const std::unique_ptr<Platform> platform = CreateWindowPlatform(scale);
    TApplication application(*platform);
    InitializeProgram(*platform);
    application.Title = "Anthora 1.0";
    application.HandleException(
        std::make_exception_ptr(Exception(Utf8ToCp1251(message).value_or(message))));
    FinalizeProgram();
  } catch (...) {
  }
}

// A window without text would show no answers and no buttons' captions: without a usable face
// the program says so and does not start.
bool CanDrawText() {
  if (FindFontFace(TFont{}).Usable()) return true;
  std::fprintf(
      stderr, "anthora: %s\n",
      Tr("no font to draw text with: neither the Liberation nor the DejaVu fonts were found, and "
         "fontconfig knows no other scalable face; install fonts-liberation2 or "
         "fonts-dejavu-core"));
  if (!isatty(STDERR_FILENO))
    ShowDesktopErrorBox("Anthora 1.0",
                        Tr("There is no font to draw text with.\n\n"
                           "Neither the Liberation nor the DejaVu fonts were found,\n"
                           "and fontconfig knows no other scalable face.\n"
                           "Install fonts-liberation2 or fonts-dejavu-core."));
  return false;
}

// The set a menu entry names is relative to the program's folder, so that the entry needs no
// absolute path that a launcher could split at a blank.
std::string DefaultSetOf(const std::string& named) {
  if (named.empty() || named.front() == '/') return named;
  const std::string self = ProgramPath();
  return self.substr(0, self.rfind('/') + 1) + named;
}

int PlayQuiz(const CommandLine& line) {
  if (!CanDrawText()) return 1;
  std::optional<OpenedSet> set;
  try {
    set.emplace(line.Folder.empty() ? DefaultSetOf(line.DefaultSet) : line.Folder);
    if (!set->Folder().empty() && chdir(set->Folder().c_str()) != 0)
      throw SetFileError(Printable(set->Shown()) + ": " + std::strerror(errno));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "anthora: %s\n", Shortened(error.what(), std::string::npos).c_str());
    set.reset();
    ReportOnDesktop(error.what(), line.Scale);
    return 1;
  }
  RunQuiz(line.Scale, set->Signals());
  return 0;
}

// The commands for question sets run in a program of their own, which takes this one's place
// with the same arguments: beside this program in the build, in the helpers' folder when
// installed. The quiz thus starts without the libraries only those commands use.
int RunAuthoringProgram(char* argv[]) {
  const std::string self = ProgramPath();
  if (self.empty()) {
    std::fprintf(
        stderr, "anthora: %s\n",
        Format(Tr("cannot find the program's own file: %s"), {std::strerror(errno)}).c_str());
    return 1;
  }
  const std::string folder = self.substr(0, self.rfind('/') + 1);
  // A folder another user could have put a program in is passed over, as a missing one is.
  std::string program;
  std::string refused;
  int error = ENOENT;
  for (const char* place : {"", ANTHORA_HELPERS_FROM_BINARY}) {
    program = folder + place + "anthora-authoring";
    if (const std::string why = UntrustedFolder(folder + place, folder); !why.empty()) {
      if (refused.empty()) refused = Format(Tr("cannot run %1$s: %2$s"), {Printable(program), why});
      continue;
    }
    execv(program.c_str(), argv);
    error = errno;
    if (error != ENOENT) break;
  }
  const std::string message =
      error == ENOENT && !refused.empty()
          ? refused
          : Format(Tr("cannot run %1$s: %2$s"), {Printable(program), std::strerror(error)});
  std::fprintf(stderr, "anthora: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  EndStartPhase("libraries");
  StartTranslation();
  const std::optional<CommandLine> line = ParseOrExplain(argc, argv);
  if (!line) return 2;
  switch (line->What) {
    case CommandLine::Action::Help:
      return RunReported([] {
        std::fputs(Usage(), stdout);
        return 0;
      });
    case CommandLine::Action::Version:
      return RunReported([] {
        std::puts("anthora 1.0");
        return 0;
      });
    case CommandLine::Action::Play:
      return RunReported([&] { return PlayQuiz(*line); });
    default:
      return RunAuthoringProgram(argv);
  }
}
