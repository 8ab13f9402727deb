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
#include "runtime/base/Format.h"
#include "runtime/base/ShellWord.h"
#include "runtime/base/StrToInt.h"
#include "runtime/base/Translate.h"
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
  // TRANSLATORS: what a path is when it is not a regular file, as in "is not a regular file but
  // a folder".
  if (S_ISDIR(status.st_mode)) return Tr("a folder");
  if (S_ISFIFO(status.st_mode)) return Tr("a named pipe");
  if (S_ISSOCK(status.st_mode)) return Tr("a socket");
  return Tr("a device");
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
      result.Note = Tr("the file is a PNG picture, not a JPEG");
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
  // TRANSLATORS: how many lines a question has, as in "question 3 has only four lines".
  const char* const words[] = {Tr("no lines"),    Tr("one line"),   Tr("two lines"),
                               Tr("three lines"), Tr("four lines"), Tr("five lines")};
  return words[std::min<std::size_t>(count, std::size(words) - 1)];
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
                 std::map<std::string, LoadedPicture>& pictures, std::size_t kept, SetPlace place,
                 Findings& findings, CheckedSetFile& result)
      : FFolder(folder),
        FPlace(place),
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
               Format(Tr("cannot be read: %s"), {Cp1251ToUtf8(error.Message())}));
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
             Format(Tr("is not a regular file but %s: the quiz cannot read it"), {kind}));
      return false;
    }
    if (!FileExists(FPath)) {
      Report(Finding::Level::Error, std::nullopt,
             Tr("missing: the quiz needs both ris/fen.ani and ris/fru.ani, whichever "
                "language is chosen, and will not start without them"));
      return false;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(FPath, error);
    if (!error && size > kMaxSetFileBytes) {
      Report(Finding::Level::Error, std::nullopt,
             Format(Tr("holds %d MiB, more than any question set (at most %d MiB): not checked"),
                    {size >> 20, kMaxSetFileBytes >> 20}));
      return false;
    }
    return true;
  }

  void CheckText() {
    FText = ReadText(FPath);
    // The files of a set file are out of reach: only making it again changes them.
    if (FPlace == SetPlace::SetFile) {
      if (FText.ByteOrderMark) {
        Warning(0, Tr("the file starts with a byte-order mark, which the quiz takes as part of "
                      "the count; remove it from the set's source and build or pack the set "
                      "file again"));
      }
      if (FText.Utf8 && FRussian) {
        Error(*FText.FirstUtf8,
              Tr("the text is UTF-8, but the Russian set must be Windows-1251: the quiz shows "
                 "every Russian answer garbled; build the set file again from its sheet, or "
                 "convert ris/fru.ani in the folder it was packed from to Windows-1251 and "
                 "pack it again"));
      } else if (FText.Utf8) {
        Warning(*FText.FirstUtf8,
                Tr("the text is UTF-8, which the quiz shows garbled; build the set file again "
                   "from its sheet, or convert ris/fen.ani in the folder it was packed from to "
                   "Windows-1251 and pack it again"));
      }
      return;
    }
    if (FText.ByteOrderMark) {
      Warning(0,
              // TRANSLATORS: %s is a shell command to paste as it is.
              Format(Tr("the file starts with a byte-order mark, which the quiz takes as part of "
                        "the count; remove it with: %s"),
                     {"sed -i '1s/^\\xEF\\xBB\\xBF//' " + ShellPath(FPath)}));
    }
    if (!FText.Utf8) return;
    const std::string convert = "iconv -f UTF-8 -t CP1251 " + ShellPath(FPath) +
                                " > fixed.ani && mv fixed.ani " + ShellPath(FPath);
    if (FRussian) {
      // TRANSLATORS: %s is a shell command to paste as it is.
      Error(*FText.FirstUtf8, Format(Tr("the text is UTF-8, but the Russian set must be "
                                        "Windows-1251: the quiz shows every Russian answer "
                                        "garbled; convert it with: %s"),
                                     {convert}));
    } else {
      // TRANSLATORS: %s is a shell command to paste as it is.
      Warning(*FText.FirstUtf8, Format(Tr("the text is UTF-8, which the quiz shows garbled; "
                                          "convert it to Windows-1251 with: %s"),
                                       {convert}));
    }
  }

  std::optional<std::int32_t> CheckCount(const std::string* countLine) {
    const std::string line = countLine ? *countLine : std::string();
    std::int32_t count = 0;
    try {
      count = StrToInt(line);
    } catch (const EConvertError& error) {
      // TRANSLATORS: %s is the quiz's own error message, which stays in English.
      Error(0, Format(Tr("the count line must be a whole number: the quiz stops with \"%s\""),
                      {Shortened(Cp1251ToUtf8(error.Message()))}));
      return std::nullopt;
    }
    if (count == 0) {
      Error(0, Tr("the count is 0: the quiz fails with \"Invalid floating point operation\" "
                  "at the first question"));
    } else if (count < 0) {
      Error(0, Format(Tr("the count is %d: the quiz cannot start with a negative number of "
                         "questions"),
                      {count}));
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
          Error(blank, Tr("blank line where a picture name is due: the quiz ends here and never "
                          "asks the questions after it"));
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
      Error(
          start + length,
          // TRANSLATORS: %1$d is the question's number, %2$s how many lines it has ("four
          // lines"), %3$s the quoted line and %4$d its number.
          Format(Tr("question %1$d has only %2$s: %3$s on line %4$d looks like the next "
                    "picture name; the quiz reads it as an answer and every later question "
                    "one line off"),
                 {number, LinesInWords(length), Shown(*lines.Ahead(length)), start + length + 1}));
    }
    AnswerSlots answers;
    std::size_t read = 0;
    for (; read + 1 < length && lines.Ahead(read + 1); ++read)
      answers[read] = *lines.Ahead(read + 1);
    if (read + 1 < kRecordLines && length == kRecordLines) {
      // TRANSLATORS: %1$d is the question's number, %2$d how many answers were read of its
      // %3$d.
      Error(start, Format(Tr("question %1$d is cut short: the file ends after %2$d of its %3$d "
                             "answers, and the missing ones show as blank buttons"),
                          {number, read, kAnswerCount}));
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
      Error(index, Tr("empty answer: its button shows no text"));
      return;
    }
    const auto same =
        std::find(answers.begin(), answers.begin() + static_cast<std::ptrdiff_t>(k), answer);
    if (same == answers.begin() && k > 0) {
      Error(index, Format(Tr("the right answer %s is repeated as a wrong answer: the learner "
                             "cannot tell right from wrong"),
                          {Shown(answer)}));
    } else if (k > 0 && same == answers.begin() + static_cast<std::ptrdiff_t>(k) && !FText.Utf8 &&
               LowerCp1251(answer) == LowerCp1251(answers[0])) {
      // Garbled UTF-8 letters have no case to compare.
      Error(index, Format(Tr("the right answer %s is repeated as the wrong answer %s, which "
                             "differs only in letter case: the learner cannot tell right from "
                             "wrong"),
                          {Shown(answers[0]), Shown(answer)}));
    } else if (same != answers.begin() + static_cast<std::ptrdiff_t>(k)) {
      Error(index, Format(Tr("the wrong answer %s is there twice: the learner sees two "
                             "identical buttons"),
                          {Shown(answer)}));
    }
    if (FFace.ShowAccelChar && answer.find('&') != std::string::npos) {
      Warning(index, Format(Tr("'&' in %s is not shown: the button underlines the letter after "
                               "it instead"),
                            {Shown(answer)}));
    }
    if (answer.front() == ' ' || answer.back() == ' ' || answer.front() == '\t' ||
        answer.back() == '\t') {
      Warning(index,
              Format(Tr("blanks at an end of %s belong to the answer and shift it on its button"),
                     {Shown(answer)}));
    }
    // The width of garbled text says nothing about the text once it is converted.
    if (FText.Utf8 && TextOf(answer) != LineText::Ascii) return;
    const std::int32_t width =
        FCanvas.TextWidth(FFace.ShowAccelChar ? DisplayCaption(answer) : answer);
    if (width > FFace.Width) {
      // TRANSLATORS: %1$s is the answer, %2$d its width and %3$d its button's, in pixels.
      Warning(index, Format(Tr("%1$s is %2$d pixels wide, its button shows %3$d: it will be cut "
                               "at both ends"),
                            {Shown(answer), width, FFace.Width}));
    }
  }

  PictureLocation CheckPicture(std::size_t index, const std::string& name) {
    PictureLocation location = Locate(name);
    const std::string wanted = JoinPath(FFolder, PicturePath(Cp1251ToUtf8(name)));
    switch (location.Match) {
      case PictureMatch::None:
        if (const std::string kind = NotARegularFile(wanted); !kind.empty()) {
          // TRANSLATORS: %2$s is what the path is instead: "a folder", "a named pipe"...
          Error(index, Format(Tr("picture %1$s is not a regular file but %2$s: the quiz says it "
                                 "is not found and shows the previous picture"),
                              {QuotedName(wanted), kind}));
        } else {
          Error(index, Format(Tr("picture %s not found: the quiz says so and shows the previous "
                                 "picture"),
                              {QuotedName(wanted)}));
        }
        return location;
      case PictureMatch::Exact:
        break;
      case PictureMatch::Converted:
        Warning(index, Format(Tr("picture %s is found only by reading its name as Windows-1251; "
                                 "programs that take names byte for byte miss it"),
                              {QuotedName(location.Path)}));
        break;
      case PictureMatch::Verbatim:
        Warning(index,
                Format(Tr("picture found only by the Windows-1251 bytes of its file name; rename "
                          "the file to %s"),
                       {QuotedName(wanted)}));
        break;
      case PictureMatch::Composed:
        Warning(index, Format(Tr("picture %s is found only by composing the accents its file "
                                 "name stores apart from their letters; programs that take names "
                                 "byte for byte miss it"),
                              {QuotedName(location.Path)}));
        break;
      case PictureMatch::IgnoringCase:
        // TRANSLATORS: %1$s is the name the set gives, %2$s the file found.
        Warning(index, Format(Tr("picture %1$s is found only by ignoring letter case, as %2$s; "
                                 "rename one to match the other"),
                              {QuotedName(wanted), QuotedName(location.Path)}));
        break;
    }
    auto [entry, added] = FPictures.try_emplace(location.Path);
    if (added) entry->second = LoadPicture(location.Path);
    const LoadedPicture& picture = entry->second;
    if (!picture.Error.empty()) {
      // TRANSLATORS: the last %s is the quiz's own error message, which stays in English.
      std::string text =
          picture.NotRegular.empty()
              ? Format(Tr("picture %1$s cannot be shown: the quiz stops with \"%2$s\""),
                       {QuotedName(location.Path), Shortened(picture.Error)})
              : Format(Tr("picture %1$s is not a regular file but %2$s: the quiz stops with "
                          "\"%3$s\""),
                       {QuotedName(location.Path), picture.NotRegular, Shortened(picture.Error)});
      // TRANSLATORS: a finding, then what it comes from.
      if (!picture.Note.empty()) text = Format(Tr("%1$s: %2$s"), {text, picture.Note});
      Error(index, std::move(text));
    } else if (!picture.Warning.empty()) {
      // TRANSLATORS: %2$s is the picture reader's own words, in English.
      Warning(index, Format(Tr("picture %1$s is damaged (%2$s): the quiz shows only part of it"),
                            {QuotedName(location.Path), picture.Warning}));
    }
    if (picture.Error.empty() &&
        (picture.Width != kPictureSide || picture.Height != kPictureSide)) {
      // TRANSLATORS: the picture's width and height, then the size the quiz shows.
      Warning(index,
              Format(Tr("picture %1$s is %2$d x %3$d, not %4$d x %4$d: it will be "
                        "stretched to fit"),
                     {QuotedName(location.Path), picture.Width, picture.Height, kPictureSide}));
    }
    return location;
  }

  void CheckSharedPicture(std::size_t index, int number, const std::string& path,
                          const std::string& rightAnswer) {
    auto [first, added] = FFirstUses.try_emplace(path, FirstUse{number, index, rightAnswer});
    if (added || rightAnswer.empty() || first->second.RightAnswer.empty() ||
        first->second.RightAnswer == rightAnswer)
      return;
    // TRANSLATORS: %2$d is the number of the question that uses the picture first, %3$d its
    // line and %4$s its right answer; %5$s is this question's. The translation ends with the
    // translation of ": one photo, two right answers", which the builder looks for.
    Warning(index, Format(Tr("picture %1$s is also question %2$d's (line %3$d), whose right "
                             "answer is %4$s; here it is %5$s: one photo, two right answers"),
                          {QuotedName(path), first->second.Number, first->second.Index + 1,
                           Shown(first->second.RightAnswer), Shown(rightAnswer)}));
  }

  void ReportCountMismatch(std::int32_t count) {
    const int questions = FResult.Questions;
    const auto many = static_cast<unsigned long>(questions);
    std::string text;
    if (count < questions) {
      // TRANSLATORS: %1$d is the count the file states, %2$d the questions it holds.
      text = Format(TrN("the count line says %1$d but the file holds %2$d question: more right "
                        "answers than %1$d give a grade over 5 and a status beyond the top rank",
                        "the count line says %1$d but the file holds %2$d questions: more right "
                        "answers than %1$d give a grade over 5 and a status beyond the top rank",
                        many),
                    {count, questions});
    } else if (questions == 0) {
      // TRANSLATORS: %1$d is the count the file states, %2$s the best grade then.
      text = Format(Tr("the count line says %1$d but the file holds no questions: the grade is "
                       "out of %1$d, so even every answer right gives only %2$s"),
                    {count, GradeText(questions, count)});
    } else {
      // TRANSLATORS: %1$d is the count the file states, %2$d the questions it holds, %3$s the
      // best grade then.
      text = Format(TrN("the count line says %1$d but the file holds %2$d question: the grade "
                        "is out of %1$d, so even every answer right gives only %3$s",
                        "the count line says %1$d but the file holds %2$d questions: the grade "
                        "is out of %1$d, so even every answer right gives only %3$s",
                        many),
                    {count, questions, GradeText(questions, count)});
    }
    Error(0, std::move(text));
  }

  const std::string& FFolder;
  const SetPlace FPlace;
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
                           std::size_t keptQuestions, SetPlace place) {
  SetCheck check;
  std::map<std::string, LoadedPicture> pictures;
  SetFileChecker(folder, kEnglishSetPath, face, pictures, keptQuestions, place, check.Problems,
                 check.English)
      .Run();
  SetFileChecker(folder, kRussianSetPath, face, pictures, keptQuestions, place, check.Problems,
                 check.Russian)
      .Run();
  return check;
}

}  // namespace anthora
