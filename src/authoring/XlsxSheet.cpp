#include "authoring/XlsxSheet.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "authoring/Findings.h"
#include "authoring/NumberFormat.h"
#include "authoring/SheetArchive.h"

namespace anthora {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return (x >= 'A' && x <= 'Z' ? x + 0x20 : x) == (y >= 'A' && y <= 'Z' ? y + 0x20 : y);
  });
}

// The text of a string item: its own text or its runs', without phonetic guides.
void AppendText(const pugi::xml_node& item, std::string& text) {
  for (const pugi::xml_node child : item.children()) {
    const std::string_view local = LocalName(child);
    if (local == "t") {
      text += child.text().get();
    } else if (local == "r") {
      AppendText(child, text);
    }
  }
}

// A number as a spreadsheet shows it under a format code; a value that is no number as it is.
std::string ShownNumber(const char* value, std::string_view code) {
  char* end = nullptr;
  const double number = std::strtod(value, &end);
  if (end == value || *end != '\0') return value;
  return FormatNumber(number, code);
}

unsigned NumberAttribute(const pugi::xml_node& node, std::string_view name) {
  return AttributeOf(node, name).as_uint(0);
}

// The part a relationship's target names, from the workbook's folder.
std::string PartName(std::string_view target) {
  std::vector<std::string_view> parts;
  std::string_view path = target;
  if (!path.starts_with('/')) parts = {"xl"};
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view part = path.substr(0, slash);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  std::string name;
  for (const std::string_view part : parts) name += (name.empty() ? "" : "/") + std::string(part);
  return name;
}

// The column (from 0) and row (from 1) of a reference such as "B7"; -1 for what is absent.
std::pair<std::int64_t, std::int64_t> CellPlace(std::string_view reference) {
  std::int64_t column = 0;
  std::size_t i = 0;
  for (;
       i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && column < kMaxSheetRow;
       ++i)
    column = column * 26 + (reference[i] - 'A' + 1);
  std::int64_t row = 0;
  for (std::size_t k = i; k < reference.size() && row <= kMaxSheetRow; ++k) {
    if (reference[k] < '0' || reference[k] > '9') return {-1, -1};
    row = row * 10 + (reference[k] - '0');
  }
  return {i == 0 ? -1 : column - 1, i == reference.size() ? -1 : row};
}

class XlsxReader {
 public:
  XlsxReader(Sheet& sheet, Findings& findings) : FRows(sheet, findings) {}

  // The shared strings part is not there: a text cell that needs it ends the reading.
  void StringsMissing(std::string part) { FMissingStrings = std::move(part); }
  // The reason the rows could not be read; empty when they were.
  const std::string& Why() const { return FWhy; }

  // The number format of each cell style, by its index.
  void ReadStyles(const pugi::xml_document& styles) {
    for (const pugi::xml_node part : styles.document_element().children()) {
      if (LocalName(part) == "numFmts") {
        for (const pugi::xml_node format : part.children()) {
          if (LocalName(format) == "numFmt")
            FCustomFormats[NumberAttribute(format, "numFmtId")] =
                AttributeOf(format, "formatCode").value();
        }
      } else if (LocalName(part) == "cellXfs") {
        for (const pugi::xml_node style : part.children()) {
          if (LocalName(style) == "xf") FStyleFormats.push_back(NumberAttribute(style, "numFmtId"));
        }
      }
    }
  }

  void ReadStrings(const pugi::xml_document& strings) {
    for (const pugi::xml_node item : strings.document_element().children()) {
      if (LocalName(item) != "si") continue;
      FStrings.emplace_back();
      AppendText(item, FStrings.back());
    }
  }

  void ReadRows(const pugi::xml_document& worksheet) {
    for (const pugi::xml_node part : worksheet.document_element().children()) {
      if (LocalName(part) != "sheetData") continue;
      for (const pugi::xml_node row : part.children()) {
        if (LocalName(row) == "row" && !ReadRow(row)) return;
        if (!FWhy.empty()) return;
      }
    }
  }

 private:
  bool ReadRow(const pugi::xml_node& row) {
    const pugi::xml_attribute place = AttributeOf(row, "r");
    const std::int64_t number = place ? CellPlace(place.value()).second : -1;
    // Rows come in order; a row number that does not move on is taken as the next row.
    FRow = std::clamp<std::int64_t>(number, FRow + 1, kMaxSheetRow + std::int64_t{1});
    if (!FRows.StartRow(static_cast<int>(FRow))) return false;
    std::int64_t column = 0;
    for (const pugi::xml_node cell : row.children()) {
      if (LocalName(cell) != "c") continue;
      // Beyond the last column read no shared string is copied for nothing.
      if (column > std::int64_t{kMaxSheetColumns}) break;
      const std::int64_t wanted = CellPlace(AttributeOf(cell, "r").value()).first;
      if (wanted > column) {
        FRows.AddEmptyCells(static_cast<std::size_t>(
            std::min<std::int64_t>(wanted - column, kMaxSheetColumns + std::int64_t{1})));
        column = wanted;
      }
      FRows.AddCell(CellText(cell));
      ++column;
    }
    FRows.EndRow();
    return !FRows.Full();
  }

