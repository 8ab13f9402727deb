#include "authoring/SetChecker.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "controls/CaptionText.h"
#include "picture/Jpeg.h"
#include "picture/Picture.h"
#include "platform/Utf8.h"
#include "quiz/QuestionSet.h"
#include "quiz/Scoring.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/StrToInt.h"
#include "runtime/files/Files.h"
#include "runtime/files/TextFile.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What loading a picture file gave; kept so that a picture named twice is decoded once.
struct LoadedPicture {
  std::string Error;  // UTF-8; empty when it decoded
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

LoadedPicture LoadPicture(const std::string& path) {
  LoadedPicture result;
  try {
    TPicture picture;
    picture.LoadFromFile(path);
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic())) jpeg->Bitmap();
    result.Width = picture.Width();
    result.Height = picture.Height();
  } catch (const Exception& error) {
    result.Error = Cp1251ToUtf8(error.Message());
  }
  return result;
}

// Text of a set file for the terminal, as the quiz would show it.
std::string Shown(std::string_view text) {
  return Quoted(Cp1251ToUtf8(text.substr(0, kQuoteLimit + 1)));
}

enum class LineText { Ascii, Utf8, Other };

LineText TextOf(std::string_view line) {
  if (std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; }))
    return LineText::Ascii;
  return DecodeUtf8(line).find(U'\uFFFD') == std::u32string::npos ? LineText::Utf8
                                                                  : LineText::Other;
}

class SetFileChecker {
 public:
  SetFileChecker(const std::string& folder, std::string_view setPath, const AnswerFace& face,
                 std::map<std::string, LoadedPicture>& pictures, Findings& findings)
      : FFolder(folder),
        FPath(JoinPath(folder, std::string(setPath))),
        FFace(face),
        FPictures(pictures),
        FFindings(findings) {
    FCanvas.Font().Assign(face.Font);
  }

  // The number of questions the quiz would ask.
  int Run() {
    if (!ReadLines()) return 0;
    const std::size_t first = FFindings.All.size();
    CheckEncoding();
    const std::optional<std::int32_t> count = CheckCount();
    const int questions = CheckRecords();
    if (count && *count > 0 && *count != questions) ReportCountMismatch(*count, questions);
    FFindings.SortByLine(first);
    return questions;
  }

 private:
  void Error(std::size_t index, std::string text) {
    FFindings.Error(FPath, static_cast<int>(index + 1), std::move(text));
  }
  void Warning(std::size_t index, std::string text) {
    FFindings.Warning(FPath, static_cast<int>(index + 1), std::move(text));
  }

  bool ReadLines() {
    if (!FileExists(FPath)) {
      FFindings.Error(FPath, 0,
                      "missing: the quiz needs both ris/fen.ani and ris/fru.ani, whichever "
                      "language is chosen, and will not start without them");
      return false;
    }
    try {
      TextFile file;
      file.Reset(FPath);
      while (!file.Eof()) FLines.push_back(file.ReadLn());
    } catch (const Exception& error) {
      FFindings.Error(FPath, 0, "cannot be read: " + Cp1251ToUtf8(error.Message()));
      return false;
    }
    return true;
  }

