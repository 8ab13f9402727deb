#include "sheet/Sheet.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
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

// A file a spreadsheet program keeps beside the sheet it has open: ".~lock.questions.ods#",
// "~$questions.xlsx".
bool IsLockFile(std::string_view name) {
  return name.starts_with(".~lock.") || name.starts_with("~$");
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
  if (row > kMaxSheetRow) Stop(Format(Tr("the sheet goes on beyond row %d"), {kMaxSheetRow}));
  return !FFull;
}

void SheetRows::AddCell(std::string cell, std::size_t times) {
  if (FFull) return;
  if (cell.empty()) return AddEmptyCells(times);
  for (; times > 0; --times) {
    if (FRow.Cells.size() + FPendingEmpty >= kMaxSheetColumns) {
      if (!FWide) {
        FFindings.Error(FSheet.Name, FRow.Row,
                        Format(Tr("the row has text beyond column %d; a question needs about "
                                  "ten columns, the rest of the sheet's rows are cut there too"),
                               {kMaxSheetColumns}));
      }
      FWide = true;
      return;
    }
    FCells += FPendingEmpty + 1;
    FText += cell.size();
    if (FCells > kMaxSheetCells) {
      return Stop(Format(
          TrN("the sheet holds more than %d cell, more than any set of questions",
              "the sheet holds more than %d cells, more than any set of questions", kMaxSheetCells),
          {kMaxSheetCells}));
    }
    if (FText > kMaxSheetText) {
      return Stop(Format(Tr("the sheet holds more than %d MB of text, more than any set of "
                            "questions"),
                         {kMaxSheetText >> 20}));
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
  // TRANSLATORS: %s says why the sheet is read no further.
  FFindings.Error(FSheet.Name, FRow.Row, Format(Tr("%s; reading stops here"), {why}));
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
    if (IsLockFile(name)) continue;
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
    findings.Error(where, 0, Format(Tr("cannot be read: %s"), {files.Error.message()}));
    return std::nullopt;
  }
  std::string sheet = sheets.empty() ? std::string() : sheets.front();
  if (sheets.size() > 1) {
    // A sheet the builder wrote and the one a spreadsheet program saved from it: the teacher
    // worked on the one saved last.
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> saved;
    for (const std::string& name : sheets) {
      std::error_code error;
      const auto time = std::filesystem::last_write_time(JoinPath(source, name), error);
      saved.emplace_back(error ? std::filesystem::file_time_type::min() : time, name);
    }
    std::sort(saved.begin(), saved.end(), std::greater<>());
    if (saved[0].first == saved[1].first) {
      findings.Error(where, 0,
                     Format(Tr("more than one sheet, saved at the same time: %s; keep only one "
                               "of them"),
                            {Joined(sheets)}));
      return std::nullopt;
    }
    sheet = saved.front().second;
    std::vector<std::string> leftAlone;
    for (std::size_t i = 1; i < saved.size(); ++i) leftAlone.push_back(saved[i].second);
    std::sort(leftAlone.begin(), leftAlone.end());
    findings.Warning(where, 0,
                     Format(Tr("more than one sheet: read %s, the one saved last; left alone: %s"),
                            {Printable(sheet), Joined(leftAlone)}));
  }
  if (!sheet.empty()) {
    // A link may name the sheet, but only one to a file in the folder: a sheet from elsewhere
    // would carry text from outside into the set and its messages, as a photo from elsewhere
    // would.
    const std::string path = JoinPath(source, sheet);
    std::error_code error, folderError;
    const std::filesystem::path real = std::filesystem::canonical(path, error);
    const std::filesystem::path folder = std::filesystem::canonical(where, folderError);
    if (error || folderError || IsWithin(real, folder)) return path;
    findings.Error(path, 0,
                   Tr("is a link to a file outside the source folder; the sheet must be in it, "
                      "as its photos must"));
    return std::nullopt;
  }
  std::string text =
      Tr("no sheet: looked for questions.tsv, questions.csv, questions.txt, "
         "questions.ods and questions.xlsx, in any letter case");
  constexpr std::size_t kNamed = 5;  // spreadsheet-like files named, at most
  for (std::size_t i = 0; i < std::min(others.size(), kNamed); ++i) {
    const std::string& other = others[i];
    const std::string extension = AsciiLower(std::filesystem::path(other).extension().string());
    // TRANSLATORS: %1$s is what was said so far, %2$s a file found in the folder and %3$s its
    // extension (".ods").
    text = Listed(kSheetExtensions, extension)
               ? Format(Tr("%1$s; found %2$s: name it questions%3$s"),
                        {text, Printable(other), Printable(extension)})
               : Format(Tr("%1$s; found %2$s: save it as .ods, .xlsx or .csv"),
                        {text, Printable(other)});
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