  std::string CellText(const pugi::xml_node& cell) {
    const std::string_view type = AttributeOf(cell, "t").value();
    if (type == "inlineStr") {
      std::string text;
      for (const pugi::xml_node item : cell.children()) {
        if (LocalName(item) == "is") AppendText(item, text);
      }
      return text;
    }
    pugi::xml_node value;
    for (const pugi::xml_node child : cell.children()) {
      if (LocalName(child) == "v") value = child;
    }
    const char* text = value.text().get();
    if (type == "s") {
      if (!FMissingStrings.empty() && FWhy.empty())
        FWhy = "it has no part " + Printable(FMissingStrings) + ", which holds its text";
      char* end = nullptr;
      const unsigned long long index = std::strtoull(text, &end, 10);
      return end != text && index < FStrings.size() ? FStrings[index] : std::string();
    }
    if (type == "b") return std::string_view(text) == "1" ? "TRUE" : "FALSE";
    if (type == "str" || type == "e" || type == "d" || *text == '\0') return text;
    return ShownNumber(text, FormatCode(NumberAttribute(cell, "s")));
  }

  std::string_view FormatCode(unsigned style) const {
    const unsigned id = style < FStyleFormats.size() ? FStyleFormats[style] : 0;
    const auto custom = FCustomFormats.find(id);
    return custom != FCustomFormats.end() ? std::string_view(custom->second)
                                          : BuiltInNumberFormat(id);
  }

  SheetRows FRows;
  std::vector<std::string> FStrings;
  std::map<unsigned, std::string> FCustomFormats;  // number formats by id
  std::vector<unsigned> FStyleFormats;             // the number format id of each cell style
  std::string FMissingStrings;
  std::string FWhy;
  std::int64_t FRow = 0;
};

// The part a relationship of the workbook names: by its id, or by the end of its type.
std::string LinkedPart(const pugi::xml_document& links, std::string_view id,
                       std::string_view typeEnd = {}) {
  for (const pugi::xml_node link : links.document_element().children()) {
    const bool wanted = id.empty()
                            ? std::string_view(AttributeOf(link, "Type").value()).ends_with(typeEnd)
                            : AttributeOf(link, "Id").value() == id;
    if (wanted) return PartName(AttributeOf(link, "Target").value());
  }
  return {};
}

// The worksheet part of the sheet named "questions", or of the first sheet.
std::string WorksheetPart(const pugi::xml_document& workbook, const pugi::xml_document& links) {
  pugi::xml_node chosen;
  for (const pugi::xml_node part : workbook.document_element().children()) {
    if (LocalName(part) != "sheets") continue;
    for (const pugi::xml_node sheet : part.children()) {
      if (LocalName(sheet) != "sheet") continue;
      if (!chosen) chosen = sheet;
      if (SameName(AttributeOf(sheet, "name").value(), "questions")) {
        chosen = sheet;
        break;
      }
    }
  }
  const std::string_view id = AttributeOf(chosen, "id").value();
  return id.empty() ? std::string() : LinkedPart(links, id);
}

}  // namespace

Sheet ReadXlsxSheet(std::string_view bytes, const std::string& name, Findings& findings) {
  Sheet sheet{name, {}};
  SheetArchive archive(bytes);
  pugi::xml_document workbook;
  pugi::xml_document links;
  pugi::xml_document strings;
  pugi::xml_document styles;
  pugi::xml_document worksheet;
  XlsxReader reader(sheet, findings);
  bool read = archive.IsOpen() && archive.ReadXml("xl/workbook.xml", workbook) &&
              archive.ReadXml("xl/_rels/workbook.xml.rels", links);
  std::string stringsPart = read ? LinkedPart(links, {}, "/sharedStrings") : "";
  if (stringsPart.empty()) stringsPart = "xl/sharedStrings.xml";
  if (read && archive.Has(stringsPart)) {
    read = archive.ReadXml(stringsPart, strings);
    reader.ReadStrings(strings);
  } else {
    reader.StringsMissing(stringsPart);  // a sheet of numbers and inline text needs none
  }
  // Without styles every number shows as General.
  std::string stylesPart = read ? LinkedPart(links, {}, "/styles") : "";
  if (stylesPart.empty()) stylesPart = "xl/styles.xml";
  if (read && archive.Has(stylesPart) && archive.ReadXml(stylesPart, styles))
    reader.ReadStyles(styles);
  if (read) {
    const std::string part = WorksheetPart(workbook, links);
    if (part.empty()) {
      findings.Error(name, 0, "cannot be read: it holds no sheet");
      return sheet;
    }
    read = archive.ReadXml(part, worksheet);
  }
  if (!read) {
    findings.Error(name, 0, "cannot be read: " + archive.Why());
    return sheet;
  }
  reader.ReadRows(worksheet);
  if (!reader.Why().empty()) {
    findings.Error(name, 0, "cannot be read: " + reader.Why());
    sheet.Rows.clear();
  }
  return sheet;
}

}  // namespace anthora
