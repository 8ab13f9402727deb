#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/files/TextFile.h"

namespace anthora {

// A question set is the folder "ris" with the English and the Russian set file and the
// pictures they name. A set file is text in Windows-1251 with CR LF line ends: a count line,
// then one record of five lines a question, its picture name and its four answers, the right
// one first; a blank line where a picture name is due ends the questions.
inline constexpr std::string_view kSetFolderName = "ris";
inline constexpr std::string_view kEnglishSetFileName = "fen.ani";
inline constexpr std::string_view kRussianSetFileName = "fru.ani";
// Where the quiz content lies, relative to the current working directory.
inline constexpr std::string_view kEnglishSetPath = "ris/fen.ani";
inline constexpr std::string_view kRussianSetPath = "ris/fru.ani";

inline constexpr std::size_t kAnswerCount = 4;
inline constexpr std::size_t kRecordLines = 1 + kAnswerCount;
inline constexpr std::string_view kSetLineEnd = "\r\n";

// The answer lines of a question in file order; slot 1 (index 0) is the right one.
using AnswerSlots = std::array<std::string, kAnswerCount>;

// The picture file of a question: the folder, the picture-name line exactly as read, ".jpg".
inline std::string PicturePath(std::string_view pictureName) {
  return std::string(kSetFolderName) + "/" + std::string(pictureName) + ".jpg";
}

// One question as a set file holds it, in Windows-1251 bytes.
struct SetRecord {
  std::string PictureName;
  AnswerSlots Answers;
};

// The text of a set file holding these questions.
std::string SetFileText(const std::vector<SetRecord>& records);

// The line (from 1) of a question's picture name, its index counted from 0.
int PictureNameLine(std::size_t question);
// The question whose record holds a line (from 1), as an index from 0; none for the count line.
std::optional<std::size_t> QuestionOfLine(int line);

// Whether a path names one of the two set files of a set folder.
bool IsSetFilePath(std::string_view path);
// Whether a file in a set folder is part of the set: a set file or a .jpg picture.
bool IsSetFile(std::string_view name);

// A set file read from its start as the quiz reads it, one line at a time.
class SetFileReader {
 public:
  void Open(std::string_view path) { FFile.Reset(path); }
  // The count line; EConvertError when it is no whole number.
  std::int32_t ReadCount();
  // The next question's picture name; empty where the questions end.
  std::string ReadPictureName() { return FFile.ReadLn(); }
  // The four answer lines after a picture name.
  AnswerSlots ReadAnswers();

 private:
  TextFile FFile;
};

}  // namespace anthora
