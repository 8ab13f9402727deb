#pragma once

#include <functional>
#include <optional>

#include "app/CommandLine.h"

namespace anthora {

// What the quiz and the question-set commands do alike around their work, each in a program of
// its own.

// The command line, or nothing after its fault and the usage were written to standard error
// (the program then ends with status 2).
std::optional<CommandLine> ParseOrExplain(int argc, char* argv[]);

// Runs a command and returns its status; a failure it throws is written to standard error as
// the program's message and ends in status 1, and so does output that could not be written.
int RunReported(const std::function<int()>& command);

}  // namespace anthora
