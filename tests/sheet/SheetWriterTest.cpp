// Sheets this program writes: every form reads back through the sheet readers to the same rows,
// and LibreOffice, when installed, reads the archive forms to the same cells.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <sstream>
#include <tuple>

#include "runtime/files/SafeWrite.h"
#include "runtime/files/ZipArchive.h"
#include "sheet/Sheet.h"
#include "sheet/SheetWriter.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Cells that each form has its own way to keep: separators, quotes, markup, runs of spaces and
// spaces at either end, tabs, the workbook's own escapes, Cyrillic, and empty cells between.
const SheetCells kRows = {
    {"picture", "en", "en_wrong1", "ru", "crop"},
    {"rose.jpg", "Rose", "", "Роза", "50.5%,20%"},
    {"extra/a  b .jpg", " lead", "a,b;c", "\"quoted\" 'and' it's", "x y"},
    {"t & <p>.png", "_x0041_ stays", "", "", "05"},
    {"=1+1.jpg", "+1", "-2", "@3", "=HYPERLINK(\"http://x\";\"y\")"},
    {"last.jpg"},
};

// The rows as a reader gives them: numbered from 1, with empty cells at the end left out.
std::vector<std::vector<std::string>> Expected(const SheetCells& rows) {
  std::vector<std::vector<std::string>> expected;
  for (auto row : rows) {
    while (!row.empty() && row.back().empty()) row.pop_back();
    expected.push_back(row);
  }
  return expected;
}

std::string Written(const test::TempDir& dir, const std::string& name, SheetForm form,
                    const SheetCells& note = {}) {
  const std::string path = (dir.Path() / name).string();
  AtomicFile file(path, false);
  WriteSheet(file, kRows, form, note);
  file.Commit();
  return path;
}

TEST(SheetWriter, EveryFormReadsBackToTheSameRows) {
  const test::TempDir dir;
  for (const auto& [name, form] : {std::pair{"q.ods", SheetForm::Ods},
                                   {"q.xlsx", SheetForm::Xlsx},
                                   {"q.csv", SheetForm::Csv},
                                   {"q.tsv", SheetForm::Tsv}}) {
    ASSERT_EQ(SheetFormOf(name), form);
    Findings findings;
    const Sheet sheet = ReadSheet(Contents(Written(dir, name, form)), name, findings);
    EXPECT_THAT(findings.All, IsEmpty()) << name;
    std::vector<std::vector<std::string>> cells;
    for (std::size_t i = 0; i < sheet.Rows.size(); ++i) {
      EXPECT_EQ(sheet.Rows[i].Row, static_cast<int>(i) + 1) << name;
      cells.push_back(sheet.Rows[i].Cells);
    }
    EXPECT_EQ(cells, Expected(kRows)) << name;
  }
  // What XML cannot hold is left out of the archive forms, which stay well-formed.
  for (const auto& [name, form] :
       {std::pair{"bad.ods", SheetForm::Ods}, {"bad.xlsx", SheetForm::Xlsx}}) {
    const std::string path = (dir.Path() / name).string();
    AtomicFile file(path, false);
    WriteSheet(file,
               {{"a\xEF\xBF\xBE"
                 "b\xEF\xBF\xBF\x01"}},
               form);
    file.Commit();
    Findings findings;
    const Sheet sheet = ReadSheet(Contents(path), name, findings);
    EXPECT_THAT(findings.All, IsEmpty()) << name;
    ASSERT_EQ(sheet.Rows.size(), 1u) << name;
    EXPECT_EQ(sheet.Rows[0].Cells, std::vector<std::string>{"ab"}) << name;
  }
  EXPECT_EQ(SheetFormOf("QUESTIONS.XLSX"), SheetForm::Xlsx);
  EXPECT_EQ(SheetFormOf("questions.txt"), std::nullopt);
  EXPECT_EQ(SheetFormOf("questions"), std::nullopt);
}

// A note goes on a sheet of its own in the archive forms, and the questions are still what is
// read.
TEST(SheetWriter, ANoteIsNeverReadAsTheQuestions) {
  const test::TempDir dir;
  const SheetCells note = {{"Only the names"}, {"are needed"}};
  for (const auto& [name, form, part] :
       {std::tuple{"q.ods", SheetForm::Ods, "content.xml"},
        std::tuple{"q.xlsx", SheetForm::Xlsx, "xl/worksheets/sheet2.xml"}}) {
    const std::string path = Written(dir, name, form, note);
    Findings findings;
    const Sheet sheet = ReadSheet(Contents(path), name, findings);
    EXPECT_THAT(findings.All, IsEmpty()) << name;
    ASSERT_THAT(sheet.Rows, SizeIs(kRows.size())) << name;
    EXPECT_EQ(sheet.Rows[0].Cells, kRows[0]) << name;
    ZipArchive archive = ZipArchive::OpenFile(path, 1 << 20);
    const ZipEntry* written = archive.Find(part);
    ASSERT_NE(written, nullptr) << name;
    EXPECT_THAT(archive.Read(*written), HasSubstr("are needed")) << name;
  }
}

