// Sections: an answer cell as the quiz keeps it; column names and the rows a table must fill;
// the table reader (header, rows, answers, framing); crop and rotate cells; the entry point.
#include "sheet/QuestionTable.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/Utf8.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/EditDistance.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

std::string ConvertAnswer(const std::string& cell, std::string& answer) {
  if (cell.empty()) return Tr("the answer is empty");
  if (cell.find_first_of("\r\n") != std::string::npos)
    return Tr("the answer holds a line break; an answer is one line");
  if (std::any_of(cell.begin(), cell.end(), [](char c) { return c >= 0 && c < 0x20; }))
    return Tr("the answer holds a control character");
  std::string bytes;
  std::size_t position = 0;
  for (const char32_t c : DecodeUtf8(cell)) {
    ++position;
    if (c == 0xFFFD && cell.find("\xEF\xBF\xBD") == std::string::npos)
      return Format(Tr("character %d is a byte that is not UTF-8 text; retype it and save the "
                       "sheet as UTF-8"),
                    {position});
    const unsigned byte = cp1251::FromUnicode(c);
    if (byte > 0xFF) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      // TRANSLATORS: %1$d is the character's place in the cell, %2$s its code ("U+263A").
      return Format(Tr("character %1$d (%2$s) cannot be written in Windows-1251"),
                    {position, code});
    }
    bytes += static_cast<char>(byte);
  }
  answer = std::move(bytes);
  return {};
}

namespace {

using ColumnNames = std::array<std::string_view, 4>;
constexpr ColumnNames kEnglishColumns = {"en", "en_wrong1", "en_wrong2", "en_wrong3"};
constexpr ColumnNames kRussianColumns = {"ru", "ru_wrong1", "ru_wrong2", "ru_wrong3"};

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// A row whose cells hold only blanks, which a spreadsheet shows as an empty row.
bool BlankRow(const SheetRow& row) {
  return std::all_of(row.Cells.begin(), row.Cells.end(),
                     [](const std::string& cell) { return Trimmed(cell).empty(); });
}

// A column name as it is compared: lower case, without blanks or underscores.
std::string Canonical(std::string_view name) {
  std::string text;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (name.substr(i).starts_with("\xC2\xA0")) {
      ++i;  // a no-break space
    } else if (c != ' ' && c != '\t' && c != '_') {
      text += AsciiLower(c);
    }
  }
  return text;
}

// The column name nearest to an unknown one, when it is near enough to be a slip.
std::optional<std::string_view> NearestColumn(const std::string& canonical) {
  if (canonical.size() > 40) return std::nullopt;
  std::optional<std::string_view> nearest;
  std::size_t best = 3;  // more edits than this is another word
  for (const std::string_view column : kSheetColumns) {
    const std::size_t distance = EditDistance(canonical, Canonical(column), best);
    if (distance < best && distance < Canonical(column).size()) {
      best = distance;
      nearest = column;
    }
  }
  return nearest;
}

// The columns a row must fill: the picture and each language's right answer.
bool Required(std::string_view column) {
  return column == "picture" || column == "en" || column == "ru";
}

std::optional<int> ReadRotate(std::string_view cell) {
  for (const int degrees : {0, 90, 180, 270}) {
    if (cell.empty() || cell == std::to_string(degrees)) return cell.empty() ? 0 : degrees;
  }
  return std::nullopt;
}

class TableReader {
 public:
  TableReader(const Sheet& sheet, Findings& findings) : FName(sheet.Name), FFindings(findings) {}

