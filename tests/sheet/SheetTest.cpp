// Sheets as spreadsheet programs save them: text in its encodings and separators, ODS and
// XLSX archives, and the bounds that keep a hostile sheet cheap.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "sheet/NumberFormat.h"
#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"
#include "sheet/TextSheet.h"
#include "support/TempDir.h"
#include "support/ZipBytes.h"

namespace anthora {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

std::string Fixture(const std::string& name) {
  return test::ReadFile(std::string(ANTHORA_TEST_DATA) + "/" + name);
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

// A zip archive of the named parts.
std::string Zip(const std::vector<std::pair<std::string, std::string>>& parts) {
  return test::ZipBytes(test::ZipParts(parts));
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

  // Without a byte-order mark, UTF-16 is told by the zero bytes of its ASCII characters.
  for (const char* encoding : {"UTF-16LE", "UTF-16BE"}) {
    std::string bytes;
    for (const char16_t c : std::u16string_view(u"picture\ten\nроза.jpg\tРоза\n")) {
      const char pair[2] = {static_cast<char>(c & 0xff), static_cast<char>(c >> 8)};
      bytes += std::string_view(encoding).ends_with("LE") ? std::string{pair[0], pair[1]}
                                                          : std::string{pair[1], pair[0]};
    }
    const Sheet sheet = ReadTextSheet(bytes, "q.txt", findings);
    ASSERT_THAT(sheet.Rows, SizeIs(2)) << encoding;
    EXPECT_THAT(sheet.Rows[1].Cells, ElementsAre("роза.jpg", "Роза")) << encoding;
  }

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
        R"(<worksheet><sheetData><row r="3"><c r="B3" t="s"><v>1</v></c><c r="D3"><v>2.0000000000000004</v></c><c t="inlineStr"><is><t>in</t></is></c><c r="G3" t="b"><v>1</v></c></row><row><c t="s"><v>0</v></c></row></sheetData></worksheet>)"}});
  const Sheet workbook = ReadSheet(xlsx, "q.xlsx", findings);
  EXPECT_THAT(workbook.Rows, ElementsAre(Field(&SheetRow::Row, 3), Field(&SheetRow::Row, 4)));
  EXPECT_THAT(workbook.Rows[0].Cells, ElementsAre("", "two ", "", "2", "in", "", "TRUE"));
  EXPECT_THAT(workbook.Rows[1].Cells, ElementsAre("one"));
  EXPECT_THAT(findings.All, IsEmpty());
}

