#pragma once

#include <string>

#include "runtime/base/Exceptions.h"

namespace anthora {

// What the program was asked to do: `anthora [OPTIONS] [FOLDER]`.
struct CommandLine {
  enum class Action {
    Play,
    Check,
    BuildSet,
    NewSheet,
    Pack,
    Preview,
    Worksheet,
    MakeQuiz,
    ExportDeck,
    Help,
    Version
  };
  Action What = Action::Play;
  std::string Folder;      // Play, Check, Preview and Worksheet: the set's folder or file; empty:
                           // the current
  std::string DefaultSet;  // Play: the set to play when Folder is empty
  std::string Source;      // BuildSet, NewSheet and MakeQuiz: the sheet and photos; Pack: the set's
                           // folder
  std::string Output;  // BuildSet: the folder that receives ris/, or a set file; Pack: a set file;
                       // Preview, Worksheet and ExportDeck: the file, when named; NewSheet: the
                       // sheet's name, if given
  bool Force = false;  // BuildSet, Pack, Preview, Worksheet and ExportDeck: replace an existing
                       // ris/, set file, picture, PDF or deck
  int Scale = 0;       // Play: screen pixels per window pixel; 0 chooses from the screen
  std::string Language;  // ExportDeck: "en" or "ru"; empty for the language of the messages
};

// A command line that cannot be followed; the message says why.
class UsageError : public ERefusal {
  using ERefusal::ERefusal;
};

// The largest scale taken: a window this many times its size still fits the largest screens.
inline constexpr int kMaxScale = 8;

CommandLine ParseCommandLine(int argc, char* const argv[]);

// The usage text shown by --help and after a usage error, in the user's language.
const char* Usage();

}  // namespace anthora
