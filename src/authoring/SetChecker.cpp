#include "authoring/SetChecker.h"

#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "controls/CaptionText.h"
#include "picture/Jpeg.h"
#include "picture/Photo.h"
#include "picture/Picture.h"
#include "picture/PictureError.h"
#include "platform/Utf8.h"
#include "platform/posix/DeferredTermination.h"
#include "quiz/Scoring.h"
#include "quiz/SetFile.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/StrToInt.h"
#include "runtime/files/FileStream.h"
#include "runtime/files/Files.h"
#include "runtime/files/TextFile.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Question records looked at ahead to tell a short record from a missing picture.
constexpr std::size_t kRecordsAhead = 3;

// What loading a picture file gave; kept so that a picture named twice is decoded once.
struct LoadedPicture {
  std::string NotRegular;  // what the path names when not a regular file ("a named pipe")
  std::string Error;       // UTF-8; empty when it decoded
  std::string Warning;     // what the decoder had to work around; empty when nothing
  std::string Note;        // what the error comes from, when the file tells ("a PNG picture")
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// What a path names, through any links, when it is there but not a regular file: "a named
// pipe", "a folder". Empty for a regular file or nothing. Told without opening the path: a
// pipe waits for a writer, and a device may never end.
std::string NotARegularFile(const std::string& path) {
  struct stat status {};
  if (!IsPlainPath(path) || stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return {};
  if (S_ISDIR(status.st_mode)) return "a folder";
  if (S_ISFIFO(status.st_mode)) return "a named pipe";
  if (S_ISSOCK(status.st_mode)) return "a socket";
  return "a device";
}

// Opened as a file stream opens a file: never waiting, and only when it is a regular file by
// the time it is opened.
bool StartsWith(const std::string& path, std::string_view start) {
  try {
    TFileStream file(path, TFileStream::Mode::OpenRead);
    std::string head(start.size(), '\0');
    return file.Read(head.data(), head.size()) == head.size() && head == start;
  } catch (const Exception&) {
    return false;
  }
}

LoadedPicture LoadPicture(const std::string& path) {
  LoadedPicture result;
  if (DeferredTermination::Pending()) return result;  // the check is not reported: no need to look
  result.NotRegular = NotARegularFile(path);
  try {
    TPicture picture;
    picture.LoadFromFile(path);
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic())) {
      jpeg->Bitmap();
      if (jpeg->DecodeWarning() != 0) result.Warning = jpeg->DecodeWarningText();
    }
    result.Width = picture.Width();
    result.Height = picture.Height();
  } catch (const Exception& error) {
    result.Error = Cp1251ToUtf8(PictureErrorInWords(error));
    if (result.NotRegular.empty() && StartsWith(path, kPngSignature))
      result.Note = ": the file is a PNG picture, not a JPEG";
  }
  return result;
}

enum class LineText { Ascii, Utf8, Other };

LineText TextOf(std::string_view line) {
  if (std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; }))
    return LineText::Ascii;
  return DecodeUtf8(line).find(U'\uFFFD') == std::u32string::npos ? LineText::Utf8
                                                                  : LineText::Other;
}

// How the text of a set file is encoded, from one reading of all its lines.
struct SetFileText {
  bool ByteOrderMark = false;
  std::optional<std::size_t> FirstUtf8;  // the first line that is UTF-8 and not ASCII
  bool Utf8 = false;                     // such a line, and none in another encoding
};

SetFileText ReadText(const std::string& path) {
  SetFileText text;
  TextFile file;
  file.Reset(path);
  bool other = false;
  for (std::size_t i = 0; !file.Eof(); ++i) {
    std::string line = file.ReadLn();
    if (i == 0 && line.starts_with(kByteOrderMark)) {
      text.ByteOrderMark = true;
      line.erase(0, kByteOrderMark.size());
    }
    const LineText kind = TextOf(line);
    other = other || kind == LineText::Other;
    if (kind == LineText::Utf8 && !text.FirstUtf8) text.FirstUtf8 = i;
  }
  text.Utf8 = text.FirstUtf8 && !other;
  return text;
}

