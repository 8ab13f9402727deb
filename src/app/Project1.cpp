// The program: one window, the flower quiz, on the desktop; and the tools for question sets.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "app/Authoring.h"
#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/sdl/SdlPlatform.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"

using namespace anthora;

namespace {

int PlayQuiz(const CommandLine& line) {
  if (!line.Folder.empty() && chdir(line.Folder.c_str()) != 0) {
    std::fprintf(stderr, "anthora: %s: %s\n", line.Folder.c_str(), std::strerror(errno));
    return 1;
  }
  const std::unique_ptr<Platform> platform = CreateSdlPlatform(line.Scale);
  TApplication application(*platform);
  InitializeProgram(*platform);
  application.Title = "Anthora 1.0";
  {
    TForm1 form(nullptr);
    application.Run();
  }
  FinalizeProgram();
  return 0;
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
      case CommandLine::Action::NewSheet:
        return RunNewSheet(line.Source);
      case CommandLine::Action::Play:
        return PlayQuiz(line);
    }
  } catch (const Exception& error) {
    std::fprintf(stderr, "anthora: %s\n", Cp1251ToUtf8(error.Message()).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "anthora: %s\n", error.what());
  }
  return 1;
}
