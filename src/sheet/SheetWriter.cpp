// Sections: XML text; ODS paragraphs, pictures, tables and manifest; XLSX text, drawing,
// relationships and parts; writing the archive; the text forms' quoting; the entry point.
#include "sheet/SheetWriter.h"

#include <algorithm>
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

// The pictures by the row they are shown on: none where a row has none, the first where a row
// is given several, and none that lies outside the rows or holds no picture.
std::vector<const SheetPicture*> PicturesByRow(const SheetCells& rows,
                                               const std::vector<SheetPicture>& pictures) {
  std::vector<const SheetPicture*> byRow;
  for (const SheetPicture& picture : pictures) {
    if (picture.Row >= rows.size() || picture.Jpeg.empty() || picture.Width <= 0 ||
        picture.Height <= 0)
      continue;
    if (byRow.empty()) byRow.resize(rows.size());
    if (byRow[picture.Row] == nullptr) byRow[picture.Row] = &picture;
  }
  return byRow;
}

// The column the pictures are shown in: the first after every row's cells, which the header row
// leaves without a name, and never the first, which holds the photos' names.
std::size_t PictureColumn(const SheetCells& rows) {
  std::size_t widest = 1;
  for (const auto& row : rows) widest = std::max(widest, row.size());
  return widest;
}

// How a picture is drawn, in hundredths of a millimetre: its long side is about 2 cm whatever
// its pixels, set off from its cell's corner, in a row a little taller.
constexpr std::int64_t kPictureLongSide = 1900;
constexpr std::int64_t kPictureMargin = 100;
constexpr std::string_view kPictureRowHeight = "2.1cm";  // 60 points
constexpr std::string_view kPictureRowPoints = "60";
constexpr std::string_view kPictureColumnWidth = "2.2cm";
constexpr std::string_view kPictureColumnCharacters = "12";  // about 2.2 cm

struct DrawnSize {
  std::int64_t Width;
  std::int64_t Height;
};
DrawnSize DrawnSizeOf(const SheetPicture& picture) {
  const std::int64_t longSide = std::max(picture.Width, picture.Height);
  return {std::max<std::int64_t>(1, kPictureLongSide * picture.Width / longSide),
          std::max<std::int64_t>(1, kPictureLongSide * picture.Height / longSide)};
}

// Hundredths of a millimetre as an OpenDocument length.
std::string Millimetres(std::int64_t hundredths) {
  const std::string fraction = std::to_string(hundredths % 100);
  return std::to_string(hundredths / 100) + (fraction.size() < 2 ? ".0" : ".") + fraction + "mm";
}

// The number of a row's picture among the pictures, counted from 1 down the rows; it names the
// picture's part in the archive.
std::string PictureNumber(const std::vector<const SheetPicture*>& byRow, std::size_t row) {
  std::size_t number = 0;
  for (std::size_t r = 0; r <= row; ++r) number += byRow[r] != nullptr;
  return std::to_string(number);
}

