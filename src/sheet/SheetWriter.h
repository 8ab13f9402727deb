#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace anthora {

class AtomicFile;

// The forms a sheet is written in: an OpenDocument spreadsheet, an Office Open XML workbook,
// and UTF-8 text with commas or tabs between the cells.
enum class SheetForm { Ods, Xlsx, Csv, Tsv };

// The form the extension of a sheet's name gives, in any letter case; none for another one.
std::optional<SheetForm> SheetFormOf(std::string_view name);

// The rows of a sheet to write, each a list of cells as UTF-8 text; an empty cell is left empty.
using SheetCells = std::vector<std::vector<std::string>>;

// The sheet beside the questions that a note is written on; the sheet named "questions" is
// the one read, so a note is never taken for questions.
inline constexpr std::string_view kNoteSheetName = "note";

// A small JPEG picture shown on a row of the questions, in the column after the widest row's
// cells: that column has no name in the header row, so the sheet readers never take it for
// questions, and they read no pictures.
struct SheetPicture {
  std::size_t Row = 0;  // the index in the rows written
  std::string Jpeg;     // the file's bytes
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// Writes the rows as one sheet of text cells in the form into the file the AtomicFile makes, for
// the caller to commit. Every cell is text, so that no spreadsheet program reads a file name
// such as "05" as a number. Characters XML cannot hold are left out of the archive forms, whose
// first column is wide enough for the names phones give photos. A note, when given, goes on a
// second sheet in the archive forms; the text forms hold one sheet and no note. The pictures, in
// the archive forms only, are each anchored to its row's cell of the picture column and drawn
// at most about 2 cm on the long side, their rows made tall enough for them. Throws WriteError.
void WriteSheet(const AtomicFile& file, const SheetCells& rows, SheetForm form,
                const SheetCells& note = {}, const std::vector<SheetPicture>& pictures = {});

// The bytes of the text forms, with a byte-order mark that tells spreadsheet programs the text
// is UTF-8; a cell that holds a separator, a quote, a line break, spaces at either end or a
// byte-order mark at its start is quoted, and one that starts as a formula does (=, +, -, @,
// a tab or a carriage return) is written as the formula of its text, ="...", which spreadsheet
// programs and the sheet readers show as that text.
std::string SheetText(const SheetCells& rows, char separator);

}  // namespace anthora
