#pragma once

#include <string>
#include <string_view>

#include "runtime/base/Findings.h"
#include "sheet/Sheet.h"

namespace anthora {

// The sheet named "questions" of an OpenDocument spreadsheet (.ods), or its first sheet: each
// cell as the text it shows, its paragraphs joined by line breaks, repeated cells and rows as
// many times as they repeat.
Sheet ReadOdsSheet(std::string_view bytes, const std::string& name, Findings& findings);

}  // namespace anthora
