#include "sheet/SheetWriter.h"

#include <cerrno>
#include <cstring>

#include "runtime/files/SafeWrite.h"
#include "runtime/files/ZipArchive.h"
#include "runtime/files/ZipWriter.h"
#include "sheet/Sheet.h"

namespace anthora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The text without what XML cannot hold: control characters other than tab and line breaks,
// and the noncharacters U+FFFE and U+FFFF.
std::string XmlCharacters(std::string_view text) {
  std::string kept;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (text.substr(at).starts_with("\xEF\xBF\xBE") ||
        text.substr(at).starts_with("\xEF\xBF\xBF")) {
      at += 2;
    } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') {
      kept += c;
    }
  }
  return kept;
}

// Text as XML character data and attribute values take it, without what XML cannot hold.
std::string XmlText(std::string_view text) {
  std::string escaped;
  for (const char c : XmlCharacters(text)) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// A cell's text as OpenDocument paragraphs: a run of spaces, a space at the start, tabs and
// line breaks are written as elements, since the format folds white space in plain text.
std::string OdsParagraphs(std::string_view cell) {
  const std::string text = XmlCharacters(cell);
  std::string out = "<text:p>";
  std::size_t spaces = 0;
  const auto flushSpaces = [&](bool atStart) {
    if (spaces == 0) return;
    std::size_t elements = spaces;
    if (!atStart) {
      out += ' ';
      --elements;
    }
    if (elements > 0) out += "<text:s text:c=\"" + std::to_string(elements) + "\"/>";
    spaces = 0;
  };
  bool atStart = true;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c == ' ') {
      ++spaces;
      continue;
    }
    flushSpaces(atStart);
    atStart = false;
    if (c == '\t') {
      out += "<text:tab/>";
    } else if (c == '\n') {
      out += "</text:p><text:p>";
      atStart = true;
    } else if (c != '\r') {
      out += XmlText(std::string_view(&c, 1));
    }
  }
  // Spaces at the end are written as elements: folded otherwise.
  if (spaces > 0) out += "<text:s text:c=\"" + std::to_string(spaces) + "\"/>";
  return out + "</text:p>";
}

// A sheet of text cells; the questions' first column, the photos' names, is wide enough for the
// names phones give photos.
std::string OdsTable(std::string_view name, const SheetCells& rows, bool widePhotoColumn) {
  std::string xml = "<table:table table:name=\"" + std::string(name) + "\">";
  if (widePhotoColumn) xml += "<table:table-column table:style-name=\"co1\"/>";
  for (const auto& row : rows) {
    xml += "<table:table-row>";
    for (const std::string& cell : row) {
      xml += cell.empty() ? "<table:table-cell/>"
                          : "<table:table-cell office:value-type=\"string\">" +
                                OdsParagraphs(cell) + "</table:table-cell>";
    }
    xml += "</table:table-row>";
  }
  return xml + "</table:table>";
}

std::string OdsContent(const SheetCells& rows, const SheetCells& note) {
  std::string xml(kXmlHead);
  xml +=
      "<office:document-content"
      " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
      " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
      " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
      " office:version=\"1.2\"><office:automatic-styles>"
      "<style:style style:name=\"co1\" style:family=\"table-column\">"
      "<style:table-column-properties style:column-width=\"7.5cm\"/></style:style>"
      "</office:automatic-styles><office:body><office:spreadsheet>";
  xml += OdsTable("questions", rows, true);
  if (!note.empty()) xml += OdsTable(kNoteSheetName, note, false);
  return xml + "</office:spreadsheet></office:body></office:document-content>\n";
}

constexpr std::string_view kOdsType = "application/vnd.oasis.opendocument.spreadsheet";

std::string OdsManifest() {
  return std::string(kXmlHead) +
         "<manifest:manifest"
         " xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
         " manifest:version=\"1.2\">"
         "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\""
         " manifest:media-type=\"" +
         std::string(kOdsType) +
         "\"/>"
         "<manifest:file-entry manifest:full-path=\"content.xml\" "
         "manifest:media-type=\"text/xml\"/>"
         "</manifest:manifest>\n";
}

// A column's letters: A to Z, then AA and on.
std::string ColumnLetters(std::size_t column) {
  std::string letters;
  for (++column; column > 0; column = (column - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
  return letters;
}

// Text as an inline string of a workbook cell: an underscore that would start an escape of the
// format ("_x" and four hexadecimal digits and "_") is itself escaped.
std::string XlsxText(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const std::string_view rest = text.substr(at);
    if (rest.size() >= 7 && rest.starts_with("_x") && rest[6] == '_' &&
        rest.substr(2, 4).find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos)
      out += "_x005F_";  // stands for the underscore it replaces
    else
      out += text[at];
  }
  return XmlText(out);
}

std::string XlsxWorksheet(const SheetCells& rows) {
  std::string xml(kXmlHead);
  xml +=
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<cols><col min=\"1\" max=\"1\" width=\"40\" customWidth=\"1\"/></cols><sheetData>";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string number = std::to_string(r + 1);
    xml += "<row r=\"" + number + "\">";
    for (std::size_t column = 0; column < rows[r].size(); ++column) {
      if (rows[r][column].empty()) continue;
      xml += "<c r=\"" + ColumnLetters(column) + number +
             "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" + XlsxText(rows[r][column]) +
             "</t></is></c>";
    }
    xml += "</row>";
  }
  return xml + "</sheetData></worksheet>\n";
}

