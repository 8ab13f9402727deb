#include "app/CommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "quiz/SetArchive.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

const char* Usage() {
  return Tr(
      // TRANSLATORS: the options, file names and the sheet's column names stay as they are;
      // the descriptions start in one column.
      "Usage: anthora [OPTIONS] [FOLDER]\n"
      "       anthora [OPTIONS] NAME.anthora\n"
      "A flower quiz. Plays the question set in FOLDER/ris (default: the current folder), in\n"
      "FOLDER itself when it is a ris folder, or in the set file NAME.anthora.\n"
      "\n"
      "  --check [SET]                check the question set (a folder or a set file) and report\n"
      "                               every problem as FILE:LINE: error|warning: TEXT\n"
      "  --build-set SOURCE OUTPUT    make OUTPUT/ris, or the set file OUTPUT when it ends in\n"
      "                               .anthora, from the sheet SOURCE/questions.tsv (or .csv,\n"
      "                               .txt, .ods, .xlsx) and the photos it names\n"
      "  --new-sheet SOURCE [SHEET]   start the sheet SOURCE/questions.ods (or SHEET:\n"
      "                               questions.xlsx, .csv or .tsv) with a row for each photo\n"
      "                               in SOURCE and its folders\n"
      "  --pack FOLDER NAME.anthora   pack the set in FOLDER into the set file NAME.anthora\n"
      "  --preview SET [OUTPUT.png]   draw every question of the set with the checker's findings\n"
      "                               into one picture (default: SET-preview.png here)\n"
      "  --worksheet SET [OUTPUT.pdf] write a worksheet to print, with its answer key and\n"
      "                               grades (default: SET-worksheet.pdf here)\n"
      "  --make-quiz FOLDER           the way in from a file manager, in boxes: start the sheet\n"
      "                               in FOLDER and open it, or, once it is filled in, build\n"
      "                               FOLDER.anthora and FOLDER-preview.png beside FOLDER\n"
      "  --export-deck SET [OUT.apkg] write the set as a flashcard deck (default: NAME.apkg\n"
      "                               here)\n"
      "  --language en|ru             with --worksheet and --export-deck: the set's language\n"
      "                               (default: the language of these messages)\n"
      "  --force                      with --build-set: replace the set in an existing\n"
      "                               OUTPUT/ris (fen.ani, fru.ani, the .jpg pictures),\n"
      "                               keeping every other file in it, or an existing set file;\n"
      "                               with --pack, --preview, --worksheet and --export-deck:\n"
      "                               replace an existing file\n"
      "  --default-set SET            play SET when no set is named (the menu entry's sample;\n"
      "                               a relative SET lies beside the program's folder)\n"
      "  --scale N                    draw the window N times its size (N from 1 to 8, or max:\n"
      "                               the largest that fits the screen)\n"
      "  --help                       show this help and exit\n"
      "  --version                    show the version and exit\n"
      "\n"
      "The sheet's columns: picture (the photo's file name), en (the right answer), the same\n"
      "for Russian as ru, and optionally en_wrong1 to en_wrong3 and ru_wrong1 to ru_wrong3\n"
      "(wrong answers: those left empty are chosen among the other rows' flowers), crop\n"
      "(centre, top, bottom, left, right or a point X%,Y%) and rotate (0, 90, 180 or 270\n"
      "degrees clockwise). A column without a name is not read.\n");
}

