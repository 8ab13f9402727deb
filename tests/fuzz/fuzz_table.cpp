// Arbitrary bytes as a teacher's sheet, saved as text, ODS or XLSX: read into rows within the
// sheet's bounds, then into questions; and as a number format code.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sheet/NumberFormat.h"
#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const char* name : {"questions.csv", "questions.ods", "questions.xlsx"}) {
    anthora::Findings findings;
    const anthora::Sheet sheet = anthora::ReadSheet(bytes, name, findings);
    std::size_t cells = 0;
    std::size_t bytesKept = 0;
    for (const anthora::SheetRow& row : sheet.Rows) {
      if (row.Cells.size() > anthora::kMaxSheetColumns || row.Row > anthora::kMaxSheetRow)
        __builtin_trap();
      cells += row.Cells.size();
      for (const std::string& cell : row.Cells) bytesKept += cell.size();
    }
    if (cells > anthora::kMaxSheetCells || bytesKept > anthora::kMaxSheetText) __builtin_trap();
    const bool text = std::string_view(name).ends_with(".csv");
    if (text && (sheet.Rows.size() > size + 1 || cells > size + 1)) __builtin_trap();
    anthora::ReadQuestionTable(sheet, findings);
  }
  // The bytes as a number format code, which a workbook's styles hold.
  for (const double value : {-1234.5678, 0.0, 0.5, 1e300})
    if (anthora::FormatNumber(value, bytes).size() > 4 * size + 64) __builtin_trap();
  return 0;
}
