// Sheets as spreadsheet programs save them: text in its encodings and separators, ODS and
// XLSX archives, and the bounds that keep a hostile sheet cheap.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>
#include <sstream>

#include "authoring/NumberFormat.h"
#include "authoring/Sheet.h"
#include "authoring/TextSheet.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(ANTHORA_TEST_DATA) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// "ROW: level: text" for each finding, to compare with.
std::vector<std::string> Lines(const Findings& findings) {
  std::vector<std::string> lines;
  for (const Finding& f : findings.All) {
    lines.push_back(std::to_string(f.Line) +
                    (f.Severity == Finding::Level::Error ? ": error: " : ": warning: ") + f.Text);
  }
  return lines;
}

// A zip archive of the named parts, stored or deflated as libzip chooses.
std::string Zip(const std::vector<std::pair<std::string, std::string>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  for (const auto& [name, bytes] : parts) {
    zip_source_t* part = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_file_add(archive, name.c_str(), part, ZIP_FL_OVERWRITE);
  }
  zip_close(archive);
  zip_source_open(buffer);
  zip_source_seek(buffer, 0, SEEK_END);
  std::string out(static_cast<std::size_t>(zip_source_tell(buffer)), '\0');
  zip_source_seek(buffer, 0, SEEK_SET);
  zip_source_read(buffer, out.data(), out.size());
  zip_source_close(buffer);
  zip_source_free(buffer);
  return out;
}

TEST(TextSheet, SeparatorsQuotesLineEndsAndRows) {
  Findings findings;
  const Sheet tabs = ReadTextSheet(
      "\xEF\xBB\xBFpicture\ten\r\n\t\r\n"
      "\"a\tb\"\t\"say \"\"hi\"\"\nthere\"\n"
      "last\tcell",
      "q.tsv", findings);
  EXPECT_THAT(tabs.Rows, ElementsAre(Field(&SheetRow::Row, 1), Field(&SheetRow::Row, 3),
                                     Field(&SheetRow::Row, 4)));
  EXPECT_THAT(tabs.Rows[1].Cells, ElementsAre("a\tb", "say \"hi\"\nthere"));
  // Comma and semicolon from the header; CR alone and CR LF end rows; trailing empties go.
  const Sheet commas = ReadTextSheet("a,\"b;c\",d\r1,2;3,,\r\r\"x,\"\"y\"\"\",", "q.csv", findings);
  EXPECT_THAT(commas.Rows, ElementsAre(Field(&SheetRow::Row, 1), Field(&SheetRow::Row, 2),
                                       Field(&SheetRow::Row, 4)));
  EXPECT_THAT(commas.Rows[0].Cells, ElementsAre("a", "b;c", "d"));
  EXPECT_THAT(commas.Rows[1].Cells, ElementsAre("1", "2;3"));
  EXPECT_THAT(commas.Rows[2].Cells, ElementsAre("x,\"y\""));
  EXPECT_THAT(ReadTextSheet("a;b,c;d\n1;2,3;4", "q.csv", findings).Rows[1].Cells,
              ElementsAre("1", "2,3", "4"));
  EXPECT_THAT(findings.All, IsEmpty());

  EXPECT_THAT(ReadTextSheet("a\n\"open\tcell\n", "q.tsv", findings).Rows, SizeIs(1));
  EXPECT_THAT(Lines(findings), ElementsAre("2: error: a quoted cell has no closing double quote"));
}

