#include "sheet/Sheet.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "runtime/base/Cp1251.h"
#include "runtime/files/Files.h"
#include "sheet/OdsSheet.h"
#include "sheet/TextSheet.h"
#include "sheet/XlsxSheet.h"

namespace anthora {

namespace {

constexpr std::array<std::string_view, 5> kSheetExtensions = {".tsv", ".csv", ".txt", ".ods",
                                                              ".xlsx"};
// What spreadsheet programs also save, which the builder does not read.
constexpr std::array<std::string_view, 9> kOtherSpreadsheets = {
    ".xls", ".xlsm", ".xlsb", ".fods", ".ots", ".xltx", ".numbers", ".et", ".gnumeric"};

template <std::size_t N>
bool Listed(const std::array<std::string_view, N>& list, std::string_view item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + Printable(name);
  return text;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return SameIgnoringAsciiCase(a, b);
}

bool SheetRows::StartRow(int row) {
  if (FFull) return false;
  FRow = {row, {}};
  FPendingEmpty = 0;
  if (row > kMaxSheetRow) Stop("the sheet goes on beyond row " + std::to_string(kMaxSheetRow));
  return !FFull;
}

void SheetRows::AddCell(std::string cell, std::size_t times) {
  if (FFull) return;
  if (cell.empty()) return AddEmptyCells(times);
  for (; times > 0; --times) {
    if (FRow.Cells.size() + FPendingEmpty >= kMaxSheetColumns) {
      if (!FWide) {
        FFindings.Error(FSheet.Name, FRow.Row,
                        "the row has text beyond column " + std::to_string(kMaxSheetColumns) +
                            "; a question needs about ten columns, the rest of the sheet's "
                            "rows are cut there too");
      }
      FWide = true;
      return;
    }
    FCells += FPendingEmpty + 1;
    FText += cell.size();
    if (FCells > kMaxSheetCells) {
      return Stop("the sheet holds more than " + std::to_string(kMaxSheetCells) +
                  " cells, more than any set of questions");
    }
    if (FText > kMaxSheetText) {
      return Stop("the sheet holds more than " + std::to_string(kMaxSheetText >> 20) +
                  " MB of text, more than any set of questions");
    }
    FRow.Cells.resize(FRow.Cells.size() + FPendingEmpty);
    FPendingEmpty = 0;
    FRow.Cells.push_back(times > 1 ? cell : std::move(cell));
  }
}

void SheetRows::EndRow() {
  if (!FFull && !FRow.Cells.empty()) FSheet.Rows.push_back(std::move(FRow));
  FRow = {};
}

void SheetRows::Stop(const std::string& why) {
  FFindings.Error(FSheet.Name, FRow.Row, why + "; reading stops here");
  FFull = true;
  FRow = {};
}

SheetFiles ListSheetFiles(const std::string& source) {
  SheetFiles files;
  const std::filesystem::path folder = source.empty() ? "." : source;
  for (auto entry = std::filesystem::directory_iterator(folder, files.Error);
       !files.Error && entry != std::filesystem::directory_iterator();
       entry.increment(files.Error)) {
    std::error_code ignored;
    const std::string name = entry->path().filename().string();
    const std::string extension = AsciiLower(entry->path().extension().string());
    const std::string stem = AsciiLower(entry->path().stem().string());
    // A sheet's name is taken whatever the entry is, so that reading it says what is wrong.
    if (stem == "questions" && Listed(kSheetExtensions, extension)) {
      files.Sheets.push_back(name);
    } else if (!entry->is_regular_file(ignored)) {
      continue;
    } else if (Listed(kOtherSpreadsheets, extension) ||
               (Listed(kSheetExtensions, extension) && extension != ".txt")) {
      files.Others.push_back(name);
    }
  }
  std::sort(files.Sheets.begin(), files.Sheets.end());
  std::sort(files.Others.begin(), files.Others.end());
  return files;
}

std::optional<std::string> FindSheet(const std::string& source, Findings& findings) {
  const SheetFiles files = ListSheetFiles(source);
  const std::vector<std::string>& sheets = files.Sheets;
  const std::vector<std::string>& others = files.Others;
  const std::string where = source.empty() ? "." : source;
  if (files.Error) {
    findings.Error(where, 0, "cannot be read: " + files.Error.message());
    return std::nullopt;
  }
  if (sheets.size() > 1) {
    findings.Error(where, 0, "more than one sheet: " + Joined(sheets) + "; keep only one of them");
    return std::nullopt;
  }
  if (sheets.size() == 1) {
    // A link may name the sheet, but only one to a file in the folder: a sheet from elsewhere
    // would carry text from outside into the set and its messages, as a photo from elsewhere
    // would.
    const std::string path = JoinPath(source, sheets.front());
    std::error_code error, folderError;
    const std::filesystem::path real = std::filesystem::canonical(path, error);
    const std::filesystem::path folder = std::filesystem::canonical(where, folderError);
    if (error || folderError || IsWithin(real, folder)) return path;
    findings.Error(path, 0,
                   "is a link to a file outside the source folder; the sheet must be in it, "
                   "as its photos must");
    return std::nullopt;
  }
  std::string text =
      "no sheet: looked for questions.tsv, questions.csv, questions.txt, "
      "questions.ods and questions.xlsx, in any letter case";
  constexpr std::size_t kNamed = 5;  // spreadsheet-like files named, at most
  for (std::size_t i = 0; i < std::min(others.size(), kNamed); ++i) {
    const std::string& other = others[i];
    const std::string extension = AsciiLower(std::filesystem::path(other).extension().string());
    text += Listed(kSheetExtensions, extension)
                ? "; found " + Printable(other) + ": name it questions" + Printable(extension)
                : "; found " + Printable(other) + ": save it as .ods, .xlsx or .csv";
  }
  findings.Error(where, 0, text);
  return std::nullopt;
}

Sheet ReadSheet(std::string_view bytes, const std::string& name, Findings& findings) {
  const std::string extension = AsciiLower(std::filesystem::path(name).extension().string());
  if (extension == ".ods") return ReadOdsSheet(bytes, name, findings);
  if (extension == ".xlsx") return ReadXlsxSheet(bytes, name, findings);
  return ReadTextSheet(bytes, name, findings);
}

}  // namespace anthora
