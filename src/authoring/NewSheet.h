#pragma once

#include <string>

#include "runtime/base/Findings.h"

namespace anthora {

// The text of a new sheet: the header row naming every column, and one example row.
std::string NewSheetText();

// Writes SOURCE/questions.tsv with NewSheetText, making SOURCE when it does not exist. Never
// writes over a sheet: when SOURCE has one in any of its forms, or a file appears in its place
// meanwhile, that is an error and nothing is written. The path written, or empty.
std::string WriteNewSheet(const std::string& source, Findings& findings);

}  // namespace anthora