namespace {

enum class Option {
  Check,
  BuildSet,
  NewSheet,
  Pack,
  Preview,
  Worksheet,
  MakeQuiz,
  ExportDeck,
  Language,
  Force,
  DefaultSet,
  Scale,
  Help,
  Version
};

struct OptionName {
  std::string_view Name;  // without the leading "--"
  Option Id;
  bool TakesValue;
};

constexpr OptionName kOptions[] = {
    {"check", Option::Check, false},
    {"build-set", Option::BuildSet, false},
    {"new-sheet", Option::NewSheet, false},
    {"pack", Option::Pack, false},
    {"preview", Option::Preview, false},
    {"make-quiz", Option::MakeQuiz, false},
    {"worksheet", Option::Worksheet, false},
    {"export-deck", Option::ExportDeck, false},
    {"language", Option::Language, true},
    {"force", Option::Force, false},
    {"default-set", Option::DefaultSet, true},
    {"scale", Option::Scale, true},
    {"help", Option::Help, false},
    {"version", Option::Version, false},
};

// The option a "--NAME" word names, exactly or by the start of one name alone.
const OptionName& FindOption(std::string_view word, std::string_view name) {
  const OptionName* found = nullptr;
  for (const OptionName& option : kOptions) {
    if (option.Name == name) return option;
    if (!name.empty() && option.Name.starts_with(name)) {
      if (found) throw UsageError(Format(Tr("ambiguous option %s"), {Quoted(word)}));
      found = &option;
    }
  }
  if (!found) throw UsageError(Format(Tr("unknown option %s"), {Quoted(word)}));
  return *found;
}

int ParseScale(const std::string& text) {
  // The largest scale is lowered, as any other, until the window fits the screen.
  if (text == "max") return kMaxScale;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || text[0] < '0' || text[0] > '9' || *end != '\0' || errno != 0 || value < 1 ||
      value > kMaxScale)
    throw UsageError(Format(Tr("--scale takes a whole number from 1 to %d or max, not %s"),
                            {kMaxScale, Quoted(text)}));
  return static_cast<int>(value);
}

void SetAction(CommandLine& line, CommandLine::Action action) {
  if (line.What != CommandLine::Action::Play && line.What != action)
    throw UsageError(
        Tr("--check, --build-set, --new-sheet, --pack, --preview and --worksheet cannot be "
           "combined"));
  line.What = action;
}

}  // namespace

