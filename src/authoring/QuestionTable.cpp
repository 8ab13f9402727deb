#include "authoring/QuestionTable.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/Utf8.h"
#include "runtime/base/Cp1251.h"

namespace anthora {

namespace {

using ColumnNames = std::array<const char*, 4>;
constexpr ColumnNames kEnglishColumns = {"en", "en_wrong1", "en_wrong2", "en_wrong3"};
constexpr ColumnNames kRussianColumns = {"ru", "ru_wrong1", "ru_wrong2", "ru_wrong3"};

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  }
  return text;
}

// The answer of a set file in Windows-1251 that a cell holds; the reason it cannot be one
// when it cannot, and the answer is left as it was.
std::string ConvertAnswer(const std::string& cell, std::string& answer) {
  if (cell.empty()) return "the answer is empty";
  if (std::any_of(cell.begin(), cell.end(), [](char c) { return c >= 0 && c < 0x20; }))
    return "the answer holds a line break or another control character";
  std::string bytes;
  std::size_t position = 0;
  for (const char32_t c : DecodeUtf8(cell)) {
    ++position;
    if (c == 0xFFFD && cell.find("\xEF\xBF\xBD") == std::string::npos)
      return "the answer is not UTF-8 text; save the table as UTF-8";
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

class TableReader {
 public:
  TableReader(const std::string& fileName, Findings& findings)
      : FFileName(fileName), FFindings(findings) {}

  QuestionTable Read(const TsvTable& table) {
    QuestionTable result;
    if (!table.Error.empty()) {
      Error(table.ErrorLine, table.Error);
      return result;
    }
    if (table.Rows.empty()) {
      FFindings.Error(FFileName, 0, "the table is empty; its first row names the columns");
      return result;
    }
    if (!ReadHeader(table.Rows.front())) return result;
    result.HasEnglish = FColumns.contains("en");
    result.HasRussian = FColumns.contains("ru");
    for (std::size_t i = 1; i < table.Rows.size(); ++i) {
      TableQuestion question;
      // A row with faulty answers still has its photo made, so that its faults show too.
      if (ReadRow(table.Rows[i], result, question)) result.Questions.push_back(question);
    }
    if (result.Questions.empty() && table.Rows.size() == 1)
      Error(table.Rows.front().Line, "no questions below the header row");
    return result;
  }

 private:
  void Error(int line, std::string text) { FFindings.Error(FFileName, line, std::move(text)); }

  bool ReadHeader(const TsvRow& header) {
    for (std::size_t i = 0; i < header.Cells.size(); ++i) {
      const std::string name = Lowered(Trimmed(header.Cells[i]));
      if (name.empty()) continue;
      if (!FColumns.emplace(name, i).second) {
        Error(header.Line, "the column " + Quoted(name) + " is named twice");
      }
    }
    bool sound = true;
    if (!FColumns.contains("picture")) {
      Error(header.Line, "no column 'picture' in the header row");
      sound = false;
    }
    bool anyLanguage = false;
    for (const ColumnNames& columns : {kEnglishColumns, kRussianColumns}) {
      const auto present = std::count_if(columns.begin(), columns.end(),
                                         [&](const char* name) { return FColumns.contains(name); });
      if (present == 0) continue;
      anyLanguage = true;
      for (const char* name : columns) {
        if (FColumns.contains(name)) continue;
        Error(header.Line, std::string("no column '") + name + "' beside '" + columns[0] + "'");
        sound = false;
      }
    }
    if (!anyLanguage) {
      Error(header.Line,
            "no answers: name the columns en, en_wrong1 to en_wrong3 or ru, "
            "ru_wrong1 to ru_wrong3 in the header row");
      sound = false;
    }
    // A row must reach the last column that is read; cells beyond it may be left out.
    for (const auto& column : FColumns) {
      const auto named = [&column](const char* name) { return column.first == name; };
      const bool read = column.first == "picture" ||
                        std::any_of(kEnglishColumns.begin(), kEnglishColumns.end(), named) ||
                        std::any_of(kRussianColumns.begin(), kRussianColumns.end(), named);
      if (read) FWidth = std::max(FWidth, column.second + 1);
    }
    return sound && FFindings.Count(Finding::Level::Error) == 0;
  }

  // False when the row has no photo to make.
  bool ReadRow(const TsvRow& row, const QuestionTable& table, TableQuestion& question) {
    if (row.Cells.size() < FWidth) {
      Error(row.Line, "the row is cut short: it has " + std::to_string(row.Cells.size()) +
                          " cells, the answers reach column " + std::to_string(FWidth));
      return false;
    }
    question.Line = row.Line;
    question.Photo = Trimmed(row.Cells[FColumns.at("picture")]);
    std::replace(question.Photo.begin(), question.Photo.end(), '\\', '/');  // a Windows path
    if (table.HasEnglish) ReadAnswers(row, kEnglishColumns, question.English);
    if (table.HasRussian) ReadAnswers(row, kRussianColumns, question.Russian);
    if (question.Photo.empty()) Error(row.Line, "the picture cell is empty");
    return !question.Photo.empty();
  }

  void ReadAnswers(const TsvRow& row, const ColumnNames& columns,
                   std::array<std::string, 4>& answers) {
    for (std::size_t k = 0; k < 4; ++k) {
      const std::string cell = Trimmed(row.Cells[FColumns.at(columns[k])]);
      const std::string problem = ConvertAnswer(cell, answers[k]);
      if (!problem.empty()) {
        Error(row.Line, std::string("column ") + columns[k] + ": " + problem);
        continue;
      }
      if (k > 0 && answers[k] == answers[0]) {
        Error(row.Line, std::string("column ") + columns[k] + " repeats the right answer " +
                            Quoted(cell) + ", so both buttons would count as right");
      }
    }
  }

  const std::string& FFileName;
  Findings& FFindings;
  std::map<std::string, std::size_t> FColumns;
  std::size_t FWidth = 0;
};

}  // namespace

QuestionTable ReadQuestionTable(const TsvTable& table, const std::string& fileName,
                                Findings& findings) {
  return TableReader(fileName, findings).Read(table);
}

}  // namespace anthora
