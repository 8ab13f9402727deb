#include "authoring/Tsv.h"

#include <algorithm>

namespace anthora {

namespace {

bool IsEmptyRow(const TsvRow& row) {
  return std::all_of(row.Cells.begin(), row.Cells.end(),
                     [](const std::string& cell) { return cell.empty(); });
}

}  // namespace

TsvTable ReadTsv(std::string_view text) {
  TsvTable table;
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    table.ErrorLine = 1;
    table.Error = "the table is UTF-16; save it as UTF-8 text with tabs between the columns";
    return table;
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

  int line = 1;
  std::size_t i = 0;
  TsvRow row{line, {}};
  std::string cell;
  const auto endRow = [&] {
    row.Cells.push_back(std::move(cell));
    cell.clear();
    if (!IsEmptyRow(row)) table.Rows.push_back(std::move(row));
    row = {line, {}};
  };
  while (i < text.size()) {
    if (cell.empty() && text[i] == '"') {
      const int start = line;
      for (++i;; ++i) {
        if (i == text.size()) {
          table.ErrorLine = start;
          table.Error = "a quoted cell has no closing double quote";
          return table;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            cell += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        if (text[i] == '\n') ++line;
        cell += text[i];
      }
      continue;
    }
    const char c = text[i++];
    if (c == '\t') {
      row.Cells.push_back(std::move(cell));
      cell.clear();
    } else if (c == '\n' || (c == '\r' && i < text.size() && text[i] == '\n')) {
      if (c == '\r') ++i;
      ++line;
      endRow();
    } else {
      cell += c;
    }
  }
  if (!cell.empty() || !row.Cells.empty()) endRow();
  return table;
}

}  // namespace anthora
