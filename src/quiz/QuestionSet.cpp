#include "quiz/QuestionSet.h"

#include "platform/Utf8.h"
#include "runtime/base/Composition.h"
#include "runtime/base/Cp1251.h"
#include "runtime/files/Files.h"

namespace anthora {

PictureLocation LocatePicture(std::string_view pictureName, std::string_view setFolder) {
  return PictureFinder(setFolder).Locate(pictureName);
}

PictureFinder::PictureFinder(std::string_view setFolder) : FPrefix(setFolder) {
  if (!FPrefix.empty() && FPrefix.back() != '/') FPrefix += '/';
}

PictureLocation PictureFinder::Locate(std::string_view pictureName, bool ignoringCase) {
  const std::string verbatim = FPrefix + PicturePath(pictureName);
  const std::string converted = FPrefix + PicturePath(Cp1251ToUtf8(pictureName));
  const bool ascii = verbatim == converted;
  if (FileExists(converted))
    return {converted, ascii ? PictureMatch::Exact : PictureMatch::Converted};
  if (!ascii && FileExists(verbatim)) return {verbatim, PictureMatch::Verbatim};
  // An ASCII name differs from no other name in its accents alone.
  if ((!ignoringCase && ascii) || !IsPlainPath(converted)) return {};
  const std::string_view folder(converted.data(), converted.rfind('/') + 1);
  auto listed = FFolders.find(folder);
  if (listed == FFolders.end())
    listed = FFolders.emplace(std::string(folder), CaseBlindFolder(std::string(folder))).first;
  std::string found = listed->second.Find(std::string_view(converted).substr(folder.size()));
  if (found.empty()) return {};
  const std::string_view name = std::string_view(found).substr(folder.size());
  const bool accentsOnly = Composed(DecodeUtf8(name)) ==
                           Composed(DecodeUtf8(std::string_view(converted).substr(folder.size())));
  if (accentsOnly) return {std::move(found), PictureMatch::Composed};
  if (!ignoringCase) return {};
  return {std::move(found), PictureMatch::IgnoringCase};
}

}  // namespace anthora