// A workbook found through the package's relationships wherever it lies, with backslashes and
// percent escapes in its part names, no shared strings, its first sheet hidden and the format's
// escapes in its text.
TEST(Sheet, XlsxAsProgramsAndLibrariesWriteIt) {
  const auto workbook = [](const std::string& cells, const std::string& strings = "") {
    std::vector<std::pair<std::string, std::string>> parts = {
        {"_rels\\.rels",
         R"(<Relationships><Relationship Id="a" Type="http://x/metadata/core-properties" Target="c.xml"/><Relationship Id="b" Type="http://x/relationships/officeDocument" Target="/book/main.xml"/></Relationships>)"},
        {"book\\main.xml",
         R"(<workbook><workbookPr date1904="1"/><sheets><sheet name="Old" state="hidden" id="r1"/><sheet name="Shown" id="r2"/></sheets></workbook>)"},
        {"book\\_rels\\main.xml.rels",
         R"(<Relationships><Relationship Id="r1" Target="old.xml"/><Relationship Id="r2" Target="sheets\my%20s%2.xml"/><Relationship Id="r3" Type="http://x/styles" Target="styles.xml"/><Relationship Id="r4" Type="http://x/sharedStrings" Target="text.xml"/></Relationships>)"},
        {"book/styles.xml",
         R"(<styleSheet><numFmts><numFmt numFmtId="200" formatCode="d mmmm yyyy"/></numFmts><cellXfs><xf numFmtId="0"/><xf numFmtId="200"/></cellXfs></styleSheet>)"},
        {"book/old.xml", "<worksheet/>"},
        {"book/sheets/my s%2.xml",
         "<worksheet><sheetData><row>" + cells + "</row></sheetData></worksheet>"}};
    if (!strings.empty()) parts.push_back({"book/text.xml", "<sst>" + strings + "</sst>"});
    return Zip(parts);
  };
  Findings findings;
  EXPECT_THAT(
      ReadSheet(
          workbook(
              R"(<c t="inlineStr"><is><t>A_x000D__x000a_B _x005F_x000D_ _xD83C__xDF37_ _x12_</t></is></c><c s="1"><v>44000</v></c>)"),
          "q.xlsx", findings)
          .Rows[0]
          .Cells,
      ElementsAre("A\r\nB _x000D_ 🌷 _x12_", "19 June 2024"));
  EXPECT_THAT(findings.All, IsEmpty());

  // A cell that names shared text the workbook lacks: the workbook is damaged, at that cell.
  const std::string text = "<si><t>only</t></si>";
  EXPECT_THAT(
      ReadSheet(workbook(R"(<c t="s"><v>0</v></c>)", text), "q.xlsx", findings).Rows[0].Cells,
      ElementsAre("only"));
  for (const char* index : {"1", "-1", "1e3"})
    ReadSheet(workbook(std::string(R"(<c/><c t="s"><v>)") + index + "</v></c>", text), "q.xlsx",
              findings);
  ReadSheet(workbook(R"(<c t="s"><v>0</v></c>)"), "q.xlsx", findings);
  EXPECT_THAT(
      Lines(findings),
      ElementsAre(
          "1: error: cannot be read: the workbook is damaged: cell B1 names shared text "
          "'1', but there are 1",
          HasSubstr("cell B1 names shared text '-1'"), HasSubstr("shared text '1e3'"),
          "1: error: cannot be read: it has no part 'book/text.xml', which holds its text"));
}

// Each workbook kept here, ours and other projects' (with their licences), reads cell by cell as
// LibreOffice reads it; its reading is kept beside it as NAME.libreoffice.csv (UTF-8, commas,
// cells as shown), so that no LibreOffice is needed.
TEST(Sheet, WorkbooksReadAsLibreOfficeReadsThem) {
  constexpr std::string_view kReading = ".libreoffice.csv";
  int compared = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ANTHORA_TEST_DATA)) {
    const std::string reading = entry.path().lexically_relative(ANTHORA_TEST_DATA).generic_string();
    if (!reading.ends_with(kReading)) continue;
    const std::string workbook = reading.substr(0, reading.size() - kReading.size());
    Findings findings;
    const Sheet read = ReadSheet(Fixture(workbook), workbook, findings);
    const Sheet expected = ReadSheet(Fixture(reading), "q.csv", findings);
    EXPECT_THAT(findings.All, IsEmpty()) << workbook;
    ASSERT_EQ(read.Rows.size(), expected.Rows.size()) << workbook;
    for (std::size_t i = 0; i < read.Rows.size(); ++i) {
      EXPECT_EQ(read.Rows[i].Row, expected.Rows[i].Row) << workbook;
      EXPECT_EQ(read.Rows[i].Cells, expected.Rows[i].Cells) << workbook << " row " << i + 1;
    }
    ++compared;
  }
  EXPECT_GE(compared, 11);
}

