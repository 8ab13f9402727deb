#pragma once

#include <optional>
#include <string>

#include "runtime/base/Findings.h"
#include "sheet/QuestionTable.h"

namespace anthora {

// The sheet of a source folder and its questions.
struct SourceSheet {
  std::string Name;  // the sheet read, as findings name it
  QuestionTable Table;
};

// Finds SOURCE's sheet and reads its questions; none when there is no sheet or it cannot be
// read. Every problem is in the findings.
std::optional<SourceSheet> ReadSourceSheet(const std::string& source, Findings& findings);

// The lock file a spreadsheet program keeps beside a sheet it has open, which may hold changes
// not yet saved (LibreOffice's .~lock.NAME#, Microsoft Office's ~$NAME); empty when there is
// none.
std::string OfficeLockFile(const std::string& sheet);

}  // namespace anthora
