#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "quiz/QuestionSet.h"
#include "runtime/base/Findings.h"

namespace anthora {

// What a path names, through any links, when it is there but not a regular file: "a named
// pipe", "a folder". Empty for a regular file or nothing. Told without opening the path: a
// pipe waits for a writer, and a device may never end.
std::string NotARegularFile(const std::string& path);

// What loading a picture file gave; kept so that a picture named twice is decoded once.
struct LoadedPicture {
  std::string NotRegular;  // what the path names when not a regular file ("a named pipe")
  std::string Error;       // UTF-8; empty when it decoded
  std::string Warning;     // what the decoder had to work around; empty when nothing
  std::string Note;        // what the error comes from, when the file tells ("a PNG picture")
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// The pictures loaded so far, by path.
using LoadedPictures = std::map<std::string, LoadedPicture>;

// Picture names looked up in a set's folder as the quiz looks them up. The same name is often
// looked up again, as a question's picture after it was looked at ahead, or as the same answer
// on every question: the last few thousand are remembered.
class PictureNames {
 public:
  explicit PictureNames(const std::string& folder) : FFinder(folder) {}
  PictureLocation Locate(const std::string& name, bool ignoringCase = true);
  // Whether a line names a picture file as its own picture-name line would: an answer may name
  // one only ignoring case ("Rose" for rose.jpg), which does not count.
  bool Named(const std::string* line);

 private:
  PictureFinder FFinder;
  std::unordered_map<std::string, PictureLocation> FLocated[2];  // by whether case counts
};

// A finding about one line of a set file.
using LineFindings = std::function<void(Finding::Level, std::string)>;

// Finds, loads and decodes the picture a question names in the set's folder, through the
// picture layer, and reports what the quiz would do with it: not find it, find it only another
// way, fail to show it, show part of it or stretch it. Where it was found.
PictureLocation CheckPicture(const std::string& folder, const std::string& name,
                             PictureNames& names, LoadedPictures& loaded,
                             const LineFindings& report);

}  // namespace anthora