// A column's letters: A to Z, then AA and on.
std::string ColumnLetters(std::size_t column) {
  std::string letters;
  for (++column; column > 0; column = (column - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
  return letters;
}

std::string OdsPictureName(std::string_view number) {
  return "Pictures/" + std::string(number) + ".jpg";
}

// A cell that shows the picture, anchored to the cell so that it moves with its row.
std::string OdsPictureCell(std::string_view table, const SheetPicture& picture,
                           std::string_view number, std::size_t column, std::size_t row) {
  const DrawnSize size = DrawnSizeOf(picture);
  const std::string cell =
      std::string(table) + "." + ColumnLetters(column) + std::to_string(row + 1);
  return "<table:table-cell><draw:frame draw:name=\"Picture " + std::string(number) +
         "\" draw:z-index=\"" + std::to_string(row) + "\" svg:width=\"" + Millimetres(size.Width) +
         "\" svg:height=\"" + Millimetres(size.Height) + "\" svg:x=\"" +
         Millimetres(kPictureMargin) + "\" svg:y=\"" + Millimetres(kPictureMargin) +
         "\" table:end-cell-address=\"" + cell + "\" table:end-x=\"" +
         Millimetres(kPictureMargin + size.Width) + "\" table:end-y=\"" +
         Millimetres(kPictureMargin + size.Height) + "\"><draw:image xlink:href=\"" +
         OdsPictureName(number) +
         "\" xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/>"
         "</draw:frame></table:table-cell>";
}

// A sheet of text cells; the questions' first column, the photos' names, is wide enough for the
// names phones give photos, and the pictures, when there are any, get a column and taller rows.
std::string OdsTable(std::string_view name, const SheetCells& rows, bool widePhotoColumn,
                     const std::vector<const SheetPicture*>& pictures = {}) {
  std::string xml = "<table:table table:name=\"" + std::string(name) + "\">";
  const std::size_t pictureColumn = PictureColumn(rows);
  if (widePhotoColumn) xml += "<table:table-column table:style-name=\"co1\"/>";
  if (!pictures.empty()) {
    const std::size_t before = widePhotoColumn ? 1 : 0;
    if (pictureColumn > before)
      xml += "<table:table-column table:number-columns-repeated=\"" +
             std::to_string(pictureColumn - before) + "\"/>";
    xml += "<table:table-column table:style-name=\"co2\"/>";
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const SheetPicture* picture = pictures.empty() ? nullptr : pictures[r];
    xml += picture ? "<table:table-row table:style-name=\"ro1\">" : "<table:table-row>";
    for (const std::string& cell : rows[r]) {
      xml += cell.empty() ? "<table:table-cell/>"
                          : "<table:table-cell office:value-type=\"string\">" +
                                OdsParagraphs(cell) + "</table:table-cell>";
    }
    if (picture) {
      if (rows[r].size() < pictureColumn)
        xml += "<table:table-cell table:number-columns-repeated=\"" +
               std::to_string(pictureColumn - rows[r].size()) + "\"/>";
      xml += OdsPictureCell(name, *picture, PictureNumber(pictures, r), pictureColumn, r);
    }
    xml += "</table:table-row>";
  }
  return xml + "</table:table>";
}

std::string OdsContent(const SheetCells& rows, const SheetCells& note,
                       const std::vector<const SheetPicture*>& pictures) {
  std::string xml(kXmlHead);
  xml +=
      "<office:document-content"
      " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
      " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
      " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
      " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
      " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
      " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
      " office:version=\"1.2\"><office:automatic-styles>"
      "<style:style style:name=\"co1\" style:family=\"table-column\">"
      "<style:table-column-properties style:column-width=\"7.5cm\"/></style:style>"
      "<style:style style:name=\"co2\" style:family=\"table-column\">"
      "<style:table-column-properties style:column-width=\"" +
      std::string(kPictureColumnWidth) +
      "\"/></style:style>"
      "<style:style style:name=\"ro1\" style:family=\"table-row\">"
      "<style:table-row-properties style:row-height=\"" +
      std::string(kPictureRowHeight) +
      "\" style:use-optimal-row-height=\"false\"/></style:style>"
      "</office:automatic-styles><office:body><office:spreadsheet>";
  xml += OdsTable("questions", rows, true, pictures);
  if (!note.empty()) xml += OdsTable(kNoteSheetName, note, false);
  return xml + "</office:spreadsheet></office:body></office:document-content>\n";
}

constexpr std::string_view kOdsType = "application/vnd.oasis.opendocument.spreadsheet";

std::string OdsManifest(std::size_t pictures) {
  std::string listed;
  for (std::size_t number = 1; number <= pictures; ++number) {
    listed += "<manifest:file-entry manifest:full-path=\"" +
              OdsPictureName(std::to_string(number)) + "\" manifest:media-type=\"image/jpeg\"/>";
  }
  return std::string(kXmlHead) +
         "<manifest:manifest"
         " xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
         " manifest:version=\"1.2\">"
         "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\""
         " manifest:media-type=\"" +
         std::string(kOdsType) +
         "\"/>"
         "<manifest:file-entry manifest:full-path=\"content.xml\" "
         "manifest:media-type=\"text/xml\"/>" +
         listed + "</manifest:manifest>\n";
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

std::string XlsxWorksheet(const SheetCells& rows,
                          const std::vector<const SheetPicture*>& pictures = {}) {
  std::string xml(kXmlHead);
  xml +=
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
      " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<cols><col min=\"1\" max=\"1\" width=\"40\" customWidth=\"1\"/>";
  if (!pictures.empty()) {
    const std::string column = std::to_string(PictureColumn(rows) + 1);
    xml += "<col min=\"" + column + "\" max=\"" + column + "\" width=\"" +
           std::string(kPictureColumnCharacters) + "\" customWidth=\"1\"/>";
  }
  xml += "</cols><sheetData>";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string number = std::to_string(r + 1);
    xml += "<row r=\"" + number + "\"";
    if (!pictures.empty() && pictures[r])
      xml += " ht=\"" + std::string(kPictureRowPoints) + "\" customHeight=\"1\"";
    xml += ">";
    for (std::size_t column = 0; column < rows[r].size(); ++column) {
      if (rows[r][column].empty()) continue;
      xml += "<c r=\"" + ColumnLetters(column) + number +
             "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" + XlsxText(rows[r][column]) +
             "</t></is></c>";
    }
    xml += "</row>";
  }
  xml += "</sheetData>";
  if (!pictures.empty()) xml += "<drawing r:id=\"rId1\"/>";
  return xml + "</worksheet>\n";
}

// One millimetre's hundredth in the workbook's drawing unit.
constexpr std::int64_t kEmuPerHundredth = 360;

// The drawing of the questions' sheet: each picture anchored by its top left corner to its
// row's cell of the picture column, so that it moves with the row.
std::string XlsxDrawing(const SheetCells& rows, const std::vector<const SheetPicture*>& pictures) {
  std::string xml(kXmlHead);
  xml +=
      "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\""
      " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
      " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
  const std::string column = std::to_string(PictureColumn(rows));
  const std::string margin = std::to_string(kPictureMargin * kEmuPerHundredth);
  for (std::size_t r = 0; r < pictures.size(); ++r) {
    if (!pictures[r]) continue;
    const std::string number = PictureNumber(pictures, r);
    const DrawnSize size = DrawnSizeOf(*pictures[r]);
    const std::string extent = "cx=\"" + std::to_string(size.Width * kEmuPerHundredth) +
                               "\" cy=\"" + std::to_string(size.Height * kEmuPerHundredth) + "\"";
    xml += "<xdr:oneCellAnchor><xdr:from><xdr:col>" + column + "</xdr:col><xdr:colOff>" + margin +
           "</xdr:colOff><xdr:row>" + std::to_string(r) + "</xdr:row><xdr:rowOff>" + margin +
           "</xdr:rowOff></xdr:from><xdr:ext " + extent +
           "/><xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"" + std::to_string(r + 1) +
           "\" name=\"Picture " + number +
           "\"/><xdr:cNvPicPr><a:picLocks noChangeAspect=\"1\"/></xdr:cNvPicPr></xdr:nvPicPr>"
           "<xdr:blipFill><a:blip r:embed=\"rId" +
           number +
           "\"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill><xdr:spPr><a:xfrm>"
           "<a:off x=\"0\" y=\"0\"/><a:ext " +
           extent +
           "/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic>"
           "<xdr:clientData/></xdr:oneCellAnchor>";
  }
  return xml + "</xdr:wsDr>\n";
}

constexpr std::string_view kRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
constexpr std::string_view kRelationshipTypes =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string XlsxPictureName(std::size_t number) {
  return "xl/media/image" + std::to_string(number) + ".jpeg";
}

std::string XlsxDrawingLinks(std::size_t pictures) {
  std::string xml = std::string(kXmlHead) + std::string(kRelationships);
  for (std::size_t number = 1; number <= pictures; ++number) {
    xml += "<Relationship Id=\"rId" + std::to_string(number) + "\" Type=\"" +
           std::string(kRelationshipTypes) + "image\" Target=\"../media/image" +
           std::to_string(number) + ".jpeg\"/>";
  }
  return xml + "</Relationships>\n";
}

std::string XlsxSheetLinks() {
  return std::string(kXmlHead) + std::string(kRelationships) + "<Relationship Id=\"rId1\" Type=\"" +
         std::string(kRelationshipTypes) +
         "drawing\" Target=\"../drawings/drawing1.xml\"/></Relationships>\n";
}

std::string XlsxTypes(bool note, bool pictures) {
  std::string xml =
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\""
      " ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>"
      "<Override PartName=\"/xl/workbook.xml\""
      " ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
  for (int sheet = 1; sheet <= (note ? 2 : 1); ++sheet) {
    xml += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(sheet) +
           ".xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
  }
  if (pictures) {
    xml +=
        "<Override PartName=\"/xl/drawings/drawing1.xml\""
        " ContentType=\"application/vnd.openxmlformats-officedocument.drawing+xml\"/>";
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
                const SheetCells& note, const std::vector<SheetPicture>& pictures) {
  const std::vector<const SheetPicture*> byRow = PicturesByRow(rows, pictures);
  // The pictures in the order of their numbers; JPEG data gains nothing from packing.
  std::vector<const SheetPicture*> shown;
  for (const SheetPicture* picture : byRow) {
    if (picture) shown.push_back(picture);
  }
  switch (form) {
    case SheetForm::Ods: {
      // The type comes first and is stored as it is, so that it can be told by its start.
      std::vector<Part> parts = {{"mimetype", std::string(kOdsType), false},
                                 {"META-INF/manifest.xml", OdsManifest(shown.size())},
                                 {"content.xml", OdsContent(rows, note, byRow)}};
      for (std::size_t k = 0; k < shown.size(); ++k)
        parts.push_back({OdsPictureName(std::to_string(k + 1)), shown[k]->Jpeg, false});
      WriteArchive(file, parts);
      return;
    }
    case SheetForm::Xlsx: {
      const bool withNote = !note.empty();
      const bool withPictures = !shown.empty();
      std::vector<Part> parts = {
          {"[Content_Types].xml", std::string(kXmlHead) + XlsxTypes(withNote, withPictures)},
          {"_rels/.rels", std::string(kXmlHead) + std::string(kXlsxPackageLinks)},
          {"xl/workbook.xml", std::string(kXmlHead) + XlsxWorkbook(withNote)},
          {"xl/_rels/workbook.xml.rels", std::string(kXmlHead) + XlsxWorkbookLinks(withNote)},
          {"xl/worksheets/sheet1.xml", XlsxWorksheet(rows, byRow)}};
      if (withNote) parts.push_back({"xl/worksheets/sheet2.xml", XlsxWorksheet(note)});
      if (withPictures) {
        parts.push_back({"xl/worksheets/_rels/sheet1.xml.rels", XlsxSheetLinks()});
        parts.push_back({"xl/drawings/drawing1.xml", XlsxDrawing(rows, byRow)});
        parts.push_back({"xl/drawings/_rels/drawing1.xml.rels", XlsxDrawingLinks(shown.size())});
        for (std::size_t k = 0; k < shown.size(); ++k)
          parts.push_back({XlsxPictureName(k + 1), shown[k]->Jpeg, false});
      }
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
