#include "app/Main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "runtime/base/Exceptions.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

// The program's status, unless its output could not be written: a report lost on a full disk
// must not pass for success.
int CheckedOutput(int status) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  std::fprintf(stderr, "anthora: %s\n",
               Format(Tr("cannot write to standard output: %s"),
                      {errno != 0 ? std::strerror(errno) : Tr("write error")})
                   .c_str());
  return 1;
}

}  // namespace

std::optional<CommandLine> ParseOrExplain(int argc, char* argv[]) {
  try {
    return ParseCommandLine(argc, argv);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "anthora: %s\n%s", error.what(), Usage());
    return std::nullopt;
  }
}

int RunReported(const std::function<int()>& command) {
  int status = 1;
  try {
    status = command();
  } catch (const Exception& error) {
    std::fprintf(stderr, "anthora: %s\n",
                 Shortened(error.Utf8Message(), std::string::npos).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "anthora: %s\n", Shortened(error.what(), std::string::npos).c_str());
  }
  return CheckedOutput(status);
}

}  // namespace anthora
