#include "authoring/NewSheet.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"

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

bool WriteAll(int file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
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
    findings.Error(source, 0, "cannot be used: " + (error ? error : files.Error).message());
    return {};
  }
  if (!files.Sheets.empty()) {
    findings.Error(JoinPath(source, files.Sheets.front()), 0,
                   "already exists; a new sheet is never written over one");
    return {};
  }
  // Written whole under a private name, then linked in place, which fails if anything is there.
  std::string temporary = JoinPath(source, ".questions-XXXXXX");
  const int file = mkostemp(temporary.data(), O_CLOEXEC);
  bool written = file >= 0;
  int reason = errno;
  if (written) {
    const mode_t mask = umask(0);
    umask(mask);
    written = WriteAll(file, NewSheetText()) && fchmod(file, 0666 & ~mask) == 0 && fsync(file) == 0;
    reason = errno;
    if (close(file) != 0 && written) written = false, reason = errno;
    if (written && link(temporary.c_str(), path.c_str()) != 0) written = false, reason = errno;
    unlink(temporary.c_str());
  }
  if (!written) {
    findings.Error(path, 0,
                   reason == EEXIST ? "already exists; a new sheet is never written over one"
                                    : std::string("cannot be written: ") + std::strerror(reason));
    return {};
  }
  return path;
}

}  // namespace anthora