// Text made only of blanks is a piece of the cell like any other: a space between words
// formatted apart, the format's own spaces, tabs and line breaks, and a text cell with no value.
TEST(Sheet, ArchivesKeepEveryBlank) {
  const auto ods = [](const std::string& paragraph) {
    return Zip({{"content.xml", "<d><body><spreadsheet><table><table-row><table-cell>" + paragraph +
                                    "</table-cell></table-row></table></spreadsheet></body></d>"}});
  };
  const auto xlsx = [](const std::string& item, const std::string& cells = "") {
    return Zip(
        {{"xl/workbook.xml", R"(<workbook><sheets><sheet name="q" id="r1"/></sheets></workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships><Relationship Id="r1" Target="s.xml"/><Relationship Id="r2" Type="x/sharedStrings" Target="t.xml"/></Relationships>)"},
         {"xl/t.xml", "<sst><si>" + item + "</si></sst>"},
         {"xl/s.xml", R"(<worksheet><sheetData><row><c t="s"><v>0</v></c>)" + cells +
                          "</row></sheetData></worksheet>"}});
  };
  const struct {
    std::string File, Name, Cell;
  } cases[] = {
      {ods("<p><span>Red</span><span> </span><span>clover</span></p>"), "q.ods", "Red clover"},
      {ods("<p>Red<span> </span>clover</p>"), "q.ods", "Red clover"},
      {ods("<p>a <s/> <s c=\"2\"/>b<tab/>c<line-break/>d</p><p>  </p>"), "q.ods",
       "a     b\tc\nd\n  "},
      {ods("<p>\n  <span>x</span>\n</p>"), "q.ods", "\n  x\n"},
      {xlsx(R"(<r><t>test3</t></r><r><t xml:space="preserve"> </t></r><r><t>aaa</t></r>)"),
       "q.xlsx", "test3 aaa"},
      {xlsx(R"(<t xml:space="preserve">  two  </t>)"), "q.xlsx", "  two  "},
      {xlsx("<t>a</t>", R"(<c t="s"><v/></c><c t="s"/><c t="s"><v>0</v></c>)"), "q.xlsx", "a"},
  };
  for (const auto& c : cases) {
    Findings findings;
    const Sheet sheet = ReadSheet(c.File, c.Name, findings);
    EXPECT_THAT(findings.All, IsEmpty()) << c.Cell;
    ASSERT_THAT(sheet.Rows, SizeIs(1)) << c.Cell;
    EXPECT_EQ(sheet.Rows[0].Cells[0], c.Cell);
    if (sheet.Rows[0].Cells.size() > 1) {
      EXPECT_THAT(sheet.Rows[0].Cells, ElementsAre("a", "", "", "a"));
    }
  }
}

// An empty sheet read from a workbook whose other sheets hold text is named, so that the
// teacher sees which one was read.
TEST(Sheet, AnEmptySheetAmongOthersIsNamed) {
  const std::string ods = Zip(
      {{"content.xml",
        "<d><body><spreadsheet><table name=\"Notes\"><table-row><table-cell/></table-row></table>"
        "<table name=\"Data\"><table-row><table-cell><p>picture</p></table-cell></table-row>"
        "</table></spreadsheet></body></d>"}});
  const auto xlsx = [](const std::string& other) {
    return Zip(
        {{"xl/workbook.xml",
          R"(<workbook><sheets><sheet name="Notes" id="r1"/><sheet name="Data" id="r2"/></sheets></workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships><Relationship Id="r1" Target="a.xml"/><Relationship Id="r2" Target="b.xml"/></Relationships>)"},
         {"xl/a.xml", "<worksheet><sheetData/></worksheet>"},
         {"xl/b.xml", "<worksheet><sheetData><row>" + other + "</row></sheetData></worksheet>"}});
  };
  std::vector<std::string> lines;
  for (const auto& [bytes, name] : {std::pair{ods, "q.ods"},
                                    {xlsx(R"(<c t="inlineStr"><is><t>x</t></is></c>)"), "q.xlsx"},
                                    {xlsx("<c><v/></c>"), "q.xlsx"}}) {
    Findings findings;
    ReadQuestionTable(ReadSheet(bytes, name, findings), findings);
    for (const std::string& line : Lines(findings)) lines.push_back(line);
  }
  EXPECT_THAT(lines, ElementsAre("0: error: the sheet 'Notes', which was read, is empty, but other "
                                 "sheets of the workbook hold text; name the sheet of questions "
                                 "'questions'",
                                 HasSubstr("the sheet 'Notes', which was read"),
                                 "0: error: the sheet is empty; its first row names the columns"));
}

