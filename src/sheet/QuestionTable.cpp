#include "sheet/QuestionTable.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/Utf8.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Findings.h"

namespace anthora {

namespace {

using ColumnNames = std::array<std::string_view, 4>;
constexpr ColumnNames kEnglishColumns = {"en", "en_wrong1", "en_wrong2", "en_wrong3"};
constexpr ColumnNames kRussianColumns = {"ru", "ru_wrong1", "ru_wrong2", "ru_wrong3"};
constexpr std::string_view kColumnList =
    "picture, en, en_wrong1 to en_wrong3, ru, ru_wrong1 to ru_wrong3, crop and rotate";
constexpr std::size_t kRowsNamed = 10;  // rows a finding lists before "and N more"

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
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

// Edits (insertions, deletions, changes) that turn one text into the other.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The column name nearest to an unknown one, when it is near enough to be a slip.
std::optional<std::string_view> NearestColumn(const std::string& canonical) {
  if (canonical.size() > 40) return std::nullopt;
  std::optional<std::string_view> nearest;
  std::size_t best = 3;  // more edits than this is another word
  for (const std::string_view column : kSheetColumns) {
    const std::size_t distance = EditDistance(canonical, Canonical(column));
    if (distance < best && distance < Canonical(column).size()) {
      best = distance;
      nearest = column;
    }
  }
  return nearest;
}

// The answer of a set file in Windows-1251 that a cell holds; the reason it cannot be one
// when it cannot, and the answer is left as it was.
std::string ConvertAnswer(const std::string& cell, std::string& answer) {
  if (cell.empty()) return "the answer is empty";
  if (cell.find_first_of("\r\n") != std::string::npos)
    return "the answer holds a line break; an answer is one line";
  if (std::any_of(cell.begin(), cell.end(), [](char c) { return c >= 0 && c < 0x20; }))
    return "the answer holds a control character";
  std::string bytes;
  std::size_t position = 0;
  for (const char32_t c : DecodeUtf8(cell)) {
    ++position;
    if (c == 0xFFFD && cell.find("\xEF\xBF\xBD") == std::string::npos)
      return "character " + std::to_string(position) +
             " is a byte that is not UTF-8 text; retype it and save the sheet as UTF-8";
    const unsigned byte = cp1251::FromUnicode(c);
    if (byte > 0xFF) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      return "character " + std::to_string(position) + " (" + code +
             ") cannot be written in Windows-1251";
    }
    bytes += static_cast<char>(byte);
  }
  answer = std::move(bytes);
  return {};
}

std::optional<int> ReadRotate(std::string_view cell) {
  for (const int degrees : {0, 90, 180, 270}) {
    if (cell.empty() || cell == std::to_string(degrees)) return cell.empty() ? 0 : degrees;
  }
  return std::nullopt;
}

// "2, 5 and 7", naming at most kRowsNamed rows.
std::string RowList(const std::vector<int>& rows) {
  std::vector<std::string> numbers;
  for (const int row : rows) numbers.push_back(std::to_string(row));
  return Enumerated(numbers, kRowsNamed);
}

class TableReader {
 public:
  TableReader(const Sheet& sheet, Findings& findings) : FName(sheet.Name), FFindings(findings) {}

