#include "authoring/SetChecker.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

#include "authoring/PictureCheck.h"
#include "authoring/RecordLookAhead.h"
#include "authoring/SetFileEncoding.h"
#include "authoring/ShellAdvice.h"
#include "controls/CaptionText.h"
#include "quiz/Scoring.h"
#include "quiz/SetFile.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/StrToInt.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"
#include "runtime/files/TextFile.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {

namespace {

// The first question to use a picture file, to compare later ones with.
struct FirstUse {
  int Number = 0;
  std::size_t Index = 0;
  std::string RightAnswer;
};

class SetFileChecker {
 public:
  SetFileChecker(const std::string& folder, std::string_view setPath, const AnswerFace& face,
                 LoadedPictures& pictures, std::size_t kept, SetPlace place, Findings& findings,
                 CheckedSetFile& result)
      : FFolder(folder),
        FPlace(place),
        FPath(JoinPath(folder, setPath)),
        FRussian(setPath == kRussianSetPath),
        FFace(face),
        FNames(folder),
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
    FText = SniffEncoding(FPath);
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
                     {RemoveByteOrderMarkCommand(FPath)}));
    }
    if (!FText.Utf8) return;
    const std::string convert = ConvertToWindows1251Command(FPath);
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
    const PictureLocation picture = CheckPicture(
        FFolder, *lines.Ahead(0), FNames, FPictures,
        [&](Finding::Level level, std::string text) { Report(level, start, std::move(text)); });
    if (kept) kept->PicturePath = picture.Path;

    std::size_t length = kRecordLines;
    if (const std::size_t shortLength = ShortRecordLength(lines, picture.Match, FNames)) {
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
  PictureNames FNames;
  LoadedPictures& FPictures;
  const std::size_t FKept;
  Findings& FFindings;
  CheckedSetFile& FResult;
  SetFileEncoding FText;
  CheckedQuestion* FQuestion = nullptr;  // the kept question being checked
  bool FInRecord = false;                // a question is being checked, kept or not
  std::map<std::string, FirstUse> FFirstUses;
  TCanvas FCanvas;
};

}  // namespace

SetCheck CheckQuestionSets(const std::string& folder, const AnswerFace& face,
                           std::size_t keptQuestions, SetPlace place) {
  SetCheck check;
  LoadedPictures pictures;
  SetFileChecker(folder, kEnglishSetPath, face, pictures, keptQuestions, place, check.Problems,
                 check.English)
      .Run();
  SetFileChecker(folder, kRussianSetPath, face, pictures, keptQuestions, place, check.Problems,
                 check.Russian)
      .Run();
  return check;
}

}  // namespace anthora
