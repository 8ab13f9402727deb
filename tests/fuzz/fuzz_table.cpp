// Arbitrary bytes as a teacher's table: read into rows, then into questions.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "authoring/QuestionTable.h"
#include "authoring/Tsv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const anthora::TsvTable table = anthora::ReadTsv(text);
  std::size_t cells = 0;
  for (const anthora::TsvRow& row : table.Rows) cells += row.Cells.size();
  if (table.Rows.size() > size + 1 || cells > size + 1) __builtin_trap();
  anthora::Findings findings;
  anthora::ReadQuestionTable(table, "questions.tsv", findings);
  return 0;
}
