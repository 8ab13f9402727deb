#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "quiz/SetFile.h"
#include "runtime/files/Files.h"

namespace anthora {

// The side of a question's square picture as the quiz shows it, in pixels; other sizes are
// stretched to it.
inline constexpr std::int32_t kPictureSide = 230;

// How a question's picture file was found.
enum class PictureMatch {
  None,          // no file
  Exact,         // the name is ASCII and names the file as it stands
  Converted,     // the name, turned from Windows-1251 into UTF-8, names the file
  Verbatim,      // the name's Windows-1251 bytes name the file, as an unpacked archive keeps them
  Composed,      // a file whose name differs only in accents stored apart from their letters
  IgnoringCase,  // a file whose name differs only in letter case
};

struct PictureLocation {
  std::string Path;  // empty when none was found
  PictureMatch Match = PictureMatch::None;
};

// Finds a question's picture the way systems whose file names are in the code page and ignore
// letter case do: the name is read as Windows-1251 and handed to the file system in UTF-8; then
// its bytes as they stand; then a file of the same folder whose name differs only in case or
// in accents stored decomposed. The
// folder of the set (empty for the current folder) is put before "ris/".
PictureLocation LocatePicture(std::string_view pictureName, std::string_view setFolder = {});

// Finds the pictures of many questions as LocatePicture does, reading a folder's names once, at
// its first name that must be matched ignoring case, instead of once per question. For tools
// that look through a whole set while it stays as it is.
class PictureFinder {
 public:
  explicit PictureFinder(std::string_view setFolder = {});
  // Without ignoringCase, only the file names as they stand count, or as they look when their
  // accents are stored apart.
  PictureLocation Locate(std::string_view pictureName, bool ignoringCase = true);

 private:
  std::string FPrefix;  // the set's folder with its "/"; empty for the current one
  std::map<std::string, CaseBlindFolder, std::less<>> FFolders;
};

}  // namespace anthora
