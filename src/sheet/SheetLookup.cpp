#include "sheet/SheetLookup.h"

#include "sheet/Sheet.h"
#include "runtime/files/WholeFile.h"

namespace anthora {

std::optional<SourceSheet> ReadSourceSheet(const std::string& source, Findings& findings) {
  std::optional<std::string> name = FindSheet(source, findings);
  if (!name) return std::nullopt;
  std::string why;
  const std::optional<FileBytes> text = ReadWholeFile(*name, kMaxSheetBytes, why);
  if (!text) {
    findings.Error(*name, 0, why);
    return std::nullopt;
  }
  QuestionTable table = ReadQuestionTable(ReadSheet(text->View(), *name, findings), findings);
  return SourceSheet{std::move(*name), std::move(table)};
}

}  // namespace anthora