TEST(TextSheet, Encodings) {
  Findings findings;
  const std::string_view utf16("\xFE\xFF\0p\0\t\x04\x20\xD8\x3D\xDE\x00\0\n\xD8\x00", 16);
  EXPECT_THAT(ReadTextSheet(utf16, "q.txt", findings).Rows[0].Cells, ElementsAre("p", "Р😀"));
  EXPECT_THAT(
      ReadTextSheet(std::string_view("\xFF\xFE\x00\xDCx", 5), "q.txt", findings).Rows[0].Cells,
      ElementsAre("\uFFFD"));
  EXPECT_THAT(Lines(findings),
              ElementsAre(HasSubstr("1: warning: the sheet ends with a stray byte")));

  // A byte-order mark inside is dropped at its row, not glued to a name.
  findings = {};
  const std::string_view marked(
      "\xFF\xFE"
      "a\0\n\0\xFF\xFE"
      "b\0",
      10);
  EXPECT_THAT(ReadTextSheet(marked, "q.txt", findings).Rows[1].Cells, ElementsAre("b"));
  EXPECT_THAT(Lines(findings), ElementsAre(HasSubstr("2: warning: a byte-order mark inside")));

  // Windows-1251 bytes: read as such, with one warning for the whole sheet.
  findings = {};
  const Sheet cp1251 =
      ReadTextSheet("\xD0\xEE\xE7\xE0;\xCC\xE0\xEA\n\xC0;\xC1\n", "q.csv", findings);
  EXPECT_THAT(cp1251.Rows[0].Cells, ElementsAre("Роза", "Мак"));
  EXPECT_THAT(cp1251.Rows[1].Cells, ElementsAre("А", "Б"));
  EXPECT_THAT(Lines(findings), ElementsAre(HasSubstr("0: warning: the sheet is not UTF-8 text, "
                                                     "so it was read as Windows-1251")));

  // UTF-8 with a stray byte stays UTF-8, the byte left for its cell; a UTF-8 cell in a
  // Windows-1251 sheet is an error at its row, as it would be written back garbled.
  findings = {};
  EXPECT_THAT(ReadTextSheet("Роза\tМак\nDahli\xE9\tЛилия\n", "q.tsv", findings).Rows[1].Cells,
              ElementsAre("Dahli\xE9", "Лилия"));
  EXPECT_THAT(findings.All, IsEmpty());
  EXPECT_THAT(ReadTextSheet("\xD0\xEE\xE7\xE0;\xCC\xE0\xEA\n\xC0;Б\n", "q.csv", findings).Rows,
              SizeIs(2));
  EXPECT_THAT(Lines(findings), ElementsAre(HasSubstr("0: warning: the sheet is not UTF-8"),
                                           HasSubstr("2: error: a cell is UTF-8 text")));
}

TEST(Sheet, EveryFormatASpreadsheetSavesReadsAlike) {
  Findings findings;
  const Sheet reference = ReadSheet(Fixture("sheet.tsv"), "sheet.tsv", findings);
  ASSERT_THAT(reference.Rows, ElementsAre(Field(&SheetRow::Row, 1), Field(&SheetRow::Row, 2),
                                          Field(&SheetRow::Row, 4), Field(&SheetRow::Row, 5)));
  EXPECT_EQ(reference.Rows[2].Cells[2], "Lily; white, \"tall\"");
  EXPECT_THAT(reference.Rows[3].Cells, ElementsAre("rose.jpg", "Tulip", "Rose", "2", "Tulip",
                                                   "Тюльпан", "Роза", "Мак", "Лилия", "30%,40%"));
  for (const char* name :
       {"sheet.ods", "sheet.xlsx", "sheet-comma-utf8.csv", "sheet-semicolon-utf8.csv",
        "sheet-comma-cp1251.csv", "sheet-semicolon-cp1251.csv"}) {
    const Sheet sheet = ReadSheet(Fixture(name), name, findings);
    ASSERT_EQ(sheet.Rows.size(), reference.Rows.size()) << name;
    for (std::size_t i = 0; i < sheet.Rows.size(); ++i) {
      EXPECT_EQ(sheet.Rows[i].Row, reference.Rows[i].Row) << name;
      EXPECT_EQ(sheet.Rows[i].Cells, reference.Rows[i].Cells) << name << " row " << i;
    }
  }
  EXPECT_EQ(findings.Count(Finding::Level::Error), 0);
}

