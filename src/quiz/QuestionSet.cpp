#include "quiz/QuestionSet.h"

#include "runtime/base/Cp1251.h"
#include "runtime/files/Files.h"

namespace anthora {

PictureLocation LocatePicture(std::string_view pictureName, std::string_view setFolder) {
  std::string prefix(setFolder);
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  const std::string verbatim = prefix + PicturePath(pictureName);
  const std::string converted = prefix + PicturePath(Cp1251ToUtf8(pictureName));
  const bool ascii = verbatim == converted;
  if (FileExists(converted))
    return {converted, ascii ? PictureMatch::Exact : PictureMatch::Converted};
  if (!ascii && FileExists(verbatim)) return {verbatim, PictureMatch::Verbatim};
  std::string found = FindFileIgnoringCase(converted);
  if (found.empty()) return {};
  return {std::move(found), PictureMatch::IgnoringCase};
}

}  // namespace anthora