// Pictures on rows of the questions: every part they need is in the package and points at the
// next, and the readers give the same rows as without them. The row given none, one outside the
// rows and one without bytes show nothing.
TEST(SheetWriter, PicturesAreShownBesideTheirRowsAndNeverRead) {
  const test::TempDir dir;
  const std::vector<SheetPicture> pictures = {{1, "first", 96, 96},
                                              {3, "second", 96, 48},
                                              {3, "twice", 96, 96},
                                              {kRows.size(), "outside", 96, 96},
                                              {2, "", 96, 96}};
  struct Form {
    const char* Name;
    SheetForm Kind;
    const char* FirstPicture;
    const char* SecondPicture;
  };
  for (const Form& form :
       {Form{"p.ods", SheetForm::Ods, "Pictures/1.jpg", "Pictures/2.jpg"},
        Form{"p.xlsx", SheetForm::Xlsx, "xl/media/image1.jpeg", "xl/media/image2.jpeg"}}) {
    const std::string path = (dir.Path() / form.Name).string();
    AtomicFile file(path, false);
    WriteSheet(file, kRows, form.Kind, {{"a note"}}, pictures);
    file.Commit();
    Findings findings;
    const Sheet sheet = ReadSheet(Contents(path), form.Name, findings);
    EXPECT_THAT(findings.All, IsEmpty()) << form.Name;
    std::vector<std::vector<std::string>> cells;
    for (const SheetRow& row : sheet.Rows) cells.push_back(row.Cells);
    EXPECT_EQ(cells, Expected(kRows)) << form.Name;

    ZipArchive archive = ZipArchive::OpenFile(path, 1 << 20);
    const auto part = [&](const std::string& name) {
      const ZipEntry* entry = archive.Find(name);
      return entry ? archive.Read(*entry) : "(missing " + name + ")";
    };
    EXPECT_EQ(part(form.FirstPicture), "first") << form.Name;
    EXPECT_EQ(part(form.SecondPicture), "second") << form.Name;
    EXPECT_EQ(archive.Find(form.Kind == SheetForm::Ods ? "Pictures/3.jpg" : "xl/media/image3.jpeg"),
              nullptr);
    // Each picture in the column after the widest row (F), on rows 2 and 4, drawn 1.9 cm on
    // its long side.
    pugi::xml_document xml;
    if (form.Kind == SheetForm::Ods) {
      ASSERT_TRUE(xml.load_string(part("META-INF/manifest.xml").c_str()));
      for (const char* picture : {form.FirstPicture, form.SecondPicture}) {
        EXPECT_TRUE(xml.select_node((std::string("//manifest:file-entry[@manifest:full-path='") +
                                     picture + "' and @manifest:media-type='image/jpeg']")
                                        .c_str()))
            << picture;
      }
      ASSERT_TRUE(xml.load_string(part("content.xml").c_str()));
      const pugi::xpath_node_set frames = xml.select_nodes("//draw:frame");
      ASSERT_EQ(frames.size(), 2u);
      for (const auto& [k, cell, href, height] :
           {std::tuple{0, "questions.F2", "Pictures/1.jpg", "19.00mm"},
            std::tuple{1, "questions.F4", "Pictures/2.jpg", "9.50mm"}}) {
        const pugi::xml_node frame = frames[k].node();
        EXPECT_STREQ(frame.attribute("table:end-cell-address").value(), cell);
        EXPECT_STREQ(frame.attribute("svg:width").value(), "19.00mm");
        EXPECT_STREQ(frame.attribute("svg:height").value(), height);
        EXPECT_STREQ(frame.child("draw:image").attribute("xlink:href").value(), href);
        // Anchored to the sixth cell of its row, which is made tall enough.
        const pugi::xml_node row = frame.parent().parent();
        EXPECT_EQ(std::distance(row.begin(), row.end()), 6) << cell;
        EXPECT_STREQ(row.attribute("table:style-name").value(), "ro1") << cell;
      }
    } else {
      ASSERT_TRUE(xml.load_string(part("[Content_Types].xml").c_str()));
      EXPECT_TRUE(xml.select_node("//*[@Extension='jpeg' and @ContentType='image/jpeg']"));
      EXPECT_TRUE(xml.select_node("//*[@PartName='/xl/drawings/drawing1.xml']"));
      ASSERT_TRUE(xml.load_string(part("xl/worksheets/sheet1.xml").c_str()));
      // Kept as text: the document is loaded anew below.
      const std::string drawing = xml.document_element().child("drawing").attribute("r:id").value();
      EXPECT_STREQ(xml.select_node("//row[@r='4']").node().attribute("ht").value(), "60");
      EXPECT_FALSE(xml.select_node("//row[@r='3']").node().attribute("ht"));
      ASSERT_TRUE(xml.load_string(part("xl/worksheets/_rels/sheet1.xml.rels").c_str()));
      EXPECT_EQ(std::string("../drawings/drawing1.xml"),
                xml.select_node(("//*[@Id='" + drawing + "']").c_str())
                    .node()
                    .attribute("Target")
                    .value());
      ASSERT_TRUE(xml.load_string(part("xl/drawings/drawing1.xml").c_str()));
      pugi::xml_document links;
      ASSERT_TRUE(links.load_string(part("xl/drawings/_rels/drawing1.xml.rels").c_str()));
      const pugi::xpath_node_set anchors = xml.select_nodes("//xdr:oneCellAnchor");
      ASSERT_EQ(anchors.size(), 2u);
      for (const auto& [k, row, target, height] :
           {std::tuple{0, "1", "../media/image1.jpeg", "684000"},
            std::tuple{1, "3", "../media/image2.jpeg", "342000"}}) {
        const pugi::xml_node anchor = anchors[k].node();
        EXPECT_STREQ(anchor.child("xdr:from").child_value("xdr:col"), "5");
        EXPECT_STREQ(anchor.child("xdr:from").child_value("xdr:row"), row);
        EXPECT_STREQ(anchor.child("xdr:ext").attribute("cy").value(), height);
        const std::string id = anchor.select_node(".//a:blip").node().attribute("r:embed").value();
        EXPECT_STREQ(
            links.select_node(("//*[@Id='" + id + "']").c_str()).node().attribute("Target").value(),
            target);
      }
    }
  }
}