TEST(Sheet, ArchivesReadCellsAsShown) {
  Findings findings;
  const std::string ods = Zip({{"content.xml", R"(<?xml version="1.0"?>
<office:document-content xmlns:office="o" xmlns:table="t" xmlns:text="x"><office:body>
<office:spreadsheet><table:table table:name="Notes"><table:table-row><table:table-cell>
<text:p>no</text:p></table:table-cell></table:table-row></table:table>
<table:table table:name="Questions"><table:table-header-rows><table:table-row>
<table:table-cell table:number-columns-repeated="2"><text:p>a<text:s text:c="2"/>b</text:p>
</table:table-cell><table:covered-table-cell/><table:table-cell><text:p>c</text:p><text:p>d</text:p>
</table:table-cell></table:table-row></table:table-header-rows>
<table:table-row table:number-rows-repeated="1048000"><table:table-cell table:number-columns-repeated="16384"/>
</table:table-row><table:table-row table:number-rows-repeated="2"><table:table-cell>
<text:p><text:span>e</text:span></text:p></table:table-cell></table:table-row>
</table:table></office:spreadsheet></office:body></office:document-content>)"}});
  const Sheet sheet = ReadSheet(ods, "q.ods", findings);
  EXPECT_THAT(sheet.Rows, ElementsAre(Field(&SheetRow::Row, 1), Field(&SheetRow::Row, 1048002),
                                      Field(&SheetRow::Row, 1048003)));
  EXPECT_THAT(sheet.Rows[0].Cells, ElementsAre("a  b", "a  b", "", "c\nd"));
  EXPECT_THAT(sheet.Rows[2].Cells, ElementsAre("e"));

  const std::string xlsx = Zip(
      {{"xl/workbook.xml",
        R"(<workbook xmlns:r="r"><sheets><sheet name="Other" r:id="rId1"/><sheet name="questions" r:id="rId2"/></sheets></workbook>)"},
       {"xl/_rels/workbook.xml.rels",
        R"(<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Target="/xl/worksheets/../worksheets/q.xml"/><Relationship Id="rId3" Type="http://x/sharedStrings" Target="sharedStrings.xml"/></Relationships>)"},
       {"xl/sharedStrings.xml",
        R"(<sst><si><t>one</t></si><si><r><t>tw</t></r><r><t xml:space="preserve">o </t></r><rPh><t>x</t></rPh></si></sst>)"},
       {"xl/worksheets/q.xml",
        R"(<worksheet><sheetData><row r="3"><c r="B3" t="s"><v>1</v></c><c r="D3"><v>2.0000000000000004</v></c><c t="inlineStr"><is><t>in</t></is></c><c r="G3" t="b"><v>1</v></c><c r="H3" t="s"><v>99</v></c></row><row><c t="s"><v>0</v></c></row></sheetData></worksheet>)"}});
  const Sheet workbook = ReadSheet(xlsx, "q.xlsx", findings);
  EXPECT_THAT(workbook.Rows, ElementsAre(Field(&SheetRow::Row, 3), Field(&SheetRow::Row, 4)));
  EXPECT_THAT(workbook.Rows[0].Cells, ElementsAre("", "two ", "", "2", "in", "", "TRUE"));
  EXPECT_THAT(workbook.Rows[1].Cells, ElementsAre("one"));
  EXPECT_THAT(findings.All, IsEmpty());

  // Inline text and numbers need no shared strings; a shared string with none is an error.
  const auto sheetOf = [](const std::string& row) {
    return Zip(
        {{"xl/workbook.xml", R"(<workbook><sheets><sheet name="q" id="r1"/></sheets></workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships><Relationship Id="r1" Target="s.xml"/></Relationships>)"},
         {"xl/s.xml", "<worksheet><sheetData><row>" + row + "</row></sheetData></worksheet>"}});
  };
  EXPECT_THAT(ReadSheet(sheetOf(R"(<c t="inlineStr"><is><t>a</t></is></c><c><v>7</v></c>)"),
                        "q.xlsx", findings)
                  .Rows[0]
                  .Cells,
              ElementsAre("a", "7"));
  EXPECT_THAT(ReadSheet(sheetOf(R"(<c t="s"><v>0</v></c>)"), "q.xlsx", findings).Rows, IsEmpty());
  EXPECT_THAT(Lines(findings), ElementsAre("0: error: cannot be read: it has no part "
                                           "xl/sharedStrings.xml, which holds its text"));
}

TEST(Sheet, XlsxNumbersReadAsTheirFormatsShowThem) {
  Findings findings;
  const Sheet sheet = ReadSheet(Fixture("number-formats.xlsx"), "q.xlsx", findings);
  ASSERT_THAT(sheet.Rows, SizeIs(1));
  // A date shows as General: its number.
  EXPECT_THAT(sheet.Rows[0].Cells, ElementsAre("001", "50%", "12.5%", "1,234,567.89", "3.14", "042",
                                               "2.5", "(7)", "44971"));
  EXPECT_THAT(findings.All, IsEmpty());

  EXPECT_EQ(FormatNumber(7, "00"), "07");
  EXPECT_EQ(FormatNumber(-1234.5, "#,##0"), "-1,235");
  EXPECT_EQ(FormatNumber(2.5, R"(0.0#\ \k\g)"), "2.5 kg");
  EXPECT_EQ(FormatNumber(0.25, "[Blue]0.0%;[Red]-0.0%"), "25.0%");
  EXPECT_EQ(FormatNumber(3, "[$€-407] 0.00"), "€ 3.00");
  EXPECT_EQ(FormatNumber(0, R"(0;-0;\z\e\r\o)"), "zero");
  for (const std::string_view code :
       {"0.00E+00", "# ?/?", "[<10]0;0", "dd/mm", "\"0", "00000000000000000000000000000000"})
    EXPECT_EQ(FormatNumber(1234.5, code), "1234.5") << code;
  EXPECT_EQ(FormatNumber(1e20, "0"), "1e+20");
  EXPECT_EQ(FormatNumber(1, std::string(300, '0')), "1");
}

TEST(Sheet, HostileFilesAreBoundedAndExplained) {
  Findings findings;
  ReadSheet("PK\x03\x04 not really", "q.ods", findings);
  ReadSheet(Zip({{"content.xml", "<a><b></a>"}}), "q.ods", findings);
  ReadSheet(Zip({{"content.xml", std::string(40u << 20, ' ')}}), "q.ods", findings);
  ReadSheet(Zip({{"xl/workbook.xml", "<workbook/>"}}), "q.xlsx", findings);
  // A long cell, of letters that pack as text does, in a row repeated a million times.
  std::string letters(1u << 20, 'a');
  for (std::size_t i = 0, seed = 1; i < letters.size(); ++i, seed = seed * 1103515245 + 12345)
    letters[i] = static_cast<char>('a' + (seed >> 16) % 26);
  const Sheet repeated =
      ReadSheet(Zip({{"content.xml",
                      "<d><body><spreadsheet><table><table-row number-rows-repeated="
                      "\"1000000\"><table-cell><p>" +
                          letters +
                          "</p></table-cell></table-row>"
                          "</table></spreadsheet></body></d>"}}),
                "q.ods", findings);
  EXPECT_THAT(repeated.Rows, SizeIs(kMaxSheetText >> 20));
  EXPECT_THAT(Lines(findings),
              ElementsAre(HasSubstr("0: error: cannot be read: it is not a spreadsheet archive"),
                          HasSubstr("0: error: cannot be read: its part content.xml is not "
                                    "well-formed XML"),
                          HasSubstr("0: error: cannot be read: its part content.xml unpacks to "
                                    "more than 32 MB"),
                          HasSubstr("0: error: cannot be read: it has no part "
                                    "xl/_rels/workbook.xml.rels"),
                          "65: error: the sheet holds more than 64 MB of text, more than any "
                          "set of questions; reading stops here"));

  // 300 columns of text, a million cells, and a row past the last a spreadsheet has.
  findings = {};
  std::string wide;
  for (int i = 0; i < 300; ++i) wide += "x\t";
  EXPECT_THAT(ReadTextSheet(wide, "q.tsv", findings).Rows[0].Cells, SizeIs(kMaxSheetColumns));
  std::string many;
  for (std::size_t i = 0; i <= kMaxSheetCells; ++i) many += "a\n";
  EXPECT_THAT(ReadTextSheet(many, "q.tsv", findings).Rows, SizeIs(kMaxSheetCells));
  EXPECT_THAT(ReadTextSheet(std::string(kMaxSheetRow, '\n') + "a", "q.tsv", findings).Rows,
              IsEmpty());
  EXPECT_THAT(Lines(findings),
              ElementsAre(HasSubstr("1: error: the row has text beyond column 256"),
                          HasSubstr("1000001: error: the sheet holds more than 1000000 cells"),
                          HasSubstr("1048577: error: the sheet goes on beyond row 1048576")));
}

TEST(FindSheet, OneSheetInAnyCaseOrAClearNo) {
  const test::TempDir dir;
  const std::string source = dir.Path().string();
  Findings findings;
  dir.Write("Questions.XLS", "");
  dir.Write("flowers.csv", "");
  dir.Write("notes.txt", "");
  EXPECT_EQ(FindSheet(source, findings), std::nullopt);
  dir.Write("QUESTIONS.Csv", "");
  EXPECT_EQ(FindSheet(source, findings), source + "/QUESTIONS.Csv");
  dir.Write("questions.ods", "");
  EXPECT_EQ(FindSheet(source, findings), std::nullopt);
  EXPECT_THAT(Lines(findings),
              ElementsAre("0: error: no sheet: looked for questions.tsv, questions.csv, "
                          "questions.txt, questions.ods and questions.xlsx, in any letter case; "
                          "found Questions.XLS: save it as .ods, .xlsx or .csv; found "
                          "flowers.csv: name it questions.csv",
                          "0: error: more than one sheet: QUESTIONS.Csv, questions.ods; keep "
                          "only one of them"));
}

}  // namespace
}  // namespace anthora
