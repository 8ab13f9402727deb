// Sections: escapes, rich text and shown numbers of cells; relationship targets and cell
// references; the worksheet reader; finding the sheet and its date system; the entry point.
#include "sheet/XlsxSheet.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/Utf8.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Paths.h"
#include "sheet/NumberFormat.h"
#include "sheet/SheetArchive.h"

namespace anthora {

namespace {

// Text with the format's escapes decoded: "_x000D_" is a carriage return, each "_xHHHH_" one
// UTF-16 unit (a surrogate pair taken together, a lone one as U+FFFD), "_x005F_" an underscore.
void AppendUnescaped(std::string_view text, std::string& out) {
  const auto unit = [&](std::size_t at) {
    int value = -1;
    if (at + 7 <= text.size() && text.substr(at, 2) == "_x" && text[at + 6] == '_' &&
        std::from_chars(&text[at + 2], &text[at + 6], value, 16).ptr != &text[at + 6])
      value = -1;
    return value;
  };
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = static_cast<char32_t>(unit(at));
    if (unit(at) < 0) {
      out += text[at++];
      continue;
    }
    at += 7;
    if (c >= 0xD800 && c <= 0xDBFF && unit(at) >= 0xDC00 && unit(at) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(unit(at)) - 0xDC00);
      at += 7;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
}

// The text of a string item: its own text or its runs', without phonetic guides. Runs hold
// text and never other runs, so nothing deeper is looked at, however deep it goes.
void AppendText(const pugi::xml_node& item, std::string& text) {
  for (const pugi::xml_node child : item.children()) {
    const std::string_view local = LocalName(child);
    if (local == "t") AppendUnescaped(child.text().get(), text);
    if (local != "r") continue;
    for (const pugi::xml_node run : child.children()) {
      if (LocalName(run) == "t") AppendUnescaped(run.text().get(), text);
    }
  }
}

// A number as a spreadsheet shows it under a format code; a value that is no number as it is.
std::string ShownNumber(const char* value, std::string_view code, bool date1904) {
  char* end = nullptr;
  const double number = std::strtod(value, &end);
  if (end == value || *end != '\0') return value;
  return FormatNumber(number, code, date1904);
}

unsigned NumberAttribute(const pugi::xml_node& node, std::string_view name) {
  return AttributeOf(node, name).as_uint(0);
}

// A target with its percent escapes ("%20" for a space) decoded, as a relationship's target is
// written; a '%' that starts no escape stays.
std::string Unescaped(std::string_view target) {
  std::string out;
  for (std::size_t at = 0; at < target.size(); ++at) {
    int value = 0;
    if (target[at] == '%' && at + 3 <= target.size() &&
        std::isxdigit(static_cast<unsigned char>(target[at + 1])) &&
        std::from_chars(&target[at + 1], &target[at + 3], value, 16).ptr == &target[at + 3]) {
      out += static_cast<char>(value);
      at += 2;
    } else {
      out += target[at];
    }
  }
  return out;
}

// The part a relationship's target names, from the folder of the part it belongs to; a
// backslash separates folders as a slash does.
std::string PartName(std::string_view folder, std::string_view written) {
  std::string target = Unescaped(written);
  std::replace(target.begin(), target.end(), '\\', '/');
  if (!target.starts_with('/')) target = std::string(folder) + "/" + target;
  std::vector<std::string_view> parts;
  std::string_view path = target;
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

// "AB" for the column 27, counted from 0.
std::string ColumnName(std::int64_t column) {
  std::string name;
  for (++column; column > 0; column = (column - 1) / 26)
    name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
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
  // The reason the rows could not be read, and the row it was found at; empty when they were.
  const std::string& Why() const { return FWhy; }
  int WhyRow() const { return FWhyRow; }
  // Serial dates count from 1904 rather than 1900.
  void UseDate1904() { FDate1904 = true; }

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
      FRows.AddCell(CellText(cell, column));
      ++column;
    }
    FRows.EndRow();
    return !FRows.Full();
  }