CommandLine ParseCommandLine(int argc, char* const argv[]) {
  CommandLine line;
  bool help = false;
  bool version = false;
  bool scaled = false;
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (optionsEnded || word == "-" || !word.starts_with('-')) {
      operands.emplace_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (!word.starts_with("--")) throw UsageError(Format(Tr("unknown option %s"), {Quoted(word)}));
    const std::size_t equals = word.find('=');
    const OptionName& option = FindOption(word, word.substr(2, equals - 2));
    std::string value;
    if (equals != std::string_view::npos) {
      if (!option.TakesValue)
        throw UsageError(Format(Tr("--%s takes no value: %s"), {option.Name, Quoted(word)}));
      value = word.substr(equals + 1);
    } else if (option.TakesValue) {
      if (++i == argc)
        throw UsageError(Format(option.Id == Option::Scale      ? Tr("--%s needs a number")
                                : option.Id == Option::Language ? Tr("--%s needs en or ru")
                                                                : Tr("--%s needs a set"),
                                {option.Name}));
      value = argv[i];
    }
    switch (option.Id) {
      case Option::Check:
        SetAction(line, CommandLine::Action::Check);
        break;
      case Option::BuildSet:
        SetAction(line, CommandLine::Action::BuildSet);
        break;
      case Option::NewSheet:
        SetAction(line, CommandLine::Action::NewSheet);
        break;
      case Option::Pack:
        SetAction(line, CommandLine::Action::Pack);
        break;
      case Option::Preview:
        SetAction(line, CommandLine::Action::Preview);
        break;
      case Option::Worksheet:
        SetAction(line, CommandLine::Action::Worksheet);
        break;
      case Option::MakeQuiz:
        SetAction(line, CommandLine::Action::MakeQuiz);
        break;
      case Option::ExportDeck:
        SetAction(line, CommandLine::Action::ExportDeck);
        break;
      case Option::Language:
        if (value != "en" && value != "ru")
          throw UsageError(Format(Tr("--language takes en or ru, not %s"), {Quoted(value)}));
        line.Language = value;
        break;
      case Option::Force:
        line.Force = true;
        break;
      case Option::DefaultSet:
        line.DefaultSet = value;
        break;
      case Option::Scale:
        line.Scale = ParseScale(value);
        scaled = true;
        break;
      case Option::Help:
        help = true;
        break;
      case Option::Version:
        version = true;
        break;
    }
  }
  if (help || version) {
    line = {};
    line.What = help ? CommandLine::Action::Help : CommandLine::Action::Version;
    return line;
  }

  if (line.What == CommandLine::Action::BuildSet) {
    if (operands.size() < 2)
      throw UsageError(Tr("--build-set needs a SOURCE and an OUTPUT folder"));
    if (operands.size() > 2)
      throw UsageError(Format(Tr("--build-set takes two folders, SOURCE and OUTPUT, not also %s"),
                              {Quoted(operands[2])}));
    line.Source = operands[0];
    line.Output = operands[1];
  } else if (line.What == CommandLine::Action::NewSheet) {
    if (operands.empty()) throw UsageError(Tr("--new-sheet needs one SOURCE folder"));
    if (operands.size() > 2)
      throw UsageError(Format(Tr("--new-sheet takes a folder and a sheet's name, not also %s"),
                              {Quoted(operands[2])}));
    line.Source = operands[0];
    if (operands.size() == 2) line.Output = operands[1];
  } else if (line.What == CommandLine::Action::MakeQuiz) {
    if (operands.size() != 1) throw UsageError(Tr("--make-quiz needs one FOLDER of photos"));
    line.Source = operands[0];
  } else if (line.What == CommandLine::Action::Pack) {
    if (operands.size() != 2 || !IsSetFileName(operands[1]))
      throw UsageError(Tr("--pack needs a set's FOLDER and a NAME.anthora to write"));
    line.Source = operands[0];
    line.Output = operands[1];
  } else if (line.What == CommandLine::Action::ExportDeck) {
    if (operands.empty() || operands.size() > 2)
      throw UsageError(Tr("--export-deck needs a set and may name the deck to write"));
    line.Folder = operands[0];
    if (operands.size() == 2) line.Output = operands[1];
  } else if (line.What == CommandLine::Action::Preview) {
    if (operands.empty()) throw UsageError(Tr("--preview needs a set"));
    if (operands.size() > 2)
      throw UsageError(Format(Tr("--preview takes a set and a picture to write, not also %s"),
                              {Quoted(operands[2])}));
    line.Folder = operands[0];
    if (operands.size() == 2) line.Output = operands[1];
  } else if (line.What == CommandLine::Action::Worksheet) {
    if (operands.empty()) throw UsageError(Tr("--worksheet needs a set"));
    if (operands.size() > 2)
      throw UsageError(Format(Tr("--worksheet takes a set and a PDF to write, not also %s"),
                              {Quoted(operands[2])}));
    line.Folder = operands[0];
    if (operands.size() == 2) line.Output = operands[1];
  } else {
    if (operands.size() > 1)
      throw UsageError(Format(Tr("more than one FOLDER: %s"), {Quoted(operands[1])}));
    if (!operands.empty()) line.Folder = operands[0];
  }
  if (line.Force && line.What != CommandLine::Action::BuildSet &&
      line.What != CommandLine::Action::Pack && line.What != CommandLine::Action::Preview &&
      line.What != CommandLine::Action::Worksheet && line.What != CommandLine::Action::ExportDeck)
    throw UsageError(
        Tr("--force goes with --build-set, --pack, --preview, --worksheet or --export-deck"));
  if (!line.Language.empty() && line.What != CommandLine::Action::ExportDeck &&
      line.What != CommandLine::Action::Worksheet)
    throw UsageError(Tr("--language goes with --worksheet or --export-deck"));
  if (!line.DefaultSet.empty() && line.What != CommandLine::Action::Play)
    throw UsageError(Tr("--default-set goes with playing the quiz"));
  if (scaled && line.What != CommandLine::Action::Play)
    throw UsageError(Tr("--scale goes with playing the quiz"));
  return line;
}

}  // namespace anthora
