#include "authoring/Tsv.h"

#include <algorithm>

#include "platform/Utf8.h"

namespace anthora {

namespace {

bool IsEmptyRow(const TsvRow& row) {
  return std::all_of(row.Cells.begin(), row.Cells.end(),
                     [](const std::string& cell) { return cell.empty(); });
}

// UTF-8 of UTF-16 text after its byte-order mark; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view text, bool bigEndian) {
  std::string out;
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(text[i]);
    const auto second = static_cast<unsigned char>(text[i + 1]);
    return bigEndian ? first << 8 | second : second << 8 | first;
  };
  for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < text.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace

TsvTable ReadTsv(std::string_view text) {
  // Some spreadsheets save "Unicode text" as UTF-16.
  if (text.starts_with("\xFF\xFE")) return ReadTsv(Utf16ToUtf8(text, false));
  if (text.starts_with("\xFE\xFF")) return ReadTsv(Utf16ToUtf8(text, true));
  TsvTable table;
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
