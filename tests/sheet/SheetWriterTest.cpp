// Sheets this program writes: every form reads back through the sheet readers to the same rows,
// and LibreOffice, when installed, reads the archive forms to the same cells.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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