  void Stop(std::string why) {
    if (!FWhy.empty()) return;
    FWhy = std::move(why);
    FWhyRow = static_cast<int>(FRow);
  }

  std::string CellText(const pugi::xml_node& cell, std::int64_t column) {
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
    // A text cell without a value is empty, as spreadsheet programs read it.
    if (type == "s" && *text == '\0') return {};
    if (type == "s") {
      if (!FMissingStrings.empty())
        Stop(Format(Tr("it has no part %s, which holds its text"), {QuotedName(FMissingStrings)}));
      char* end = nullptr;
      const long long index = std::strtoll(text, &end, 10);
      if (end != text && *end == '\0' && index >= 0 &&
          static_cast<unsigned long long>(index) < FStrings.size())
        return FStrings[static_cast<std::size_t>(index)];
      if (FMissingStrings.empty())
        // TRANSLATORS: %1$s is a cell ("B7"), %2$s the number of the text it names, %3$d how
        // many texts there are.
        Stop(Format(Tr("the workbook is damaged: cell %1$s names shared text %2$s, but there are "
                       "%3$d"),
                    {ColumnName(column) + std::to_string(FRow), Quoted(text), FStrings.size()}));
      return {};
    }
    if (type == "b") return std::string_view(text) == "1" ? "TRUE" : "FALSE";
    if (type == "str" || type == "e" || type == "d" || *text == '\0') return text;
    return ShownNumber(text, FormatCode(NumberAttribute(cell, "s")), FDate1904);
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
  int FWhyRow = 0;
  bool FDate1904 = false;
  std::int64_t FRow = 0;
};

// The part a relationship names, by its id or by the end of its type; its target is taken from
// the folder of the part the relationships belong to.
std::string LinkedPart(const pugi::xml_document& links, std::string_view folder,
                       std::string_view id, std::string_view typeEnd = {}) {
  for (const pugi::xml_node link : links.document_element().children()) {
    const bool wanted = id.empty()
                            ? std::string_view(AttributeOf(link, "Type").value()).ends_with(typeEnd)
                            : AttributeOf(link, "Id").value() == id;
    if (wanted) return PartName(folder, AttributeOf(link, "Target").value());
  }
  return {};
}

// The sheets of the workbook, by name and relationship id.
std::vector<std::pair<std::string, std::string>> WorkbookSheets(
    const pugi::xml_document& workbook) {
  std::vector<std::pair<std::string, std::string>> sheets;
  for (const pugi::xml_node part : workbook.document_element().children()) {
    if (LocalName(part) != "sheets") continue;
    for (const pugi::xml_node sheet : part.children()) {
      if (LocalName(sheet) == "sheet")
        sheets.emplace_back(AttributeOf(sheet, "name").value(), AttributeOf(sheet, "id").value());
    }
  }
  return sheets;
}

// Whether a worksheet has a cell with a value.
bool HasValues(const pugi::xml_document& worksheet) {
  bool found = false;
  WalkXml(worksheet, [&](const pugi::xml_node& node) {
    const std::string_view local = LocalName(node);
    found = found || ((local == "v" || local == "t") && *node.text().get() != '\0');
    return !found;
  });
  return found;
}

// The worksheet part of the sheet named "questions", or of the first sheet not hidden.
std::string WorksheetPart(const pugi::xml_document& workbook, const pugi::xml_document& links,
                          std::string_view folder) {
  pugi::xml_node chosen;
  for (const pugi::xml_node part : workbook.document_element().children()) {
    if (LocalName(part) != "sheets") continue;
    for (const pugi::xml_node sheet : part.children()) {
      if (LocalName(sheet) != "sheet") continue;
      const std::string_view state = AttributeOf(sheet, "state").value();
      if (!chosen && state != "hidden" && state != "veryHidden") chosen = sheet;
      if (SameName(AttributeOf(sheet, "name").value(), "questions")) {
        chosen = sheet;
        break;
      }
    }
  }
  const std::string_view id = AttributeOf(chosen, "id").value();
  return id.empty() ? std::string() : LinkedPart(links, folder, id);
}

bool UsesDate1904(const pugi::xml_document& workbook) {
  for (const pugi::xml_node part : workbook.document_element().children()) {
    if (LocalName(part) == "workbookPr") return AttributeOf(part, "date1904").as_bool();
  }
  return false;
}

}  // namespace

Sheet ReadXlsxSheet(std::string_view bytes, const std::string& name, Findings& findings) {
  Sheet sheet{name, {}, {}};
  SheetArchive archive(bytes);
  pugi::xml_document package;
  pugi::xml_document workbook;
  pugi::xml_document links;
  pugi::xml_document strings;
  pugi::xml_document styles;
  pugi::xml_document worksheet;
  XlsxReader reader(sheet, findings);
  // The package's relationships name the workbook part; without them it is where most are.
  std::string workbookPart;
  if (archive.Has("_rels/.rels") && archive.ReadXml("_rels/.rels", package))
    workbookPart = LinkedPart(package, "", {}, "/officeDocument");
  if (workbookPart.empty()) workbookPart = "xl/workbook.xml";
  const std::size_t slash = workbookPart.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : workbookPart.substr(0, slash);
  const auto inFolder = [&](const std::string& part) { return JoinPath(folder, part); };
  const std::string linksPart = inFolder("_rels/" + workbookPart.substr(slash + 1) + ".rels");
  bool read = archive.IsOpen() && archive.ReadXml(workbookPart, workbook) &&
              archive.ReadXml(linksPart, links);
  if (read && UsesDate1904(workbook)) reader.UseDate1904();
  // A workbook whose cells hold no shared text needs no shared strings part.
  const std::string stringsPart = read ? LinkedPart(links, folder, {}, "/sharedStrings") : "";
  if (read && !stringsPart.empty() && archive.Has(stringsPart)) {
    read = archive.ReadXml(stringsPart, strings);
    reader.ReadStrings(strings);
  } else {
    reader.StringsMissing(stringsPart.empty() ? inFolder("sharedStrings.xml") : stringsPart);
  }
  // Without styles every number shows as General.
  const std::string stylesPart = read ? LinkedPart(links, folder, {}, "/styles") : "";
  if (read && archive.Has(stylesPart) && archive.ReadXml(stylesPart, styles))
    reader.ReadStyles(styles);
  if (read) {
    const std::string part = WorksheetPart(workbook, links, folder);
    if (part.empty()) {
      findings.Error(name, 0, Tr("cannot be read: it holds no sheet"));
      return sheet;
    }
    read = archive.ReadXml(part, worksheet);
  }
  if (!read) {
    findings.Error(name, 0, Format(Tr("cannot be read: %s"), {archive.Why()}));
    return sheet;
  }
  reader.ReadRows(worksheet);
  if (!reader.Why().empty()) {
    findings.Error(name, reader.WhyRow(), Format(Tr("cannot be read: %s"), {reader.Why()}));
    sheet.Rows.clear();
    return sheet;
  }
  if (!sheet.Rows.empty()) return sheet;
  const std::string part = WorksheetPart(workbook, links, folder);
  std::string readName;
  bool othersHaveText = false;
  for (const auto& [sheetName, id] : WorkbookSheets(workbook)) {
    const std::string other = LinkedPart(links, folder, id);
    pugi::xml_document document;
    if (other == part) {
      readName = sheetName;
    } else if (!othersHaveText && archive.Has(other) && archive.ReadXml(other, document)) {
      othersHaveText = HasValues(document);
    }
  }
  if (othersHaveText) sheet.EmptyAmongOthers = readName;
  return sheet;
}

}  // namespace anthora
