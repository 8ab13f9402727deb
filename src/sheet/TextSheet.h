#pragma once

#include <string>
#include <string_view>

#include "runtime/base/Findings.h"
#include "sheet/Sheet.h"

namespace anthora {

// A sheet saved as text: tab-, comma- or semicolon-separated, whichever the header row uses
// most. A cell that starts with a double quote runs to the next lone one and may hold the
// separator and line breaks; two double quotes in it stand for one. Rows end at LF, CR LF or
// CR. The encoding is found as DecodeSheetText finds it; a byte-order mark inside the text is
// dropped with a warning at its row.
Sheet ReadTextSheet(std::string_view bytes, const std::string& name, Findings& findings);

}  // namespace anthora
