#pragma once

#include <string>
#include <string_view>

#include "runtime/base/Findings.h"
#include "sheet/Sheet.h"

namespace anthora {

// The sheet named "questions" of an Office Open XML workbook (.xlsx), or its first sheet: each
// cell as its text (shared or inline strings, numbers in their shortest form), at the row and
// column its reference gives.
Sheet ReadXlsxSheet(std::string_view bytes, const std::string& name, Findings& findings);

}  // namespace anthora
