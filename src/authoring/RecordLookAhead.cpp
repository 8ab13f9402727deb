#include "authoring/RecordLookAhead.h"

#include <algorithm>
#include <iterator>

#include "quiz/SetFile.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

// Question records looked at ahead to tell a short record from a missing picture.
constexpr std::size_t kRecordsAhead = 3;

// No line, or a blank one: nothing to tell either way.
bool Open(const std::string* line) {
  return !line || line->empty();
}

}  // namespace

const std::string* LineWindow::Ahead(std::size_t ahead) {
  while (FLines.size() <= ahead && !FFile.Eof()) FLines.push_back(FFile.ReadLn());
  return ahead < FLines.size() ? &FLines[ahead] : nullptr;
}

void LineWindow::Skip(std::size_t count) {
  for (; count > 0 && Ahead(0); --count, ++FIndex) FLines.pop_front();
}

std::string LinesInWords(std::size_t count) {
  // TRANSLATORS: how many lines a question has, as in "question 3 has only four lines".
  const char* const words[] = {Tr("no lines"),    Tr("one line"),   Tr("two lines"),
                               Tr("three lines"), Tr("four lines"), Tr("five lines")};
  return words[std::min<std::size_t>(count, std::size(words) - 1)];
}

std::size_t ShortRecordLength(LineWindow& lines, PictureMatch ownPicture, PictureNames& names) {
  const std::string* next = lines.Ahead(kRecordLines);
  if (Open(next) || names.Named(next)) return 0;
  if (ownPicture == PictureMatch::IgnoringCase &&
      names.Locate(*next).Match == PictureMatch::IgnoringCase)
    return 0;
  for (std::size_t record = 1; record < kRecordsAhead; ++record) {
    if (names.Named(lines.Ahead(kRecordLines * (record + 1))))
      return 0;  // only this one picture is missing
  }
  for (std::size_t length = kRecordLines - 1; length >= 2; --length) {
    bool linesUp = names.Named(lines.Ahead(length));
    for (std::size_t record = 1; record < kRecordsAhead && linesUp; ++record) {
      const std::string* line = lines.Ahead(length + kRecordLines * record);
      linesUp = Open(line) || names.Named(line);
    }
    if (linesUp) return length;
  }
  return 0;
}

}  // namespace anthora
