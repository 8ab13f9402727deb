#include "authoring/NewSheet.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"
#include "runtime/files/SafeWrite.h"

namespace anthora {

namespace {

constexpr std::array<std::string_view, kSheetColumns.size()> kExample = {
    "rose.jpg", "Rose",    "Tulip", "Daisy",  "Poppy", "Роза",
    "Тюльпан",  "Ромашка", "Мак",   "centre", "0"};

std::string Row(const auto& cells) {
  std::string row;
  for (const std::string_view cell : cells) row += (row.empty() ? "" : "\t") + std::string(cell);
  return row + '\n';
}

}  // namespace

std::string NewSheetText() {
  // The byte-order mark tells spreadsheet programs that the text is UTF-8.
  return "\xEF\xBB\xBF" + Row(kSheetColumns) + Row(kExample);
}

std::string WriteNewSheet(const std::string& source, Findings& findings) {
  const std::string path = JoinPath(source, "questions.tsv");
  std::error_code error;
  if (!source.empty()) std::filesystem::create_directories(source, error);
  const SheetFiles files = ListSheetFiles(source);
  if (error || files.Error) {
    findings.Error(source, 0,
                   Format(Tr("cannot be used: %s"), {(error ? error : files.Error).message()}));
    return {};
  }
  if (!files.Sheets.empty()) {
    findings.Error(JoinPath(source, files.Sheets.front()), 0,
                   Tr("already exists; a new sheet is never written over one"));
    return {};
  }
  // Written whole in private, then put in place, which fails if anything is there.
  try {
    AtomicFile file(path, false);
    if (!WriteAll(file.Create().Get(), NewSheetText()))
      throw WriteError(path, Format(Tr("cannot be written: %s"), {std::strerror(errno)}));
    file.Commit();
  } catch (const WriteError& failed) {
    findings.Error(path, 0,
                   failed.Exists() ? Tr("already exists; a new sheet is never written over one")
                                   : failed.Reason());
    return {};
  }
  return path;
}

}  // namespace anthora