// Elements nested hundreds of thousands deep are read without exhausting the stack.
TEST(Sheet, DeepNestingIsReadWithoutRecursion) {
  const auto nested = [](const std::string& open, const std::string& inside,
                         const std::string& close) {
    constexpr int kDepth = 300'000;
    std::string xml;
    for (int i = 0; i < kDepth; ++i) xml += open;
    xml += inside;
    for (int i = 0; i < kDepth; ++i) xml += close;
    return xml;
  };
  // Stored as they are: packed, such parts are refused before they are read.
  const auto stored = [](const std::vector<std::pair<std::string, std::string>>& parts) {
    std::vector<test::ZipPart> zipped = test::ZipParts(parts);
    for (test::ZipPart& part : zipped) part.Stored = true;
    return test::ZipBytes(zipped);
  };
  Findings findings;
  const Sheet xlsx = ReadSheet(
      stored(
          {{"xl/workbook.xml",
            R"(<workbook><sheets><sheet name="q" id="r1"/></sheets></workbook>)"},
           {"xl/_rels/workbook.xml.rels",
            R"(<Relationships><Relationship Id="r1" Target="s.xml"/><Relationship Id="r2" Type="x/sharedStrings" Target="t.xml"/></Relationships>)"},
           {"xl/t.xml",
            "<sst><si><t>top</t>" + nested("<r>", "<t>deep</t>", "</r>") + "</si></sst>"},
           {"xl/s.xml",
            R"(<worksheet><sheetData><row><c t="s"><v>0</v></c></row></sheetData></worksheet>)"}}),
      "q.xlsx", findings);
  ASSERT_THAT(xlsx.Rows, SizeIs(1)) << testing::PrintToString(Lines(findings));
  EXPECT_THAT(xlsx.Rows[0].Cells, ElementsAre("top"));  // runs hold no runs

  const auto ods = [&](const std::string& table) {
    return stored({{"content.xml", "<d><body><spreadsheet><table>" + table +
                                       "</table></spreadsheet></body></d>"}});
  };
  const Sheet spans =
      ReadSheet(ods("<table-row><table-cell><p>a" + nested("<span>", "deep", "</span>") +
                    "</p></table-cell></table-row>"),
                "q.ods", findings);
  ASSERT_THAT(spans.Rows, SizeIs(1)) << testing::PrintToString(Lines(findings));
  EXPECT_THAT(spans.Rows[0].Cells, ElementsAre("adeep"));
  const Sheet groups = ReadSheet(
      ods(nested("<table-row-group>", "<table-row><table-cell><p>x</p></table-cell></table-row>",
                 "</table-row-group>") +
          "<table-row><table-cell><p>y</p></table-cell></table-row>"),
      "q.ods", findings);
  EXPECT_THAT(groups.Rows, ElementsAre(Field(&SheetRow::Row, 1), Field(&SheetRow::Row, 2)));
  EXPECT_THAT(findings.All, IsEmpty());
}

// The first sheet shown is read when the first one is hidden; "questions" is read wherever it is.
TEST(Sheet, OdsHiddenSheetsAreSkipped) {
  const auto ods = [](const std::string& tables) {
    return Zip(
        {{"content.xml",
          R"(<d><automatic-styles><style name="ta1"><table-properties display="true"/></style><style name="ta2"><table-properties display="false"/></style></automatic-styles><body><spreadsheet>)" +
              tables + "</spreadsheet></body></d>"}});
  };
  const auto table = [](const std::string& attributes, const std::string& text) {
    return "<table " + attributes + "><table-row><table-cell><p>" + text +
           "</p></table-cell></table-row></table>";
  };
  Findings findings;
  EXPECT_THAT(
      ReadSheet(ods(table(R"(style-name="ta2")", "hidden") + table(R"(style-name="ta1")", "shown")),
                "q.ods", findings)
          .Rows[0]
          .Cells,
      ElementsAre("shown"));
  EXPECT_THAT(ReadSheet(ods(table(R"(style-name="ta1")", "shown") +
                            table(R"(name="Questions" style-name="ta2")", "named")),
                        "q.ods", findings)
                  .Rows[0]
                  .Cells,
              ElementsAre("named"));
  EXPECT_THAT(findings.All, IsEmpty());
}

