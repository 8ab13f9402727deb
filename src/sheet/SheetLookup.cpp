#include "sheet/SheetLookup.h"

#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
#include "runtime/files/WholeFile.h"
#include "sheet/Sheet.h"

namespace anthora {

std::optional<SourceSheet> ReadSourceSheet(const std::string& source, Findings& findings) {
  std::optional<std::string> name = FindSheet(source, findings);
  if (!name) return std::nullopt;
  FileBytes text;
  try {
    text = ReadWholeFile(*name, kMaxSheetBytes);
  } catch (const FileReadError& error) {
    findings.Error(*name, 0, error.what());
    return std::nullopt;
  }
  QuestionTable table = ReadQuestionTable(ReadSheet(text.View(), *name, findings), findings);
  return SourceSheet{std::move(*name), std::move(table)};
}

std::string OfficeLockFile(const std::string& sheet) {
  const PathParts parts = SplitPath(sheet);
  for (const std::string& lock : {".~lock." + parts.Name + "#", "~$" + parts.Name}) {
    const std::string path = JoinPath(parts.Folder, lock);
    if (FileExists(path)) return path;
  }
  return {};
}

}  // namespace anthora
