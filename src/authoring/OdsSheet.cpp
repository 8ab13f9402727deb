#include "authoring/OdsSheet.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "authoring/SheetArchive.h"

namespace anthora {

namespace {

constexpr std::size_t kMaxSpaces = 1000;  // one text:s element stands for at most this many

// A repeat count from an attribute: 1 when absent or not a number, never more than the limit.
std::size_t RepeatCount(const pugi::xml_node& node, std::string_view attribute, std::size_t limit) {
  const pugi::xml_attribute count = AttributeOf(node, attribute);
  if (!count) return 1;
  const unsigned long long value = std::strtoull(count.value(), nullptr, 10);
  return static_cast<std::size_t>(std::clamp<unsigned long long>(value, 1, limit));
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return (x >= 'A' && x <= 'Z' ? x + 0x20 : x) == (y >= 'A' && y <= 'Z' ? y + 0x20 : y);
  });
}

// The text of a paragraph and what it holds: spans, links, spaces, tabs and line breaks.
void AppendText(const pugi::xml_node& node, std::string& text) {
  for (const pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += child.value();
    } else if (child.type() != pugi::node_element) {
      continue;
    } else if (LocalName(child) == "s") {
      text.append(RepeatCount(child, "c", kMaxSpaces), ' ');
    } else if (LocalName(child) == "tab") {
      text += '\t';
    } else if (LocalName(child) == "line-break") {
      text += '\n';
    } else if (LocalName(child) != "annotation" && LocalName(child) != "note") {
      AppendText(child, text);
    }
    if (text.size() > kMaxSheetBytes) return;
  }
}

std::string CellText(const pugi::xml_node& cell) {
  std::string text;
  bool first = true;
  for (const pugi::xml_node paragraph : cell.children()) {
    if (LocalName(paragraph) != "p" && LocalName(paragraph) != "h") continue;
    if (!first) text += '\n';
    first = false;
    AppendText(paragraph, text);
  }
  return text;
}

class OdsReader {
 public:
  OdsReader(Sheet& sheet, Findings& findings) : FRows(sheet, findings) {}

  // The rows of a table, also those inside header and group elements.
  void ReadRows(const pugi::xml_node& parent) {
    for (const pugi::xml_node node : parent.children()) {
      if (FRows.Full()) return;
      const std::string_view local = LocalName(node);
      if (local == "table-row") {
        ReadRow(node);
      } else if (local == "table-header-rows" || local == "table-row-group" ||
                 local == "table-rows") {
        ReadRows(node);
      }
    }
  }

 private:
  void ReadRow(const pugi::xml_node& row) {
    const std::size_t times = RepeatCount(row, "number-rows-repeated", kMaxSheetRow);
    std::vector<std::pair<std::string, std::size_t>> cells;  // text, times
    bool empty = true;
    // Cells are taken up to one beyond the last column, so that a repeated row costs little.
    std::size_t columns = 0;
    for (const pugi::xml_node cell : row.children()) {
      const std::string_view local = LocalName(cell);
      if (local != "table-cell" && local != "covered-table-cell") continue;
      if (columns > kMaxSheetColumns) break;
      cells.emplace_back(CellText(cell),
                         RepeatCount(cell, "number-columns-repeated", kMaxSheetColumns + 1));
      columns += cells.back().second;
      empty = empty && cells.back().first.empty();
    }
    // Empty rows, often repeated up to the end of the sheet, only move the row number on.
    for (std::size_t k = 0; k < (empty ? 0 : times) && FRows.StartRow(Number(k)); ++k) {
      for (const auto& [text, repeat] : cells) FRows.AddCell(text, repeat);
      FRows.EndRow();
    }
    FNext += static_cast<std::int64_t>(times);
  }

  int Number(std::size_t k) const {
    return static_cast<int>(std::min<std::int64_t>(FNext + static_cast<std::int64_t>(k),
                                                   kMaxSheetRow + std::int64_t{1}));
  }

  SheetRows FRows;
  std::int64_t FNext = 1;
};

}  // namespace

Sheet ReadOdsSheet(std::string_view bytes, const std::string& name, Findings& findings) {
  Sheet sheet{name, {}};
  SheetArchive archive(bytes);
  pugi::xml_document content;
  if (!archive.IsOpen() || !archive.ReadXml("content.xml", content)) {
    findings.Error(name, 0, "cannot be read: " + archive.Why());
    return sheet;
  }
  pugi::xml_node chosen;
  for (const pugi::xml_node body : content.document_element().children()) {
    if (LocalName(body) != "body") continue;
    for (const pugi::xml_node spreadsheet : body.children()) {
      if (LocalName(spreadsheet) != "spreadsheet") continue;
      for (const pugi::xml_node table : spreadsheet.children()) {
        if (LocalName(table) != "table") continue;
        if (!chosen || SameName(AttributeOf(table, "name").value(), "questions")) {
          if (chosen && SameName(AttributeOf(chosen, "name").value(), "questions")) continue;
          chosen = table;
        }
      }
    }
  }
  if (!chosen) {
    findings.Error(name, 0, "cannot be read: it holds no sheet");
    return sheet;
  }
  OdsReader(sheet, findings).ReadRows(chosen);
  return sheet;
}

}  // namespace anthora
