#include "app/CommandLine.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace anthora {

const char kUsage[] =
    "Usage: anthora [OPTIONS] [FOLDER]\n"
    "       anthora [OPTIONS] NAME.anthora\n"
    "A flower quiz. Plays the question set in FOLDER/ris (default: the current folder), in\n"
    "FOLDER itself when it is a ris folder, or in the set file NAME.anthora.\n"
    "\n"
    "  --check [SET]                check the question set (a folder or a set file) and report\n"
    "                               every problem as FILE:LINE: error|warning: TEXT\n"
    "  --build-set SOURCE OUTPUT    make OUTPUT/ris, or the set file OUTPUT when it ends in\n"
    "                               .anthora, from SOURCE/questions.tsv and its photos\n"
    "  --pack FOLDER NAME.anthora   pack the set in FOLDER into the set file NAME.anthora\n"
    "  --force                      with --build-set: replace the set in an existing\n"
    "                               OUTPUT/ris (fen.ani, fru.ani, the .jpg pictures),\n"
    "                               keeping every other file in it, or an existing set file;\n"
    "                               with --pack: replace an existing set file\n"
    "  --default-set SET            play SET when no set is named (the menu entry's sample)\n"
    "  --scale N                    draw the window N times its size (N from 1 to 8)\n"
    "  --help                       show this help and exit\n"
    "  --version                    show the version and exit\n";

namespace {

enum Option { kCheck = 256, kBuildSet, kPack, kForce, kDefaultSet, kScale, kHelp, kVersion };

int ParseScale(const char* text) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (*text < '0' || *text > '9' || *end != '\0' || errno != 0 || value < 1 || value > kMaxScale)
    throw UsageError("--scale takes a whole number from 1 to " + std::to_string(kMaxScale) +
                     ", not '" + text + "'");
  return static_cast<int>(value);
}

void SetAction(CommandLine& line, CommandLine::Action action) {
  if (line.What != CommandLine::Action::Play && line.What != action)
    throw UsageError("--check, --build-set and --pack cannot be combined");
  line.What = action;
}

}  // namespace

CommandLine ParseCommandLine(int argc, char* const argv[]) {
  static const option kOptions[] = {
      {"check", no_argument, nullptr, kCheck},
      {"build-set", no_argument, nullptr, kBuildSet},
      {"pack", no_argument, nullptr, kPack},
      {"force", no_argument, nullptr, kForce},
      {"default-set", required_argument, nullptr, kDefaultSet},
      {"scale", required_argument, nullptr, kScale},
      {"help", no_argument, nullptr, kHelp},
      {"version", no_argument, nullptr, kVersion},
      {nullptr, 0, nullptr, 0},
  };
  CommandLine line;
  bool help = false;
  bool version = false;
  bool scaled = false;
  optind = 0;  // a fresh scan, whatever was parsed before
  opterr = 0;  // the caller reports the problem
  for (;;) {
    const int option = getopt_long(argc, argv, "", kOptions, nullptr);
    if (option == -1) break;
    switch (option) {
      case kCheck:
        SetAction(line, CommandLine::Action::Check);
        break;
      case kBuildSet:
        SetAction(line, CommandLine::Action::BuildSet);
        break;
      case kPack:
        SetAction(line, CommandLine::Action::Pack);
        break;
      case kForce:
        line.Force = true;
        break;
      case kDefaultSet:
        line.DefaultSet = optarg;
        break;
      case kScale:
        line.Scale = ParseScale(optarg);
        scaled = true;
        break;
      case kHelp:
        help = true;
        break;
      case kVersion:
        version = true;
        break;
      default:
        if (optopt == kScale) throw UsageError("--scale needs a number");
        if (optopt == kDefaultSet) throw UsageError("--default-set needs a set");
        throw UsageError(std::string("unknown option '") + argv[optind - 1] + "'");
    }
  }
  if (help || version) {
    line = {};
    line.What = help ? CommandLine::Action::Help : CommandLine::Action::Version;
    return line;
  }

  const std::vector<std::string> operands(argv + optind, argv + argc);
  if (line.What == CommandLine::Action::BuildSet) {
    if (operands.size() != 2) throw UsageError("--build-set needs a SOURCE and an OUTPUT folder");
    line.Source = operands[0];
    line.Output = operands[1];
  } else if (line.What == CommandLine::Action::Pack) {
    if (operands.size() != 2 || !operands[1].ends_with(".anthora") || operands[1] == ".anthora")
      throw UsageError("--pack needs a set's FOLDER and a NAME.anthora to write");
    line.Source = operands[0];
    line.Output = operands[1];
  } else {
    if (operands.size() > 1) throw UsageError("more than one FOLDER");
    if (!operands.empty()) line.Folder = operands[0];
  }
  if (line.Force && line.What != CommandLine::Action::BuildSet &&
      line.What != CommandLine::Action::Pack)
    throw UsageError("--force goes with --build-set or --pack");
  if (!line.DefaultSet.empty() && line.What != CommandLine::Action::Play)
    throw UsageError("--default-set goes with playing the quiz");
  if (scaled && line.What != CommandLine::Action::Play)
    throw UsageError("--scale goes with playing the quiz");
  return line;
}

}  // namespace anthora