// The lines of a file read one at a time, with the next few in view.
class LineWindow {
 public:
  explicit LineWindow(TextFile& file) : FFile(file) {}
  // The line this many lines after the current one; none past the end of the file.
  const std::string* Ahead(std::size_t ahead) {
    while (FLines.size() <= ahead && !FFile.Eof()) FLines.push_back(FFile.ReadLn());
    return ahead < FLines.size() ? &FLines[ahead] : nullptr;
  }
  // The current line's index, from 0.
  std::size_t Index() const { return FIndex; }
  void Skip(std::size_t count) {
    for (; count > 0 && Ahead(0); --count, ++FIndex) FLines.pop_front();
  }

 private:
  TextFile& FFile;
  std::deque<std::string> FLines;
  std::size_t FIndex = 0;
};

// "four lines"
std::string LinesInWords(std::size_t count) {
  static constexpr const char* kWords[] = {"no", "one", "two", "three", "four"};
  return std::string(count < std::size(kWords) ? kWords[count] : "five") +
         (count == 1 ? " line" : " lines");
}

// The first question to use a picture file, to compare later ones with.
struct FirstUse {
  int Number = 0;
  std::size_t Index = 0;
  std::string RightAnswer;
};

class SetFileChecker {
 public:
  SetFileChecker(const std::string& folder, std::string_view setPath, const AnswerFace& face,
                 std::map<std::string, LoadedPicture>& pictures, std::size_t kept,
                 Findings& findings, CheckedSetFile& result)
      : FFolder(folder),
        FPath(JoinPath(folder, setPath)),
        FRussian(setPath == kRussianSetPath),
        FFace(face),
        FFinder(folder),
        FPictures(pictures),
        FKept(kept),
        FFindings(findings),
        FResult(result) {
    FCanvas.Font().Assign(face.Font);
  }

  void Run() {
    const std::size_t first = FFindings.All.size();
    if (Readable()) {
      try {
        CheckText();
        TextFile file;
        file.Reset(FPath);
        LineWindow lines(file);
        const std::optional<std::int32_t> count = CheckCount(lines.Ahead(0));
        lines.Skip(1);
        FResult.Questions = CheckRecords(lines);
        if (count && *count > 0 && *count != FResult.Questions) ReportCountMismatch(*count);
      } catch (const Exception& error) {
        Report(Finding::Level::Error, std::nullopt,
               "cannot be read: " + Cp1251ToUtf8(error.Message()));
      }
    }
    FFindings.SortByLine(first);
  }

 private:
  // A finding at a line (an index from 0) or about the whole file.
  void Report(Finding::Level level, std::optional<std::size_t> index, std::string text) {
    const int line = index ? static_cast<int>(*index + 1) : 0;
    if (FQuestion) {
      FQuestion->Problems.push_back({FPath, line, level, text});
    } else if (!FInRecord) {
      FResult.AboutTheFile.push_back({FPath, line, level, text});
    }
    if (level == Finding::Level::Error) {
      FFindings.Error(FPath, line, std::move(text));
    } else {
      FFindings.Warning(FPath, line, std::move(text));
    }
  }
  void Error(std::size_t index, std::string text) {
    Report(Finding::Level::Error, index, std::move(text));
  }
  void Warning(std::size_t index, std::string text) {
    Report(Finding::Level::Warning, index, std::move(text));
  }

  // A line of the file for the terminal, as the quiz would show it (or as it was written,
  // when the file is UTF-8), cut short when long.
  std::string Shown(std::string_view line) const {
    if (FText.Utf8) return Quoted(line.substr(0, 4 * (kQuoteLimit + 1)));
    return Quoted(Cp1251ToUtf8(line.substr(0, kQuoteLimit + 1)));
  }

