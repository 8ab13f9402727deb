#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "authoring/PictureCheck.h"
#include "runtime/files/TextFile.h"

namespace anthora {

// The lines of a file read one at a time, with the next few in view.
class LineWindow {
 public:
  explicit LineWindow(TextFile& file) : FFile(file) {}
  // The line this many lines after the current one; none past the end of the file.
  const std::string* Ahead(std::size_t ahead);
  // The current line's index, from 0.
  std::size_t Index() const { return FIndex; }
  void Skip(std::size_t count);

 private:
  TextFile& FFile;
  std::deque<std::string> FLines;
  std::size_t FIndex = 0;
};

// The length in lines of the question record at the current line when its next picture name
// stands where one of its answers is due, found by the picture names that line up after it; 0
// when the record has its five lines. A next name found only ignoring case, as this record's
// own picture was, is taken for the next picture.
std::size_t ShortRecordLength(LineWindow& lines, PictureMatch ownPicture, PictureNames& names);

// How many lines a short record has, in words: "four lines".
std::string LinesInWords(std::size_t count);

}  // namespace anthora