TEST(Sheet, XlsxNumbersReadAsTheirFormatsShowThem) {
  Findings findings;
  const Sheet sheet = ReadSheet(Fixture("number-formats.xlsx"), "q.xlsx", findings);
  ASSERT_THAT(sheet.Rows, SizeIs(1));
  EXPECT_THAT(sheet.Rows[0].Cells, ElementsAre("001", "50%", "12.5%", "1,234,567.89", "3.14", "042",
                                               "2.5", "(7)", "2023-02-14"));
  EXPECT_THAT(findings.All, IsEmpty());

  EXPECT_EQ(FormatNumber(7, "00"), "07");
  EXPECT_EQ(FormatNumber(-1234.5, "#,##0"), "-1,235");
  EXPECT_EQ(FormatNumber(2.5, R"(0.0#\ \k\g)"), "2.5 kg");
  EXPECT_EQ(FormatNumber(0.25, "[Blue]0.0%;[Red]-0.0%"), "25.0%");
  EXPECT_EQ(FormatNumber(3, "[$€-407] 0.00"), "€ 3.00");
  EXPECT_EQ(FormatNumber(0, R"(0;-0;\z\e\r\o)"), "zero");
  for (const std::string_view code : {"[<10]0;0", "\"0", "00000000000000000000000000000000"})
    EXPECT_EQ(FormatNumber(1234.5, code), "1234.5") << code;
  // Scientific and fraction forms, as LibreOffice shows them.
  const struct {
    double Value;
    std::string_view Code, Shown;
  } shown[] = {
      {1234.5, "0.00E+00", "1.23E+03"},
      {0.001234, "0.00E+00", "1.23E-03"},
      {0, "0.00E+00", "0.00E+00"},
      {-1234.5, "0.00E+00", "-1.23E+03"},
      {45678, "0.00E-00", "4.57E04"},
      {45678, "0.0E+0", "4.6E+4"},
      {45678, "##0.0E+0", "45.7E+3"},
      {0.5, "##0.0E+0", "500.0E-3"},
      {1e-7, "##0.0E+0", "100.0E-9"},
      {9.999, "0.00E+00", "1.00E+01"},
      {1234.5, "# ?/?", "1234 1/2"},
      {2.75, "# ?/?", "2 3/4"},
      {0.5, "# ?/?", " 1/2"},
      {45678, "# ?/?", "45678    "},
      {-1234.5, "# ?/?", "-1234 1/2"},
      {1234.5,
       "# ?"
       "?/?"
       "?",
       "1234  1/2 "},
      {2.75, "?/?", "11/4"},
      {0, "?/?", "0/1"},
      {1234.5, "# ?/8", "1234 4/8"},
      {2.75, "[Red]# ?/?", "2 3/4"},
      {45678, "[Red]dd/mm/yyyy", "21/01/2025"},
      {45678, "[Color12]yyyy", "2025"},
  };
  for (const auto& c : shown) EXPECT_EQ(FormatNumber(c.Value, c.Code), c.Shown) << c.Code;
  EXPECT_EQ(FormatNumber(1e20, "0"), "1e+20");

  // Dates and times of serial day numbers, from 1900 or from 1904.
  EXPECT_EQ(FormatNumber(45678, BuiltInNumberFormat(14)), "2025-01-21");
  EXPECT_EQ(FormatNumber(45678.75, "dddd d mmm yy, h:mm AM/PM"), "Tuesday 21 Jan 25, 6:00 PM");
  EXPECT_EQ(FormatNumber(45678.5, R"(dd/mm/yyyy hh:mm:ss)"), "21/01/2025 12:00:00");
  EXPECT_EQ(FormatNumber(1.5, "[h]:mm"), "36:00");
  EXPECT_EQ(FormatNumber(0.0104166, "mm:ss"), "15:00");
  EXPECT_EQ(FormatNumber(60, "yyyy-mm-dd"), "1900-02-29");
  EXPECT_EQ(FormatNumber(61, "yyyy-mm-dd"), "1900-03-01");
  EXPECT_EQ(FormatNumber(0, "yyyy-mm-dd", true), "1904-01-01");
  EXPECT_EQ(FormatNumber(-1, "yyyy-mm-dd"), "-1");
  EXPECT_EQ(FormatNumber(1e9, "yyyy-mm-dd"), "1000000000");
  EXPECT_EQ(FormatNumber(1, std::string(300, '0')), "1");
}

