#include "app/CommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "authoring/Findings.h"

namespace anthora {

const char kUsage[] =
    "Usage: anthora [OPTIONS] [FOLDER]\n"
    "A flower quiz. Plays the question set in FOLDER/ris (default: the current folder).\n"
    "\n"
    "  --check [FOLDER]             check the question set in FOLDER/ris and report every\n"
    "                               problem as FILE:LINE: error|warning: TEXT\n"
    "  --build-set SOURCE OUTPUT    make OUTPUT/ris from SOURCE/questions.tsv and its photos\n"
    "  --force                      with --build-set: replace the set in an existing\n"
    "                               OUTPUT/ris (fen.ani, fru.ani, the .jpg pictures),\n"
    "                               keeping every other file in it\n"
    "  --scale N                    draw the window N times its size (N from 1 to 8)\n"
    "  --help                       show this help and exit\n"
    "  --version                    show the version and exit\n";

namespace {

enum class Option { Check, BuildSet, Force, Scale, Help, Version };

struct OptionName {
  std::string_view Name;  // without the leading "--"
  Option Id;
  bool TakesValue;
};

constexpr OptionName kOptions[] = {
    {"check", Option::Check, false}, {"build-set", Option::BuildSet, false},
    {"force", Option::Force, false}, {"scale", Option::Scale, true},
    {"help", Option::Help, false},   {"version", Option::Version, false},
};

// A word of the command line as a message quotes it.
std::string Shown(std::string_view word) {
  return Quoted(word);
}

// The option a "--NAME" word names, exactly or by the start of one name alone.
const OptionName& FindOption(std::string_view word, std::string_view name) {
  const OptionName* found = nullptr;
  for (const OptionName& option : kOptions) {
    if (option.Name == name) return option;
    if (!name.empty() && option.Name.starts_with(name)) {
      if (found) throw UsageError("ambiguous option " + Shown(word));
      found = &option;
    }
  }
  if (!found) throw UsageError("unknown option " + Shown(word));
  return *found;
}

int ParseScale(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || text[0] < '0' || text[0] > '9' || *end != '\0' || errno != 0 || value < 1 ||
      value > kMaxScale)
    throw UsageError("--scale takes a whole number from 1 to " + std::to_string(kMaxScale) +
                     ", not " + Shown(text));
  return static_cast<int>(value);
}

void SetAction(CommandLine& line, CommandLine::Action action) {
  if (line.What != CommandLine::Action::Play && line.What != action)
    throw UsageError("--check and --build-set cannot be combined");
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
    if (!word.starts_with("--")) throw UsageError("unknown option " + Shown(word));
    const std::size_t equals = word.find('=');
    const OptionName& option = FindOption(word, word.substr(2, equals - 2));
    std::string value;
    if (equals != std::string_view::npos) {
      if (!option.TakesValue)
        throw UsageError("--" + std::string(option.Name) + " takes no value: " + Shown(word));
      value = word.substr(equals + 1);
    } else if (option.TakesValue) {
      if (++i == argc) throw UsageError("--" + std::string(option.Name) + " needs a number");
      value = argv[i];
    }
    switch (option.Id) {
      case Option::Check:
        SetAction(line, CommandLine::Action::Check);
        break;
      case Option::BuildSet:
        SetAction(line, CommandLine::Action::BuildSet);
        break;
      case Option::Force:
        line.Force = true;
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
    if (operands.size() < 2) throw UsageError("--build-set needs a SOURCE and an OUTPUT folder");
    if (operands.size() > 2)
      throw UsageError("--build-set takes two folders, SOURCE and OUTPUT, not also " +
                       Shown(operands[2]));
    line.Source = operands[0];
    line.Output = operands[1];
  } else {
    if (operands.size() > 1) throw UsageError("more than one FOLDER: " + Shown(operands[1]));
    if (!operands.empty()) line.Folder = operands[0];
  }
  if (line.Force && line.What != CommandLine::Action::BuildSet)
    throw UsageError("--force goes with --build-set");
  if (scaled && line.What != CommandLine::Action::Play)
    throw UsageError("--scale goes with playing the quiz");
  return line;
}

}  // namespace anthora
