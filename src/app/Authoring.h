#pragma once

#include <string>

namespace anthora {

struct CommandLine;

// `anthora --check [FOLDER]`: the report on standard output; 1 when it found an error.
int RunSetCheck(const std::string& folder);

// `anthora --build-set SOURCE OUTPUT`: problems on standard error; 1 when nothing was built.
int RunSetBuild(const CommandLine& line);

// `anthora --new-sheet SOURCE`: writes SOURCE/questions.tsv; 1 when it wrote nothing.
int RunNewSheet(const std::string& source);

}  // namespace anthora
