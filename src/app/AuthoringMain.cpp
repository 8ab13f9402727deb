// The commands for question sets, which the quiz hands over to with the same command line: a
// program of their own, so that the libraries that read sheets and write pictures are loaded
// only by the commands that use them, never at the quiz's start.
#include <cstdio>

#include "app/Authoring.h"
#include "app/Main.h"
#include "runtime/base/Translate.h"

using namespace anthora;

int main(int argc, char* argv[]) {
  StartTranslation();
  const std::optional<CommandLine> line = ParseOrExplain(argc, argv);
  if (!line) return 2;
  return RunReported([&] {
    switch (line->What) {
      case CommandLine::Action::Check:
        return RunSetCheck(line->Folder);
      case CommandLine::Action::BuildSet:
        return RunSetBuild(*line);
      case CommandLine::Action::Preview:
        return RunSetPreview(*line);
      case CommandLine::Action::Worksheet:
        return RunWorksheet(*line);
      case CommandLine::Action::NewSheet:
        return RunNewSheet(*line);
      case CommandLine::Action::Pack:
        return RunSetPack(*line);
      case CommandLine::Action::MakeQuiz:
        return RunMakeQuiz(*line);
      case CommandLine::Action::ExportDeck:
        return RunDeckExport(*line);
      case CommandLine::Action::Play:
      case CommandLine::Action::Help:
      case CommandLine::Action::Version:
        break;
    }
    std::fprintf(stderr, "anthora: %s\n",
                 Tr("the question-set commands are --check, --build-set, --preview, "
                    "--new-sheet, --pack and --export-deck"));
    return 2;
  });
}