  QuestionTable Read(const Sheet& sheet) {
    QuestionTable result;
    if (sheet.Rows.empty()) {
      // A sheet that could not be read was reported as such.
      if (!Unreadable()) Error(0, "the sheet is empty; its first row names the columns");
      return result;
    }
    const int errors = FFindings.Count(Finding::Level::Error);
    if (!ReadHeader(sheet.Rows.front()) || FFindings.Count(Finding::Level::Error) > errors)
      return result;
    result.HasEnglish = FColumns.contains("en");
    result.HasRussian = FColumns.contains("ru");
    for (std::size_t i = 1; i < sheet.Rows.size(); ++i) {
      TableQuestion question;
      // A row with faulty answers still has its photo made, so that its faults show too.
      if (ReadRow(sheet.Rows[i], result, question)) result.Questions.push_back(question);
    }
    if (sheet.Rows.size() == 1) Error(sheet.Rows.front().Row, "no questions below the header row");
    ReportSharedPhotos(result);
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
        Error(header.Row, "column " + Quoted(written) + ": " +
                              (nearest ? "did you mean " + Quoted(*nearest) + "? " : "") +
                              "the columns are " + std::string(kColumnList) +
                              "; a column without a name is not read");
      } else if (!FColumns.emplace(*known, i).second) {
        Error(header.Row, "the column " + Quoted(*known) + " is named twice");
      } else if (*known != "crop" && *known != "rotate") {
        FWidth = std::max(FWidth, i + 1);  // a row reaches the last column that must be filled
      }
    }
    bool sound = true;
    if (!FColumns.contains("picture")) {
      Error(header.Row, "no column 'picture' in the header row");
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
      for (const std::string_view name : columns) {
        if (FColumns.contains(name)) continue;
        Error(header.Row, "no column " + Quoted(name) + " beside " + Quoted(named));
        sound = false;
      }
    }
    if (!anyLanguage) {
      Error(header.Row,
            "no answers: name the columns en, en_wrong1 to en_wrong3 or ru, "
            "ru_wrong1 to ru_wrong3 in the header row");
      sound = false;
    }
    return sound;
  }

  std::string Cell(const SheetRow& row, std::string_view column) const {
    const auto found = FColumns.find(column);
    if (found == FColumns.end() || found->second >= row.Cells.size()) return {};
    return Trimmed(row.Cells[found->second]);
  }

  // False when the row has no photo to make.
  bool ReadRow(const SheetRow& row, const QuestionTable& table, TableQuestion& question) {
    // A row that stops two or more read columns early was cut short, not left blank.
    if (row.Cells.size() + 1 < FWidth) {
      Error(row.Row, "the row is cut short: it has " + std::to_string(row.Cells.size()) +
                         " cells, the answers reach column " + std::to_string(FWidth));
      return false;
    }
    question.Line = row.Row;
    question.Photo = Cell(row, "picture");
    std::replace(question.Photo.begin(), question.Photo.end(), '\\', '/');  // a Windows path
    if (table.HasEnglish) ReadAnswers(row, kEnglishColumns, question.English);
    if (table.HasRussian) ReadAnswers(row, kRussianColumns, question.Russian);
    ReadFraming(row, question.Framing);
    if (question.Photo.empty()) {
      Error(row.Row, "the picture cell is empty");
      return false;
    }
    if (question.Photo.find_first_of("\r\n") != std::string::npos) {
      Error(row.Row, "column picture: the name holds a line break");
      return false;
    }
    return true;
  }

  void ReadAnswers(const SheetRow& row, const ColumnNames& columns,
                   std::array<std::string, 4>& answers) {
    std::array<bool, 4> read{};
    for (std::size_t k = 0; k < 4; ++k) {
      const std::string cell = Cell(row, columns[k]);
      const std::string problem = ConvertAnswer(cell, answers[k]);
      read[k] = problem.empty();
      if (!read[k]) {
        Error(row.Row, "column " + std::string(columns[k]) + ": " + problem);
        continue;
      }
      for (std::size_t j = 0; j < k; ++j) {
        if (!read[j] || answers[j] != answers[k]) continue;
        if (j == 0) {
          Error(row.Row, "column " + std::string(columns[k]) + " repeats the right answer " +
                             Quoted(cell) + ", so both buttons would count as right");
        } else {
          Error(row.Row, "columns " + std::string(columns[j]) + " and " + std::string(columns[k]) +
                             " hold the same answer " + Quoted(cell) +
                             ": the learner would see two identical buttons");
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
      Error(row.Row, "column crop: " + Quoted(crop) +
                         " is not a place to cut the square at; write centre, top, bottom, "
                         "left, right or a point of the photo such as 30%,40%");
    }
    const std::string rotate = Cell(row, "rotate");
    if (const auto degrees = ReadRotate(rotate)) {
      framing.Degrees = *degrees;
    } else {
      Error(row.Row, "column rotate: " + Quoted(rotate) +
                         " is not a turn; write 0, 90, 180 or 270 (degrees clockwise)");
    }
  }

  // One photo on rows with different right answers: at least one of those rows is wrong.
  void ReportSharedPhotos(const QuestionTable& table) {
    std::map<std::string, std::vector<const TableQuestion*>> byPhoto;
    for (const TableQuestion& question : table.Questions) {
      std::string key = Canonical(question.Photo);
      for (const std::string_view extension : {".jpg", ".jpeg", ".png"}) {
        if (key.ends_with(extension)) key.resize(key.size() - extension.size());
      }
      byPhoto[key].push_back(&question);
    }
    for (const auto& entry : byPhoto) {
      const std::vector<const TableQuestion*>& questions = entry.second;
      const auto differs = [&](std::array<std::string, 4> TableQuestion::*answers) {
        return std::any_of(questions.begin(), questions.end(), [&](const TableQuestion* q) {
          return (q->*answers)[0] != (questions.front()->*answers)[0];
        });
      };
      if (questions.size() < 2 ||
          !(differs(&TableQuestion::English) || differs(&TableQuestion::Russian)))
        continue;
      std::vector<int> rows;
      for (const TableQuestion* question : questions) rows.push_back(question->Line);
      FFindings.Warning(FName, rows.front(),
                        "photo " + QuotedName(questions.front()->Photo) + " is on rows " +
                            RowList(rows) + " with different right answers: one of them is wrong");
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
