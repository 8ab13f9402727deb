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

#include "app/Authoring.h"
#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/SetArgument.h"
#include "app/Unit1.h"
#include "authoring/Findings.h"
#include "platform/sdl/SdlPlatform.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/graphics/FontFace.h"

using namespace anthora;

namespace {

// A closed terminal ends the quiz as SIGTERM does, in order, so that a set file's folder goes.
void HangUp(int) {
  raise(SIGTERM);
}

void RunQuiz(int scale, DeferredTermination* signals) {
  const std::unique_ptr<Platform> platform = CreateSdlPlatform(scale);
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
  {
    TForm1 form(nullptr);
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
    const std::unique_ptr<Platform> platform = CreateSdlPlatform(scale);
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
  const char* message =
      "no font to draw text with: neither the Liberation nor the DejaVu fonts were found, and "
      "fontconfig knows no other scalable face; install fonts-liberation2 or fonts-dejavu-core";
  std::fprintf(stderr, "anthora: %s\n", message);
  if (!isatty(STDERR_FILENO))
    ShowDesktopErrorBox("Anthora 1.0",
                        "There is no font to draw text with.\n\n"
                        "Neither the Liberation nor the DejaVu fonts were found,\n"
                        "and fontconfig knows no other scalable face.\n"
                        "Install fonts-liberation2 or fonts-dejavu-core.");
  return false;
}

int PlayQuiz(const CommandLine& line) {
  if (!CanDrawText()) return 1;
  std::optional<OpenedSet> set;
  try {
    set.emplace(line.Folder.empty() ? line.DefaultSet : line.Folder);
    if (!set->Folder().empty() && chdir(set->Folder().c_str()) != 0)
      throw std::runtime_error(Printable(set->Shown()) + ": " + std::strerror(errno));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "anthora: %s\n", Shortened(error.what(), std::string::npos).c_str());
    set.reset();
    ReportOnDesktop(error.what(), line.Scale);
    return 1;
  }
  RunQuiz(line.Scale, set->Signals());
  return 0;
}

// The program's status, unless its output could not be written: a report lost on a full disk
// must not pass for success.
int CheckedOutput(int status) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  std::fprintf(stderr, "anthora: cannot write to standard output: %s\n",
               errno != 0 ? std::strerror(errno) : "write error");
  return 1;
}

int Run(const CommandLine& line) {
  try {
    switch (line.What) {
      case CommandLine::Action::Help:
        std::fputs(kUsage, stdout);
        return 0;
      case CommandLine::Action::Version:
        std::puts("anthora 1.0");
        return 0;
      case CommandLine::Action::Check:
        return RunSetCheck(line.Folder);
      case CommandLine::Action::BuildSet:
        return RunSetBuild(line);
      case CommandLine::Action::Preview:
        return RunSetPreview(line);
      case CommandLine::Action::NewSheet:
        return RunNewSheet(line.Source);
      case CommandLine::Action::Pack:
        return RunSetPack(line);
      case CommandLine::Action::Play:
        return PlayQuiz(line);
    }
  } catch (const Exception& error) {
    std::fprintf(stderr, "anthora: %s\n",
                 Shortened(Cp1251ToUtf8(error.Message()), std::string::npos).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "anthora: %s\n", Shortened(error.what(), std::string::npos).c_str());
  }
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  CommandLine line;
  try {
    line = ParseCommandLine(argc, argv);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "anthora: %s\n%s", error.what(), kUsage);
    return 2;
  }
  return CheckedOutput(Run(line));
}
