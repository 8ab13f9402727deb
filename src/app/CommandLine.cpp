#include "app/CommandLine.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace anthora {

const char kUsage[] =
    "Usage: anthora [OPTIONS] [FOLDER]\n"
    "A flower quiz. Plays the question set in FOLDER/ris (default: the current folder).\n"
    "\n"
    "  --check [FOLDER]             check the question set in FOLDER/ris and report every\n"
    "                               problem as FILE:LINE: error|warning: TEXT\n"
    "  --build-set SOURCE OUTPUT    make OUTPUT/ris from the sheet SOURCE/questions.tsv (or\n"
    "                               .csv, .txt, .ods, .xlsx) and the photos it names\n"
    "  --force                      with --build-set: replace an existing OUTPUT/ris\n"
    "  --new-sheet SOURCE           start SOURCE/questions.tsv: the header row and an example\n"
    "  --scale N                    draw the window N times its size (N from 1 to 8)\n"
    "  --help                       show this help and exit\n"
    "  --version                    show the version and exit\n"
    "\n"
    "The sheet's columns: picture (the photo's file name), en (the right answer), en_wrong1,\n"
    "en_wrong2, en_wrong3 (three wrong ones), the same for Russian as ru to ru_wrong3, and\n"
    "optionally crop (centre, top, bottom, left, right or a point X%,Y%) and rotate (0, 90,\n"
    "180 or 270 degrees clockwise). A column without a name is not read.\n";

namespace {

enum Option { kCheck = 256, kBuildSet, kNewSheet, kForce, kScale, kHelp, kVersion };

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
    throw UsageError("--check, --build-set and --new-sheet cannot be combined");
  line.What = action;
}

}  // namespace

CommandLine ParseCommandLine(int argc, char* const argv[]) {
  static const option kOptions[] = {
      {"check", no_argument, nullptr, kCheck},
      {"build-set", no_argument, nullptr, kBuildSet},
      {"new-sheet", no_argument, nullptr, kNewSheet},
      {"force", no_argument, nullptr, kForce},
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
      case kNewSheet:
        SetAction(line, CommandLine::Action::NewSheet);
        break;
      case kForce:
        line.Force = true;
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
  } else if (line.What == CommandLine::Action::NewSheet) {
    if (operands.size() != 1) throw UsageError("--new-sheet needs a SOURCE folder");
    line.Source = operands[0];
  } else {
    if (operands.size() > 1) throw UsageError("more than one FOLDER");
    if (!operands.empty()) line.Folder = operands[0];
  }
  if (line.Force && line.What != CommandLine::Action::BuildSet)
    throw UsageError("--force goes with --build-set");
  if (scaled && line.What != CommandLine::Action::Play)
    throw UsageError("--scale goes with playing the quiz");
  return line;
}

}  // namespace anthora