  bool Readable() {
    if (const std::string kind = NotARegularFile(FPath); !kind.empty()) {
      Report(Finding::Level::Error, std::nullopt,
             "is not a regular file but " + kind + ": the quiz cannot read it");
      return false;
    }
    if (!FileExists(FPath)) {
      Report(Finding::Level::Error, std::nullopt,
             "missing: the quiz needs both ris/fen.ani and ris/fru.ani, whichever "
             "language is chosen, and will not start without them");
      return false;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(FPath, error);
    if (!error && size > kMaxSetFileBytes) {
      Report(Finding::Level::Error, std::nullopt,
             "holds " + std::to_string(size >> 20) + " MiB, more than any question set (at most " +
                 std::to_string(kMaxSetFileBytes >> 20) + " MiB): not checked");
      return false;
    }
    return true;
  }

  void CheckText() {
    FText = ReadText(FPath);
    if (FText.ByteOrderMark) {
      Warning(0,
              "the file starts with a byte-order mark, which the quiz takes as part of the "
              "count; remove it with: sed -i '1s/^\\xEF\\xBB\\xBF//' " +
                  FPath);
    }
    if (!FText.Utf8) return;
    const std::string convert =
        "iconv -f UTF-8 -t CP1251 " + FPath + " > fixed.ani && mv fixed.ani " + FPath;
    if (FRussian) {
      Error(*FText.FirstUtf8,
            "the text is UTF-8, but the Russian set must be Windows-1251: the quiz shows every "
            "Russian answer garbled; convert it with: " +
                convert);
    } else {
      Warning(*FText.FirstUtf8,
              "the text is UTF-8, which the quiz shows garbled; convert it to Windows-1251 "
              "with: " +
                  convert);
    }
  }

  std::optional<std::int32_t> CheckCount(const std::string* countLine) {
    const std::string line = countLine ? *countLine : std::string();
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
  int CheckRecords(LineWindow& lines) {
    int questions = 0;
    bool ended = false;
    while (const std::string* line = lines.Ahead(0)) {
      if (line->empty()) {
        const std::size_t blank = lines.Index();
        while (lines.Ahead(0) && lines.Ahead(0)->empty()) lines.Skip(1);
        if (!lines.Ahead(0)) break;
        if (!ended) {
          Error(blank,
                "blank line where a picture name is due: the quiz ends here and never "
                "asks the questions after it");
        }
        ended = true;
        continue;
      }
      ++questions;
      lines.Skip(CheckRecord(lines, questions));
    }
    return questions;
  }

  // Checks the record at the current line; its length in lines.
  std::size_t CheckRecord(LineWindow& lines, int number) {
    const std::size_t start = lines.Index();
    CheckedQuestion* kept = nullptr;
    if (FResult.First.size() < FKept) {
      kept = &FResult.First.emplace_back();
      kept->Number = number;
      kept->Line = static_cast<int>(start + 1);
      kept->PictureName = *lines.Ahead(0);
    }
    FQuestion = kept;
    FInRecord = true;
    const PictureLocation picture = CheckPicture(start, *lines.Ahead(0));
    if (kept) kept->PicturePath = picture.Path;

    std::size_t length = kRecordLines;
    if (const std::size_t shortLength = ShortRecordLength(lines, picture.Match)) {
      length = shortLength;
      Error(start + length,
            "question " + std::to_string(number) + " has only " + LinesInWords(length) + ": " +
                Shown(*lines.Ahead(length)) + " on line " + std::to_string(start + length + 1) +
                " looks like the next picture name; the quiz reads it as an answer and every "
                "later question one line off");
    }
    AnswerSlots answers;
    std::size_t read = 0;
    for (; read + 1 < length && lines.Ahead(read + 1); ++read)
      answers[read] = *lines.Ahead(read + 1);
    if (read + 1 < kRecordLines && length == kRecordLines) {
      Error(start, "question " + std::to_string(number) + " is cut short: the file ends after " +
                       std::to_string(read) + " of its " + std::to_string(kAnswerCount) +
                       " answers, and the missing ones show as blank buttons");
    }
    for (std::size_t k = 0; k < read; ++k) CheckAnswer(start + 1 + k, answers, k);
    if (!picture.Path.empty()) CheckSharedPicture(start, number, picture.Path, answers[0]);
    if (kept) {
      kept->Answers = answers;
      std::stable_sort(kept->Problems.begin(), kept->Problems.end(),
                       [](const Finding& a, const Finding& b) { return a.Line < b.Line; });
    }
    FQuestion = nullptr;
    FInRecord = false;
    return length;
  }

  // Whether a line names a picture file as its own picture-name line would: an answer may
  // name one only ignoring case ("Rose" for rose.jpg), which does not count.
  bool NamesPicture(const std::string* line) {
    return line && !line->empty() && Locate(*line, false).Match != PictureMatch::None;
  }
  // The same name is often looked up again, as a question's picture after it was looked at
  // ahead, or as the same answer on every question.
  PictureLocation Locate(const std::string& name, bool ignoringCase = true) {
    constexpr std::size_t kRemembered = 4096;
    constexpr std::size_t kLongestRemembered = 256;
    if (name.size() > kLongestRemembered) return FFinder.Locate(name, ignoringCase);
    auto& located = FLocated[ignoringCase];
    if (const auto known = located.find(name); known != located.end()) return known->second;
    if (located.size() == kRemembered) located.clear();
    return located.emplace(name, FFinder.Locate(name, ignoringCase)).first->second;
  }

  // No line, or a blank one: nothing to tell either way.
  static bool Open(const std::string* line) { return !line || line->empty(); }

  // A record whose next picture name stands where one of its answers is due, found by the
  // picture names that line up after it; 0 when the record has its five lines. A next name
  // found only ignoring case, as this record's own, is taken for the next picture.
  std::size_t ShortRecordLength(LineWindow& lines, PictureMatch ownPicture) {
    const std::string* next = lines.Ahead(kRecordLines);
    if (Open(next) || NamesPicture(next)) return 0;
    if (ownPicture == PictureMatch::IgnoringCase &&
        Locate(*next).Match == PictureMatch::IgnoringCase)
      return 0;
    for (std::size_t record = 1; record < kRecordsAhead; ++record) {
      if (NamesPicture(lines.Ahead(kRecordLines * (record + 1))))
        return 0;  // only this one picture is missing
    }
    for (std::size_t length = kRecordLines - 1; length >= 2; --length) {
      bool linesUp = NamesPicture(lines.Ahead(length));
      for (std::size_t record = 1; record < kRecordsAhead && linesUp; ++record) {
        const std::string* line = lines.Ahead(length + kRecordLines * record);
        linesUp = Open(line) || NamesPicture(line);
      }
      if (linesUp) return length;
    }
    return 0;
  }

  void CheckAnswer(std::size_t index, const AnswerSlots& answers, std::size_t k) {
    const std::string& answer = answers[k];
    if (answer.empty()) {
      Error(index, "empty answer: its button shows no text");
      return;
    }
    const auto same =
        std::find(answers.begin(), answers.begin() + static_cast<std::ptrdiff_t>(k), answer);
    if (same == answers.begin() && k > 0) {
      Error(index, "the right answer " + Shown(answer) +
                       " is repeated as a wrong answer: the learner cannot tell right from wrong");
    } else if (same != answers.begin() + static_cast<std::ptrdiff_t>(k)) {
      Error(index, "the wrong answer " + Shown(answer) +
                       " is there twice: the learner sees two identical buttons");
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
    // The width of garbled text says nothing about the text once it is converted.
    if (FText.Utf8 && TextOf(answer) != LineText::Ascii) return;
    const std::int32_t width =
        FCanvas.TextWidth(FFace.ShowAccelChar ? DisplayCaption(answer) : answer);
    if (width > FFace.Width) {
      Warning(index, Shown(answer) + " is " + std::to_string(width) +
                         " pixels wide, its button shows " + std::to_string(FFace.Width) +
                         ": it will be cut at both ends");
    }
  }

  PictureLocation CheckPicture(std::size_t index, const std::string& name) {
    PictureLocation location = Locate(name);
    const std::string wanted = JoinPath(FFolder, PicturePath(Cp1251ToUtf8(name)));
    switch (location.Match) {
      case PictureMatch::None:
        if (const std::string kind = NotARegularFile(wanted); !kind.empty()) {
          Error(index, "picture " + QuotedName(wanted) + " is not a regular file but " + kind +
                           ": the quiz says it is not found and shows the previous picture");
        } else {
          Error(index, "picture " + QuotedName(wanted) +
                           " not found: the quiz says so and shows the previous picture");
        }
        return location;
      case PictureMatch::Exact:
        break;
      case PictureMatch::Converted:
        Warning(index, "picture " + QuotedName(location.Path) +
                           " is found only by reading its name as Windows-1251; programs that take "
                           "names byte for byte miss it");
        break;
      case PictureMatch::Verbatim:
        Warning(index,
                "picture found only by the Windows-1251 bytes of its file name; rename the "
                "file to " +
                    QuotedName(wanted));
        break;
      case PictureMatch::Composed:
        Warning(index, "picture " + QuotedName(location.Path) +
                           " is found only by composing the accents its file name stores apart "
                           "from their letters; programs that take names byte for byte miss it");
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
      const std::string why = picture.NotRegular.empty()
                                  ? "cannot be shown"
                                  : "is not a regular file but " + picture.NotRegular;
      Error(index, "picture " + QuotedName(location.Path) + " " + why + ": the quiz stops with \"" +
                       Shortened(picture.Error) + "\"" + picture.Note);
    } else if (!picture.Warning.empty()) {
      Warning(index, "picture " + QuotedName(location.Path) + " is damaged (" + picture.Warning +
                         "): the quiz shows only part of it");
    }
    if (picture.Error.empty() &&
        (picture.Width != kPictureSide || picture.Height != kPictureSide)) {
      Warning(index, "picture " + QuotedName(location.Path) + " is " +
                         std::to_string(picture.Width) + " x " + std::to_string(picture.Height) +
                         ", not " + std::to_string(kPictureSide) + " x " +
                         std::to_string(kPictureSide) + ": it will be stretched to fit");
    }
    return location;
  }

  void CheckSharedPicture(std::size_t index, int number, const std::string& path,
                          const std::string& rightAnswer) {
    auto [first, added] = FFirstUses.try_emplace(path, FirstUse{number, index, rightAnswer});
    if (added || rightAnswer.empty() || first->second.RightAnswer.empty() ||
        first->second.RightAnswer == rightAnswer)
      return;
    Warning(index, "picture " + QuotedName(path) + " is also question " +
                       std::to_string(first->second.Number) + "'s (line " +
                       std::to_string(first->second.Index + 1) + "), whose right answer is " +
                       Shown(first->second.RightAnswer) + "; here it is " + Shown(rightAnswer) +
                       ": one photo, two right answers");
  }

  void ReportCountMismatch(std::int32_t count) {
    const int questions = FResult.Questions;
    std::string text = "the count line says " + std::to_string(count) + " but the file holds " +
                       Counted(questions, "question");
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
  const bool FRussian;
  const AnswerFace& FFace;
  PictureFinder FFinder;
  std::map<std::string, LoadedPicture>& FPictures;
  const std::size_t FKept;
  Findings& FFindings;
  CheckedSetFile& FResult;
  SetFileText FText;
  CheckedQuestion* FQuestion = nullptr;  // the kept question being checked
  bool FInRecord = false;                // a question is being checked, kept or not
  std::unordered_map<std::string, PictureLocation> FLocated[2];  // by whether case counts
  std::map<std::string, FirstUse> FFirstUses;
  TCanvas FCanvas;
};

}  // namespace

SetCheck CheckQuestionSets(const std::string& folder, const AnswerFace& face,
                           std::size_t keptQuestions) {
  SetCheck check;
  std::map<std::string, LoadedPicture> pictures;
  SetFileChecker(folder, kEnglishSetPath, face, pictures, keptQuestions, check.Problems,
                 check.English)
      .Run();
  SetFileChecker(folder, kRussianSetPath, face, pictures, keptQuestions, check.Problems,
                 check.Russian)
      .Run();
  return check;
}

}  // namespace anthora
