#include "sheet/OdsSheet.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "sheet/SheetArchive.h"

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

// The text of a paragraph and what it holds: spans, links, spaces, tabs and line breaks, however
// deeply they nest.
void AppendText(const pugi::xml_node& paragraph, std::string& text) {
  WalkXml(paragraph, [&](const pugi::xml_node& node) {
    if (text.size() > kMaxSheetBytes) return false;
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
      text += node.value();
      return false;
    }
    if (node.type() != pugi::node_element) return false;
    const std::string_view local = LocalName(node);
    if (local == "s") {
      text.append(RepeatCount(node, "c", kMaxSpaces), ' ');
    } else if (local == "tab") {
      text += '\t';
    } else if (local == "line-break") {
      text += '\n';
    } else {
      return local != "annotation" && local != "note";
    }
    return false;
  });
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

// The names of the table styles that hide their tables.
std::set<std::string> HiddenTableStyles(const pugi::xml_document& content) {
  std::set<std::string> hidden;
  for (const pugi::xml_node styles : content.document_element().children()) {
    if (LocalName(styles) != "automatic-styles") continue;
    for (const pugi::xml_node style : styles.children()) {
      for (const pugi::xml_node properties : style.children()) {
        if (LocalName(properties) == "table-properties" &&
            std::string_view(AttributeOf(properties, "display").value()) == "false")
          hidden.insert(AttributeOf(style, "name").value());
      }
    }
  }
  return hidden;
}

// Whether a table beside this one has a paragraph with text.
bool OtherTableHasText(const pugi::xml_node& table) {
  for (const pugi::xml_node other : table.parent().children()) {
    if (other == table || LocalName(other) != "table") continue;
    bool text = false;
    WalkXml(other, [&](const pugi::xml_node& node) {
      text = text || ((node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) &&
                      std::string_view(node.value()).find_first_not_of(" \t\r\n") !=
                          std::string_view::npos &&
                      LocalName(node.parent()) != "annotation");
      return !text;
    });
    if (text) return true;
  }
  return false;
}

class OdsReader {
 public:
  OdsReader(Sheet& sheet, Findings& findings) : FRows(sheet, findings) {}

  // The rows of a table, also those inside header and group elements, however deeply they nest.
  void ReadRows(const pugi::xml_node& table) {
    WalkXml(table, [&](const pugi::xml_node& node) {
      if (FRows.Full()) return false;
      const std::string_view local = LocalName(node);
      if (local == "table-row") ReadRow(node);
      return local == "table-header-rows" || local == "table-row-group" || local == "table-rows";
    });
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
  Sheet sheet{name, {}, {}};
  SheetArchive archive(bytes);
  pugi::xml_document content;
  if (!archive.IsOpen() || archive.Encrypted() || !archive.ReadXml("content.xml", content)) {
    findings.Error(name, 0, Format(Tr("cannot be read: %s"), {archive.Why()}));
    return sheet;
  }
  // The table named "questions", or else the first one shown.
  const std::set<std::string> hidden = HiddenTableStyles(content);
  pugi::xml_node chosen;
  for (const pugi::xml_node body : content.document_element().children()) {
    if (LocalName(body) != "body") continue;
    for (const pugi::xml_node spreadsheet : body.children()) {
      if (LocalName(spreadsheet) != "spreadsheet") continue;
      for (const pugi::xml_node table : spreadsheet.children()) {
        if (LocalName(table) != "table") continue;
        if (SameName(AttributeOf(table, "name").value(), "questions")) {
          chosen = table;
          break;
        }
        if (!chosen && !hidden.contains(AttributeOf(table, "style-name").value())) chosen = table;
      }
    }
  }
  if (!chosen) {
    findings.Error(name, 0, Tr("cannot be read: it holds no sheet"));
    return sheet;
  }
  OdsReader(sheet, findings).ReadRows(chosen);
  if (sheet.Rows.empty() && findings.Count(Finding::Level::Error) == 0 && OtherTableHasText(chosen))
    sheet.EmptyAmongOthers = AttributeOf(chosen, "name").value();
  return sheet;
}

}  // namespace anthora