std::string XlsxTypes(bool note) {
  std::string xml =
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\""
      " ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\""
      " ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
  for (int sheet = 1; sheet <= (note ? 2 : 1); ++sheet) {
    xml += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(sheet) +
           ".xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
  }
  return xml + "</Types>\n";
}

constexpr std::string_view kXlsxPackageLinks =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\""
    " Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\""
    " Target=\"xl/workbook.xml\"/></Relationships>\n";

std::string XlsxWorkbook(bool note) {
  return "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
         " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheets><sheet name=\"questions\" sheetId=\"1\" r:id=\"rId1\"/>" +
         (note ? "<sheet name=\"" + std::string(kNoteSheetName) + "\" sheetId=\"2\" r:id=\"rId2\"/>"
               : std::string()) +
         "</sheets></workbook>\n";
}

std::string XlsxWorkbookLinks(bool note) {
  std::string xml =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (int sheet = 1; sheet <= (note ? 2 : 1); ++sheet) {
    const std::string number = std::to_string(sheet);
    xml += "<Relationship Id=\"rId" + number +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
           "worksheet\" Target=\"worksheets/sheet" +
           number + ".xml\"/>";
  }
  return xml + "</Relationships>\n";
}

struct Part {
  std::string Name;
  std::string Bytes;
  bool Compress = true;
};

void WriteArchive(const AtomicFile& file, const std::vector<Part>& parts) {
  try {
    ZipWriter archive(file.Made());
    for (const Part& part : parts) archive.AddBytes(part.Name, part.Bytes, part.Compress);
    archive.Close();
  } catch (const ZipError& error) {
    throw WriteError(file.Path(), error.what());
  }
}

// Text in double quotes, a double quote inside doubled.
std::string DoubleQuoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

bool NeedsQuotes(std::string_view cell, char separator) {
  return cell.find_first_of(std::string{separator, '"', '\n', '\r'}) != std::string_view::npos ||
         (!cell.empty() && (cell.front() == ' ' || cell.back() == ' ')) ||
         cell.starts_with(kByteOrderMark);
}

// Whether a spreadsheet program would take the cell for a formula rather than text.
bool LooksLikeFormula(std::string_view cell) {
  return !cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos;
}

// A cell as a text field: quoted where it must be, and one that would be taken for a formula
// written as the formula of its text, ="...", which spreadsheet programs show as that text.
std::string TextField(std::string_view cell, char separator) {
  const std::string field = LooksLikeFormula(cell) ? "=" + DoubleQuoted(cell) : std::string(cell);
  return NeedsQuotes(field, separator) ? DoubleQuoted(field) : field;
}

}  // namespace

std::optional<SheetForm> SheetFormOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string_view extension = name.substr(dot + 1);
  if (SameName(extension, "ods")) return SheetForm::Ods;
  if (SameName(extension, "xlsx")) return SheetForm::Xlsx;
  if (SameName(extension, "csv")) return SheetForm::Csv;
  if (SameName(extension, "tsv")) return SheetForm::Tsv;
  return std::nullopt;
}

std::string SheetText(const SheetCells& rows, char separator) {
  std::string text(kByteOrderMark);
  for (const auto& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      if (column > 0) text += separator;
      text += TextField(row[column], separator);
    }
    text += '\n';
  }
  return text;
}

void WriteSheet(const AtomicFile& file, const SheetCells& rows, SheetForm form,
                const SheetCells& note) {
  switch (form) {
    case SheetForm::Ods:
      // The type comes first and is stored as it is, so that it can be told by its start.
      WriteArchive(file, {{"mimetype", std::string(kOdsType), false},
                          {"META-INF/manifest.xml", OdsManifest()},
                          {"content.xml", OdsContent(rows, note)}});
      return;
    case SheetForm::Xlsx: {
      const bool withNote = !note.empty();
      std::vector<Part> parts = {
          {"[Content_Types].xml", std::string(kXmlHead) + XlsxTypes(withNote)},
          {"_rels/.rels", std::string(kXmlHead) + std::string(kXlsxPackageLinks)},
          {"xl/workbook.xml", std::string(kXmlHead) + XlsxWorkbook(withNote)},
          {"xl/_rels/workbook.xml.rels", std::string(kXmlHead) + XlsxWorkbookLinks(withNote)},
          {"xl/worksheets/sheet1.xml", XlsxWorksheet(rows)}};
      if (withNote) parts.push_back({"xl/worksheets/sheet2.xml", XlsxWorksheet(note)});
      WriteArchive(file, parts);
      return;
    }
    case SheetForm::Csv:
    case SheetForm::Tsv:
      if (!WriteAll(file.Create().Get(), SheetText(rows, form == SheetForm::Csv ? ',' : '\t')))
        throw WriteError(file.Path(), std::string("cannot be written: ") + std::strerror(errno));
      return;
  }
}

}  // namespace anthora
