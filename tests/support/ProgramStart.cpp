// Every test program starts in the same surroundings on any machine. It runs under the locale
// its environment names, set up as the program sets it up, so that a suite run under Russian
// too reads and writes what it does in English; its messages stay as written unless a test
// asks for a language itself, and come from the build tree's catalogue whatever catalogue the
// machine has installed. The desktop's scale and font folders are left to the tests.
#include <libintl.h>
#include <stdlib.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/base/Translate.h"

namespace {

const bool kStarted = [] {
  for (const char* variable : {"ANTHORA_FONT_FOLDERS", "ANTHORA_SCALE", "GDK_SCALE"})
    unsetenv(variable);
  setenv("LANGUAGE", "en", 1);
  anthora::StartTranslation();
  bindtextdomain("anthora", ANTHORA_LOCALE_FOLDER);
  // A run asked for under a named locale fails on a machine without it, rather than passing
  // in the C locale unnoticed.
  const char* wanted = std::getenv("ANTHORA_TEST_LOCALE");
  const char* messages = std::setlocale(LC_MESSAGES, nullptr);
  if (wanted != nullptr && (messages == nullptr || std::strcmp(messages, wanted) != 0)) {
    std::fprintf(stderr, "the locale %s is missing: run scripts/setup\n", wanted);
    std::exit(1);
  }
  return true;
}();

}  // namespace
