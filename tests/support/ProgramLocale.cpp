// Every test program starts under the locale its environment names, set up as the program
// sets it up, so that a suite run under Russian too reads and writes what it does in English.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/base/Translate.h"

namespace {

const bool kStarted = [] {
  anthora::StartTranslation();
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
