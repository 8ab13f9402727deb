#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "runtime/base/Findings.h"

namespace anthora {

// One row of a teacher's sheet: its number as the spreadsheet shows it, from 1, and its cells
// as UTF-8 text, each as the spreadsheet shows it. Empty cells at the end are left out.
struct SheetRow {
  int Row = 0;
  std::vector<std::string> Cells;
};

// The rows of a sheet that hold some text, and the name findings about it carry.
struct Sheet {
  std::string Name;
  std::vector<SheetRow> Rows;
  // Of a workbook whose sheet read has no rows: that sheet's name, when another sheet of the
  // workbook holds text.
  std::string EmptyAmongOthers;
};

// Bounds that no question sheet comes near, so that a hostile file costs little.
inline constexpr std::size_t kMaxSheetBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxSheetColumns = 256;
inline constexpr std::size_t kMaxSheetCells = 1'000'000;
inline constexpr std::size_t kMaxSheetText = std::size_t{64} << 20;  // bytes in all cells
inline constexpr int kMaxSheetRow = 1 << 20;

// Collects the rows of a sheet as a reader finds them, keeping within the bounds above: cells
// beyond the last column are dropped, with an error at the first row that has one, and the
// reading ends with an error once the sheet holds too many cells, too much text (an archive's
// repeated rows and cells repeat their text) or too many rows.
class SheetRows {
 public:
  SheetRows(Sheet& sheet, Findings& findings) : FSheet(sheet), FFindings(findings) {}

  // False once the sheet is full: the reader stops.
  bool StartRow(int row);
  // Empty cells cost nothing until a cell with text follows them.
  void AddCell(std::string cell, std::size_t times = 1);
  void AddEmptyCells(std::size_t count) { FPendingEmpty += count; }
  void EndRow();
  bool Full() const { return FFull; }
  int Row() const { return FRow.Row; }

 private:
  void Stop(const std::string& why);

  Sheet& FSheet;
  Findings& FFindings;
  SheetRow FRow;
  std::size_t FPendingEmpty = 0;
  std::size_t FCells = 0;
  std::size_t FText = 0;
  bool FWide = false;  // text beyond the last column was reported
  bool FFull = false;
};

// The entries in SOURCE named as sheets ("questions" with the extension .tsv, .csv, .txt, .ods
// or .xlsx in any letter case), whatever they are, and other files a spreadsheet program saved,
// by name.
struct SheetFiles {
  std::vector<std::string> Sheets;
  std::vector<std::string> Others;
  std::error_code Error;  // the folder could not be listed
};
SheetFiles ListSheetFiles(const std::string& source);

// The sheet in SOURCE: "questions" with the extension .tsv, .csv, .txt, .ods or .xlsx in any
// letter case. None, or more than one, is an error that names what was looked for and what
// was found instead; so is a link to a file outside SOURCE.
std::optional<std::string> FindSheet(const std::string& source, Findings& findings);

// Whether two names are the same but for the letter case of ASCII letters.
bool SameName(std::string_view a, std::string_view b);

// The sheet of a file's bytes, read as the extension of its name says; the findings carry the
// name. A file that cannot be read at all is an error and gives no rows.
Sheet ReadSheet(std::string_view bytes, const std::string& name, Findings& findings);

}  // namespace anthora
