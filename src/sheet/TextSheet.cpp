#include "sheet/TextSheet.h"

#include <algorithm>
#include <array>
#include <optional>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "sheet/TextEncoding.h"

namespace anthora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool LineEnd(char c) {
  return c == '\n' || c == '\r';
}

// The separator the header row uses most, outside quotes: tab, then semicolon, then comma
// when they tie; a tab when it uses none.
char HeaderSeparator(std::string_view text) {
  std::array<std::size_t, 3> counts{};
  constexpr std::array<char, 3> kSeparators = {'\t', ';', ','};
  bool quoted = false;
  text.remove_prefix(std::min(text.find_first_not_of("\r\n"), text.size()));  // blank rows
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (LineEnd(c)) break;
    for (std::size_t k = 0; k < kSeparators.size(); ++k) counts[k] += c == kSeparators[k];
  }
  const auto most = std::max_element(counts.begin(), counts.end());
  return *most == 0 ? '\t' : kSeparators[static_cast<std::size_t>(most - counts.begin())];
}

// The text of a cell that is the formula of a text, ="...", as a spreadsheet shows it; none for
// any other cell.
std::optional<std::string> FormulaText(std::string_view cell) {
  if (cell.size() < 3 || !cell.starts_with("=\"") || !cell.ends_with('"')) return std::nullopt;
  std::string text;
  const std::string_view inside = cell.substr(2, cell.size() - 3);
  for (std::size_t at = 0; at < inside.size(); ++at) {
    if (inside[at] == '"' && (at + 1 == inside.size() || inside[++at] != '"')) return std::nullopt;
    text += inside[at];
  }
  return text;
}

class TextSheetReader {
 public:
  TextSheetReader(const DecodedText& text, Sheet& sheet, Findings& findings)
      : FText(text.Text),
        FWindows1251(text.Windows1251),
        FSheet(sheet),
        FFindings(findings),
        FRows(sheet, findings) {}

  void Read() {
    const char separator = HeaderSeparator(FText);
    int row = 1;
    if (!FRows.StartRow(row)) return;
    while (FAt < FText.size()) {
      if (FCell.empty() && FText[FAt] == '"' && !ReadQuoted()) return;
      if (FAt == FText.size()) break;
      const char c = FText[FAt];
      if (c == separator) {
        ++FAt;
        EndCell();
      } else if (LineEnd(c)) {
        FAt += c == '\r' && FText.substr(FAt + 1).starts_with('\n') ? 2 : 1;
        EndCell();
        FRows.EndRow();
        if (!FRows.StartRow(++row)) return;
      } else if (!SkipByteOrderMark()) {
        FCell += c;
        ++FAt;
      }
    }
    EndCell();
    FRows.EndRow();
  }

 private:
  // From an opening quote to the closing one; false when there is none. What is quoted is the
  // cell's own, a byte-order mark too.
  bool ReadQuoted() {
    const int row = FRows.Row();
    for (++FAt; FAt < FText.size(); ++FAt) {
      if (FText[FAt] != '"') {
        FCell += FText[FAt];
      } else if (FText.substr(FAt + 1).starts_with('"')) {
        FCell += '"';
        ++FAt;
      } else {
        ++FAt;
        return true;
      }
    }
    FFindings.Error(FSheet.Name, row, Tr("a quoted cell has no closing double quote"));
    return false;
  }

  // Drops a byte-order mark at the reading place, with a warning at its row.
  bool SkipByteOrderMark() {
    if (!FText.substr(FAt).starts_with(kByteOrderMark)) return false;
    FFindings.Warning(FSheet.Name, FRows.Row(),
                      Tr("a byte-order mark inside the text is left out; it often comes from "
                         "files joined together"));
    FAt += kByteOrderMark.size();
    return true;
  }

  void EndCell() {
    // Written so by programs that keep a name such as "=a.jpg" from being taken for a formula.
    if (std::optional<std::string> text = FormulaText(FCell)) FCell = std::move(*text);
    if (FWindows1251) {
      // UTF-8 text read as Windows-1251 would be written back as UTF-8, garbled in the quiz.
      if (IsUtf8BeyondAscii(FCell) && FUtf8Row != FRows.Row()) {
        FUtf8Row = FRows.Row();
        FFindings.Error(FSheet.Name, FUtf8Row,
                        Tr("a cell is UTF-8 text, but the rest of the sheet is not, so it was "
                           "read as Windows-1251; save the whole sheet as UTF-8"));
      }
      FCell = Cp1251ToUtf8(FCell);
    }
    FRows.AddCell(std::move(FCell));
    FCell.clear();
  }

  std::string_view FText;
  const bool FWindows1251;
  int FUtf8Row = 0;  // the last row with a UTF-8 cell reported
  Sheet& FSheet;
  Findings& FFindings;
  SheetRows FRows;
  std::size_t FAt = 0;
  std::string FCell;
};

}  // namespace

Sheet ReadTextSheet(std::string_view bytes, const std::string& name, Findings& findings) {
  Sheet sheet{name, {}, {}};
  const DecodedText text = DecodeSheetText(bytes);
  if (text.Windows1251) {
    findings.Warning(name, 0,
                     Tr("the sheet is not UTF-8 text, so it was read as Windows-1251; if its "
                        "letters come out wrong, save it as UTF-8"));
  }
  TextSheetReader(text, sheet, findings).Read();
  if (text.OddByteAtEnd) {
    findings.Warning(name, sheet.Rows.empty() ? 0 : sheet.Rows.back().Row,
                     Tr("the sheet ends with a stray byte, left out: UTF-16 text comes in pairs "
                        "of bytes, so the file may be cut short"));
  }
  return sheet;
}

}  // namespace anthora
