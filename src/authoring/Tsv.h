#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace anthora {

// One row of a tab-separated table as spreadsheets save it.
struct TsvRow {
  int Line = 0;  // where the row starts, from 1
  std::vector<std::string> Cells;
};

struct TsvTable {
  std::vector<TsvRow> Rows;
  int ErrorLine = 0;  // where reading stopped; 0 when it did not
  std::string Error;
};

// Rows end at LF or CR LF, cells at tabs. A cell that starts with a double quote runs to the
// next lone double quote and may hold tabs and line ends; two double quotes in it stand for
// one. A UTF-8 byte-order mark at the start is skipped; text that starts with a UTF-16 one is
// turned into UTF-8 first. Rows whose cells are all empty are left out.
TsvTable ReadTsv(std::string_view text);

}  // namespace anthora