  QuestionTable Read(const Sheet& sheet) {
    QuestionTable result;
    std::vector<const SheetRow*> rows;
    for (const SheetRow& row : sheet.Rows) {
      if (!BlankRow(row)) rows.push_back(&row);
    }
    if (rows.empty()) {
      // A sheet that could not be read was reported as such.
      if (!sheet.EmptyAmongOthers.empty()) {
        // TRANSLATORS: %s is the name of a sheet of the workbook.
        Error(0, Format(Tr("the sheet %s, which was read, is empty, but other sheets of the "
                           "workbook hold text; name the sheet of questions 'questions'"),
                        {Quoted(sheet.EmptyAmongOthers)}));
      } else if (!Unreadable()) {
        Error(0, Tr("the sheet is empty; its first row names the columns"));
      }
      return result;
    }
    const int errors = FFindings.Count(Finding::Level::Error);
    const SheetRow& header = *rows.front();
    if (!ReadHeader(header) || FFindings.Count(Finding::Level::Error) > errors) return result;
    result.HasEnglish = FColumns.contains("en");
    result.HasRussian = FColumns.contains("ru");
    // The quiz needs both languages, so the one left out shows the other one's answers.
    if (!result.HasRussian) {
      FFindings.Warning(FName, header.Row,
                        Tr("no Russian columns (ru, ru_wrong1 to ru_wrong3): the Russian quiz "
                           "will show the English answers"));
    } else if (!result.HasEnglish) {
      FFindings.Warning(FName, header.Row,
                        Tr("no English columns (en, en_wrong1 to en_wrong3): the English quiz "
                           "will show the Russian answers"));
    }
    for (std::size_t i = 1; i < rows.size(); ++i) {
      TableQuestion question;
      // A row with faulty answers still has its photo made, so that its faults show too.
      if (ReadRow(*rows[i], result, question)) result.Questions.push_back(question);
    }
    if (rows.size() == 1) Error(header.Row, Tr("no questions below the header row"));
    return result;
  }

 private:
  void Error(int row, std::string text) { FFindings.Error(FName, row, std::move(text)); }

  bool Unreadable() const {
    return std::any_of(FFindings.All.begin(), FFindings.All.end(), [&](const Finding& f) {
      return f.File == FName && f.Severity == Finding::Level::Error;
    });
  }

  bool ReadHeader(const SheetRow& header) {
    for (std::size_t i = 0; i < header.Cells.size(); ++i) {
      const std::string written = Trimmed(header.Cells[i]);
      const std::string canonical = Canonical(written);
      if (canonical.empty()) continue;
      const auto known =
          std::find_if(kSheetColumns.begin(), kSheetColumns.end(),
                       [&](std::string_view c) { return Canonical(c) == canonical; });
      if (known == kSheetColumns.end()) {
        const auto nearest = NearestColumn(canonical);
        // TRANSLATORS: the column names stay as they are.
        Error(header.Row,
              nearest ? Format(Tr("column %1$s: did you mean '%2$s'? the columns are picture, en, "
                                  "en_wrong1 to en_wrong3, ru, ru_wrong1 to ru_wrong3, crop and "
                                  "rotate; a column without a name is not read"),
                               {Quoted(written), *nearest})
                      : Format(Tr("column %s: the columns are picture, en, en_wrong1 to "
                                  "en_wrong3, ru, ru_wrong1 to ru_wrong3, crop and rotate; a "
                                  "column without a name is not read"),
                               {Quoted(written)}));
      } else if (!FColumns.emplace(*known, i).second) {
        Error(header.Row, Format(Tr("the column '%s' is named twice"), {*known}));
      } else if (Required(*known)) {
        FWidth = std::max(FWidth, i + 1);  // a row reaches the last column that must be filled
      }
    }
    bool sound = true;
    if (!FColumns.contains("picture")) {
      Error(header.Row, Tr("no column 'picture' in the header row"));
      sound = false;
    }
    bool anyLanguage = false;
    for (const ColumnNames& columns : {kEnglishColumns, kRussianColumns}) {
      const auto present = std::count_if(columns.begin(), columns.end(),
                                         [&](std::string_view c) { return FColumns.contains(c); });
      if (present == 0) continue;
      anyLanguage = true;
      const auto named = *std::find_if(columns.begin(), columns.end(),
                                       [&](std::string_view c) { return FColumns.contains(c); });
      // The wrong answers may be left to the builder, but not the right one.
      for (const std::string_view name : columns) {
        if (FColumns.contains(name) || !Required(name)) continue;
        // TRANSLATORS: %1$s is a column missing, %2$s a column of the same language present.
        Error(header.Row, Format(Tr("no column '%1$s' beside '%2$s'"), {name, named}));
        sound = false;
      }
    }
    if (!anyLanguage) {
      Error(header.Row, Tr("no answers: name the columns en, en_wrong1 to en_wrong3 or ru, "
                           "ru_wrong1 to ru_wrong3 in the header row"));
      sound = false;
    }
    return sound;
  }