TEST(SheetWriter, NeverWritesOverAFile) {
  const test::TempDir dir;
  const std::string path = dir.Write("q.ods", "mine");
  EXPECT_THROW(Written(dir, "q.ods", SheetForm::Ods), WriteError);
  EXPECT_EQ(Contents(path), "mine");
}

// Every form as a spreadsheet program reads it, compared with the rows written: a name that
// looks like a formula stays text in the text forms too.
TEST(SheetWriter, LibreOfficeReadsEveryForm) {
  if (std::system("command -v libreoffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  const test::TempDir dir;
  for (const auto& [name, form] : {std::pair{"q.ods", SheetForm::Ods},
                                   {"q.xlsx", SheetForm::Xlsx},
                                   {"q.csv", SheetForm::Csv},
                                   {"q.tsv", SheetForm::Tsv}}) {
    const std::string out = (dir.Path() / ("out-" + std::string(name).substr(2))).string();
    Written(dir, name, form);
    // UTF-8, commas, double quotes around text only where needed. LibreOffice keeps its
    // settings and run files in the test's folder, apart from the user's desktop.
    const std::string own = "'" + dir.Path().string() + "'";
    const std::string command =
        "cd " + own +
        " && env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY"
        " HOME=" +
        own + " XDG_CONFIG_HOME=" + own + " XDG_CACHE_HOME=" + own + " XDG_DATA_HOME=" + own +
        " XDG_RUNTIME_DIR=" + own + " libreoffice --headless " +
        (form == SheetForm::Csv   ? "--infilter=CSV:44,34,76,1 "
         : form == SheetForm::Tsv ? "--infilter=CSV:9,34,76,1 "
                                  : "") +
        "--convert-to " + "'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,false' " +
        "--outdir '" + out + "' " + name + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << name;
    Findings findings;
    const Sheet read = ReadSheet(Contents(out + "/q.csv"), "q.csv", findings);
    const auto expected = Expected(kRows);
    ASSERT_EQ(read.Rows.size(), expected.size()) << name;
    for (std::size_t i = 0; i < read.Rows.size(); ++i) {
      std::vector<std::string> cells = read.Rows[i].Cells;
      // A text form has no way to say that digits are text: they are read as a number.
      if (form == SheetForm::Csv || form == SheetForm::Tsv) {
        for (std::size_t k = 0; k < cells.size() && k < expected[i].size(); ++k) {
          if (expected[i][k] == "0" + cells[k]) cells[k] = expected[i][k];
        }
      }
      EXPECT_EQ(cells, expected[i]) << name << " row " << i + 1;
    }
  }
}

}  // namespace
}  // namespace anthora