  void CheckEncoding() {
    std::string_view head = FLines.empty() ? std::string_view() : FLines[0];
    if (head.starts_with(kByteOrderMark)) {
      Warning(0,
              "the file starts with a byte-order mark, which the quiz takes as part of the "
              "count; remove it with: sed -i '1s/^\\xEF\\xBB\\xBF//' " +
                  FPath);
      head.remove_prefix(kByteOrderMark.size());
    }
    // Text in UTF-8 shows only when no line is of another encoding.
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
      const LineText text = TextOf(i == 0 ? head : FLines[i]);
      if (text == LineText::Other) return;
      if (text == LineText::Utf8 && !first) first = i;
    }
    if (first) {
      Warning(*first,
              "the text is UTF-8, which the quiz shows garbled; convert it to "
              "Windows-1251 with: iconv -f UTF-8 -t CP1251 " +
                  FPath + " > fixed.ani && mv fixed.ani " + FPath);
    }
  }

  std::optional<std::int32_t> CheckCount() {
    const std::string line = FLines.empty() ? std::string() : FLines[0];
    std::int32_t count = 0;
    try {
      count = StrToInt(line);
    } catch (const EConvertError& error) {
      Error(0, "the count line must be a whole number: the quiz stops with \"" +
                   Shortened(Cp1251ToUtf8(error.Message())) + "\"");
      return std::nullopt;
    }
    if (count == 0) {
      Error(0,
            "the count is 0: the quiz fails with \"Invalid floating point operation\" "
            "at the first question");
    } else if (count < 0) {
      Error(0, "the count is " + std::to_string(count) +
                   ": the quiz cannot start with a negative number of questions");
    }
    return count;
  }

  // Walks the question records; a blank line where a picture name is due ends the quiz, but
  // the records after it are still checked so that every mistake shows at once.
  int CheckRecords() {
    int questions = 0;
    bool ended = false;
    std::size_t i = 1;
    while (i < FLines.size()) {
      if (FLines[i].empty()) {
        const std::size_t blank = i;
        while (i < FLines.size() && FLines[i].empty()) ++i;
        if (i == FLines.size()) break;
        if (!ended) {
          Error(blank,
                "blank line where a picture name is due: the quiz ends here and never "
                "asks the questions after it");
        }
        ended = true;
        continue;
      }
      ++questions;
      CheckRecord(i, questions);
      i += 5;
    }
    return questions;
  }

  void CheckRecord(std::size_t start, int number) {
    CheckPicture(start, FLines[start]);
    const std::size_t answers = std::min<std::size_t>(4, FLines.size() - start - 1);
    if (answers < 4) {
      Error(start, "question " + std::to_string(number) + " is cut short: the file ends after " +
                       std::to_string(answers) +
                       " of its 4 answers, and the missing ones show "
                       "as blank buttons");
    }
    for (std::size_t k = 1; k <= answers; ++k) CheckAnswer(start, k);
  }

  void CheckAnswer(std::size_t start, std::size_t k) {
    const std::size_t index = start + k;
    const std::string& answer = FLines[index];
    if (answer.empty()) {
      Error(index, "empty answer: its button shows no text");
      return;
    }
    if (k > 1 && answer == FLines[start + 1]) {
      Error(index, "the right answer " + Shown(answer) +
                       " is repeated as a wrong answer: both buttons count as right");
    }
    if (FFace.ShowAccelChar && answer.find('&') != std::string::npos) {
      Warning(index, "'&' in " + Shown(answer) +
                         " is not shown: the button underlines the letter after it instead");
    }
    if (answer.front() == ' ' || answer.back() == ' ' || answer.front() == '\t' ||
        answer.back() == '\t') {
      Warning(index, "blanks at an end of " + Shown(answer) +
                         " belong to the answer and shift it on its button");
    }
    const std::int32_t width =
        FCanvas.TextWidth(FFace.ShowAccelChar ? DisplayCaption(answer) : answer);
    if (width > FFace.Width) {
      Warning(index, Shown(answer) + " is " + std::to_string(width) +
                         " pixels wide, its button shows " + std::to_string(FFace.Width) +
                         ": it will be cut at both ends");
    }
  }

  void CheckPicture(std::size_t index, const std::string& name) {
    const PictureLocation location = LocatePicture(name, FFolder);
    const std::string wanted = JoinPath(FFolder, PicturePath(Cp1251ToUtf8(name)));
    switch (location.Match) {
      case PictureMatch::None:
        Error(index, "picture " + QuotedName(wanted) +
                         " not found: the quiz says so and shows the "
                         "previous picture");
        return;
      case PictureMatch::Exact:
        break;
      case PictureMatch::Converted:
        Warning(index, "picture " + QuotedName(location.Path) +
                           " is found only by reading its name as "
                           "Windows-1251; programs that take names byte for byte miss it");
        break;
      case PictureMatch::Verbatim:
        Warning(index,
                "picture found only by the Windows-1251 bytes of its file name; rename "
                "the file to " +
                    QuotedName(wanted));
        break;
      case PictureMatch::IgnoringCase:
        Warning(index, "picture " + QuotedName(wanted) +
                           " is found only by ignoring letter case, as " +
                           QuotedName(location.Path) + "; rename one to match the other");
        break;
    }
    auto [entry, added] = FPictures.try_emplace(location.Path);
    if (added) entry->second = LoadPicture(location.Path);
    const LoadedPicture& picture = entry->second;
    if (!picture.Error.empty()) {
      Error(index, "picture " + QuotedName(location.Path) +
                       " cannot be shown: the quiz stops with \"" + Shortened(picture.Error) +
                       "\"");
    } else if (picture.Width != kPictureSide || picture.Height != kPictureSide) {
      Warning(index, "picture " + QuotedName(location.Path) + " is " +
                         std::to_string(picture.Width) + " x " + std::to_string(picture.Height) +
                         ", not " + std::to_string(kPictureSide) + " x " +
                         std::to_string(kPictureSide) + ": it will be stretched to fit");
    }
  }

  void ReportCountMismatch(std::int32_t count, int questions) {
    std::string text = "the count line says " + std::to_string(count) + " but the file holds " +
                       std::to_string(questions) + " question" + (questions == 1 ? "" : "s");
    if (count < questions) {
      text += ": more right answers than " + std::to_string(count) +
              " give a grade over 5 and a status beyond the top rank";
    } else {
      text += ": the grade is out of " + std::to_string(count) +
              ", so even every answer right gives only " + GradeText(questions, count);
    }
    Error(0, std::move(text));
  }

  const std::string& FFolder;
  const std::string FPath;
  const AnswerFace& FFace;
  std::map<std::string, LoadedPicture>& FPictures;
  Findings& FFindings;
  std::vector<std::string> FLines;
  TCanvas FCanvas;
};

}  // namespace

SetCheck CheckQuestionSets(const std::string& folder, const AnswerFace& face) {
  SetCheck check;
  std::map<std::string, LoadedPicture> pictures;
  check.EnglishQuestions =
      SetFileChecker(folder, kEnglishSetPath, face, pictures, check.Problems).Run();
  check.RussianQuestions =
      SetFileChecker(folder, kRussianSetPath, face, pictures, check.Problems).Run();
  return check;
}

}  // namespace anthora