  std::string Cell(const SheetRow& row, std::string_view column) const {
    const auto found = FColumns.find(column);
    if (found == FColumns.end() || found->second >= row.Cells.size()) return {};
    return Trimmed(row.Cells[found->second]);
  }

  // A row in which one language's answers are all empty and the other's are not: one finding
  // says so.
  bool LanguageEmpty(const SheetRow& row, const QuestionTable& table) {
    const auto empty = [&](const ColumnNames& columns) {
      return std::all_of(columns.begin(), columns.end(),
                         [&](std::string_view column) { return Cell(row, column).empty(); });
    };
    if (empty(kEnglishColumns) == empty(kRussianColumns)) return false;
    if (table.HasEnglish && empty(kEnglishColumns)) {
      Error(row.Row, Tr("the English answers are empty: fill them in or leave the whole English "
                        "columns empty"));
    } else if (table.HasRussian && empty(kRussianColumns)) {
      Error(row.Row, Tr("the Russian answers are empty: fill them in or leave the whole Russian "
                        "columns empty"));
    } else {
      return false;
    }
    return true;
  }

  // False when the row has no photo to make.
  bool ReadRow(const SheetRow& row, const QuestionTable& table, TableQuestion& question) {
    if (table.HasEnglish && table.HasRussian && LanguageEmpty(row, table)) {
      if (Cell(row, "picture").empty()) Error(row.Row, Tr("the picture cell is empty"));
      return false;
    }
    // A row whose text stops two or more read columns early lacks whole answers, such as all
    // of one language's: one finding names them all.
    const auto filled = std::find_if(row.Cells.rbegin(), row.Cells.rend(),
                                     [](const std::string& c) { return !Trimmed(c).empty(); });
    if (static_cast<std::size_t>(row.Cells.rend() - filled) + 1 < FWidth) {
      std::vector<std::string_view> empty;
      for (const auto& [name, column] : FColumns) {
        if (Required(name) && Cell(row, name).empty()) empty.push_back(name);
      }
      std::sort(empty.begin(), empty.end(), [](std::string_view a, std::string_view b) {
        return std::find(kSheetColumns.begin(), kSheetColumns.end(), a) <
               std::find(kSheetColumns.begin(), kSheetColumns.end(), b);
      });
      std::string names;
      for (const std::string_view name : empty)
        names += (names.empty() ? "" : ", ") + std::string(name);
      Error(row.Row,
            Format(TrN("column %s is empty; fill it in or remove the row",
                       "columns %s are empty; fill them in or remove the row", empty.size()),
                   {names}));
      return false;
    }
    question.Line = row.Row;
    question.Photo = Cell(row, "picture");
    std::replace(question.Photo.begin(), question.Photo.end(), '\\', '/');  // a Windows path
    if (table.HasEnglish) ReadAnswers(row, kEnglishColumns, question.English);
    if (table.HasRussian) ReadAnswers(row, kRussianColumns, question.Russian);
    ReadFraming(row, question.Framing);
    if (question.Photo.empty()) {
      Error(row.Row, Tr("the picture cell is empty"));
      return false;
    }
    if (question.Photo.find_first_of("\r\n") != std::string::npos) {
      Error(row.Row, Tr("column picture: the name holds a line break"));
      return false;
    }
    return true;
  }