TEST(Sheet, HostileFilesAreBoundedAndExplained) {
  Findings findings;
  ReadSheet("PK\x03\x04 not really", "q.ods", findings);
  ReadSheet(Zip({{"content.xml", "<a><b></a>"}}), "q.ods", findings);
  ReadSheet(Zip({{"content.xml", std::string(40u << 20, ' ')}}), "q.ods", findings);
  ReadSheet(Zip({{"xl/workbook.xml", "<workbook/>"}}), "q.xlsx", findings);
  // Saved with a password.
  ReadSheet(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(500, '\0'), "q.xlsx",
            findings);
  ReadSheet(Zip({{"META-INF/manifest.xml",
                  "<manifest><file-entry full-path=\"content.xml\"><encryption-data "
                  "checksum=\"x\"/></file-entry></manifest>"},
                 {"content.xml", "\x91\x02garbled"}}),
            "q.ods", findings);
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
                          HasSubstr("0: error: cannot be read: 'content.xml' is not "
                                    "well-formed XML"),
                          HasSubstr("0: error: cannot be read: 'content.xml' unpacks to "
                                    "more than 200 times its packed size"),
                          HasSubstr("0: error: cannot be read: it has no part "
                                    "'xl/_rels/workbook.xml.rels'"),
                          "0: error: cannot be read: it is protected by a password (or saved in "
                          "an old format): open it and save it again without a password, as "
                          ".xlsx or .ods",
                          "0: error: cannot be read: it is protected by a password: open it and "
                          "save it again without a password",
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

// A link to a sheet elsewhere would bring text from outside into the set, as a photo would.
TEST(FindSheet, ALinkToASheetOutsideTheFolderIsRefused) {
  const test::TempDir dir;
  const std::string outside = dir.Write("secret.csv", "picture,en\n");
  dir.Write("source/rose.jpg", "");
  const std::string source = (dir.Path() / "source").string();
  Findings findings;
  std::filesystem::create_symlink(outside, source + "/questions.csv");
  EXPECT_EQ(FindSheet(source, findings), std::nullopt);
  std::filesystem::remove(source + "/questions.csv");
  std::filesystem::create_symlink("rose.jpg", source + "/questions.csv");
  EXPECT_EQ(FindSheet(source, findings), source + "/questions.csv");
  EXPECT_THAT(Lines(findings), ElementsAre("0: error: is a link to a file outside the source "
                                           "folder; the sheet must be in it, as its photos must"));
}

TEST(FindSheet, OneSheetInAnyCaseOrAClearNo) {
  const test::TempDir dir;
  const std::string source = dir.Path().string();
  Findings findings;
  dir.Write("Questions.XLS", "");
  dir.Write("flowers.csv", "");
  dir.Write("notes.txt", "");
  dir.Write("~$questions.xlsx", "");  // a spreadsheet program's lock files are no sheets
  dir.Write(".~lock.questions.ods#", "");
  EXPECT_EQ(FindSheet(source, findings), std::nullopt);
  dir.Write("QUESTIONS.Csv", "");
  EXPECT_EQ(FindSheet(source, findings), source + "/QUESTIONS.Csv");
  EXPECT_THAT(Lines(findings),
              ElementsAre("0: error: no sheet: looked for questions.tsv, questions.csv, "
                          "questions.txt, questions.ods and questions.xlsx, in any letter case; "
                          "found Questions.XLS: save it as .ods, .xlsx or .csv; found "
                          "flowers.csv: name it questions.csv"));
}

// A sheet the builder wrote and the one the teacher saved from it: the one saved last is read,
// and the report says which; two saved at once cannot be told apart.
TEST(FindSheet, OfSeveralSheetsTheOneSavedLast) {
  const test::TempDir dir;
  const std::string source = dir.Path().string();
  const auto saved = std::filesystem::file_time_type::clock::now();
  for (const auto& [name, age] : {std::pair{"questions.tsv", 2}, std::pair{"Questions.ods", 1},
                                  std::pair{"questions.xlsx", 3}}) {
    std::filesystem::last_write_time(dir.Write(name, ""), saved - std::chrono::hours(age));
  }
  Findings findings;
  EXPECT_EQ(FindSheet(source, findings), source + "/Questions.ods");
  std::filesystem::last_write_time(source + "/questions.tsv", saved - std::chrono::hours(1));
  EXPECT_EQ(FindSheet(source, findings), std::nullopt);
  EXPECT_THAT(Lines(findings),
              ElementsAre("0: warning: more than one sheet: read Questions.ods, the one saved "
                          "last; left alone: questions.tsv, questions.xlsx",
                          "0: error: more than one sheet, saved at the same time: Questions.ods, "
                          "questions.tsv, questions.xlsx; keep only one of them"));
}

}  // namespace
}  // namespace anthora
