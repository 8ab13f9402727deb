#include "quiz/SetFile.h"

#include "runtime/base/Cp1251.h"
#include "runtime/base/StrToInt.h"

namespace anthora {

std::string SetFileText(const std::vector<SetRecord>& records) {
  std::string text = std::to_string(records.size()) + std::string(kSetLineEnd);
  for (const SetRecord& record : records) {
    text += record.PictureName;
    text += kSetLineEnd;
    for (const std::string& answer : record.Answers) {
      text += answer;
      text += kSetLineEnd;
    }
  }
  return text;
}

int PictureNameLine(std::size_t question) {
  return static_cast<int>(2 + kRecordLines * question);
}

std::optional<std::size_t> QuestionOfLine(int line) {
  if (line < 2) return std::nullopt;
  return static_cast<std::size_t>(line - 2) / kRecordLines;
}

bool IsSetFilePath(std::string_view path) {
  const std::string_view name = path.substr(path.rfind('/') + 1);
  return name == kEnglishSetFileName || name == kRussianSetFileName;
}

bool IsSetFile(std::string_view name) {
  if (IsSetFilePath(name) && name.find('/') == std::string_view::npos) return true;
  if (name.size() <= 4) return false;
  return SameIgnoringAsciiCase(name.substr(name.size() - 4), ".jpg");
}

std::int32_t SetFileReader::ReadCount() {
  return StrToInt(FFile.ReadLn());
}

AnswerSlots SetFileReader::ReadAnswers() {
  AnswerSlots answers;
  for (std::string& answer : answers) answer = FFile.ReadLn();
  return answers;
}

}  // namespace anthora