  void ReadAnswers(const SheetRow& row, const ColumnNames& columns,
                   std::array<std::string, 4>& answers) {
    std::array<bool, 4> read{};
    for (std::size_t k = 0; k < 4; ++k) {
      const std::string cell = Cell(row, columns[k]);
      if (k > 0 && cell.empty()) continue;  // the builder chooses it
      const std::string problem = ConvertAnswer(cell, answers[k]);
      read[k] = problem.empty();
      if (!read[k]) {
        // TRANSLATORS: %1$s is the column's name, %2$s what is wrong with its answer.
        Error(row.Row, Format(Tr("column %1$s: %2$s"), {columns[k], problem}));
        continue;
      }
      for (std::size_t j = 0; j < k; ++j) {
        if (!read[j]) continue;
        if (j == 0 && answers[j] != answers[k] &&
            LowerCp1251(answers[j]) == LowerCp1251(answers[k])) {
          // A learner who knows the flower cannot tell which of the two is meant.
          Error(row.Row,
                Format(Tr("column %s repeats the right answer %s as %s, which differs "
                          "only in letter case, so both buttons would look right"),
                       {std::string(columns[k]), Quoted(Cell(row, columns[0])), Quoted(cell)}));
          break;
        }
        if (answers[j] != answers[k]) continue;
        if (j == 0) {
          Error(row.Row, Format(Tr("column %1$s repeats the right answer %2$s, so both buttons "
                                   "would count as right"),
                                {columns[k], Quoted(cell)}));
        } else {
          Error(row.Row, Format(Tr("columns %1$s and %2$s hold the same answer %3$s: the learner "
                                   "would see two identical buttons"),
                                {columns[j], columns[k], Quoted(cell)}));
        }
        break;
      }
    }
  }

  void ReadFraming(const SheetRow& row, PhotoFraming& framing) {
    const std::string crop = Cell(row, "crop");
    if (const auto read = ReadCrop(crop)) {
      framing = *read;
    } else {
      // TRANSLATORS: the words centre, top, bottom, left and right are what the cell takes and
      // stay in English.
      Error(row.Row,
            Format(Tr("column crop: %s is not a place to cut the square at; write centre, "
                      "top, bottom, left, right or a point of the photo such as 30%%,40%%"),
                   {Quoted(crop)}));
    }
    const std::string rotate = Cell(row, "rotate");
    if (const auto degrees = ReadRotate(rotate)) {
      framing.Degrees = *degrees;
    } else {
      Error(row.Row, Format(Tr("column rotate: %s is not a turn; write 0, 90, 180 or 270 (degrees "
                               "clockwise)"),
                            {Quoted(rotate)}));
    }
  }

  const std::string& FName;
  Findings& FFindings;
  std::map<std::string, std::size_t, std::less<>> FColumns;
  std::size_t FWidth = 0;
};

// A percentage from 0 to 100 followed by "%", blanks around it aside.
std::optional<double> ReadPercent(std::string_view& text) {
  while (text.starts_with(' ')) text.remove_prefix(1);
  double value = 0;
  std::size_t digits = 0;
  double scale = 0;
  for (; !text.empty() && ((text[0] >= '0' && text[0] <= '9') || text[0] == '.');
       text.remove_prefix(1)) {
    if (text[0] == '.') {
      if (scale != 0) return std::nullopt;
      scale = 1;
      continue;
    }
    ++digits;
    if (scale == 0) {
      value = value * 10 + (text[0] - '0');
    } else {
      value += (text[0] - '0') * (scale /= 10);
    }
    if (value > 100) return std::nullopt;
  }
  while (text.starts_with(' ')) text.remove_prefix(1);
  if (digits == 0 || !text.starts_with('%')) return std::nullopt;
  text.remove_prefix(1);
  while (text.starts_with(' ')) text.remove_prefix(1);
  return value / 100;
}

}  // namespace

std::optional<PhotoFraming> ReadCrop(std::string_view cell) {
  const std::string name = Canonical(cell);
  struct Place {
    std::string_view Name;
    double X, Y;
  };
  for (const Place place :
       {Place{"", 0.5, 0.5}, Place{"centre", 0.5, 0.5}, Place{"center", 0.5, 0.5},
        Place{"top", 0.5, 0}, Place{"bottom", 0.5, 1}, Place{"left", 0, 0.5},
        Place{"right", 1, 0.5}}) {
    if (name == place.Name) return PhotoFraming{place.X, place.Y, 0};
  }
  std::string_view rest = cell;
  const std::optional<double> x = ReadPercent(rest);
  if (!x || rest.empty() || (rest[0] != ',' && rest[0] != ';')) return std::nullopt;
  rest.remove_prefix(1);
  const std::optional<double> y = ReadPercent(rest);
  if (!y || !rest.empty()) return std::nullopt;
  return PhotoFraming{*x, *y, 0};
}

QuestionTable ReadQuestionTable(const Sheet& sheet, Findings& findings) {
  return TableReader(sheet, findings).Read(sheet);
}

}  // namespace anthora
