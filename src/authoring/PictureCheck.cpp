#include "authoring/PictureCheck.h"

#include <sys/stat.h>

#include <string_view>

#include "picture/Jpeg.h"
#include "picture/Photo.h"
#include "picture/Picture.h"
#include "picture/PictureError.h"
#include "platform/posix/DeferredTermination.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/FileStream.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"

namespace anthora {

namespace {

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

// Where the picture was found, when it was found some other way than by its name as it stands.
void ReportMatch(const PictureLocation& location, const std::string& wanted,
                 const LineFindings& report) {
  constexpr Finding::Level kWarning = Finding::Level::Warning;
  switch (location.Match) {
    case PictureMatch::None:
    case PictureMatch::Exact:
      return;
    case PictureMatch::Converted:
      report(kWarning, Format(Tr("picture %s is found only by reading its name as Windows-1251; "
                                 "programs that take names byte for byte miss it"),
                              {QuotedName(location.Path)}));
      return;
    case PictureMatch::Verbatim:
      report(kWarning,
             Format(Tr("picture found only by the Windows-1251 bytes of its file name; rename "
                       "the file to %s"),
                    {QuotedName(wanted)}));
      return;
    case PictureMatch::Composed:
      report(kWarning, Format(Tr("picture %s is found only by composing the accents its file "
                                 "name stores apart from their letters; programs that take names "
                                 "byte for byte miss it"),
                              {QuotedName(location.Path)}));
      return;
    case PictureMatch::IgnoringCase:
      // TRANSLATORS: %1$s is the name the set gives, %2$s the file found.
      report(kWarning, Format(Tr("picture %1$s is found only by ignoring letter case, as %2$s; "
                                 "rename one to match the other"),
                              {QuotedName(wanted), QuotedName(location.Path)}));
      return;
  }
}

// What the quiz makes of the picture file once found.
void ReportLoaded(const std::string& path, const LoadedPicture& picture,
                  const LineFindings& report) {
  if (!picture.Error.empty()) {
    // TRANSLATORS: the last %s is the quiz's own error message, which stays in English.
    std::string text =
        picture.NotRegular.empty()
            ? Format(Tr("picture %1$s cannot be shown: the quiz stops with \"%2$s\""),
                     {QuotedName(path), Shortened(picture.Error)})
            : Format(Tr("picture %1$s is not a regular file but %2$s: the quiz stops with "
                        "\"%3$s\""),
                     {QuotedName(path), picture.NotRegular, Shortened(picture.Error)});
    // TRANSLATORS: a finding, then what it comes from.
    if (!picture.Note.empty()) text = Format(Tr("%1$s: %2$s"), {text, picture.Note});
    report(Finding::Level::Error, std::move(text));
  } else if (!picture.Warning.empty()) {
    // TRANSLATORS: %2$s is the picture reader's own words, in English.
    report(Finding::Level::Warning,
           Format(Tr("picture %1$s is damaged (%2$s): the quiz shows only part of it"),
                  {QuotedName(path), picture.Warning}));
  }
  if (picture.Error.empty() && (picture.Width != kPictureSide || picture.Height != kPictureSide)) {
    // TRANSLATORS: the picture's width and height, then the size the quiz shows.
    report(Finding::Level::Warning,
           Format(Tr("picture %1$s is %2$d x %3$d, not %4$d x %4$d: it will be "
                     "stretched to fit"),
                  {QuotedName(path), picture.Width, picture.Height, kPictureSide}));
  }
}

}  // namespace

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

PictureLocation PictureNames::Locate(const std::string& name, bool ignoringCase) {
  constexpr std::size_t kRemembered = 4096;
  constexpr std::size_t kLongestRemembered = 256;
  if (name.size() > kLongestRemembered) return FFinder.Locate(name, ignoringCase);
  auto& located = FLocated[ignoringCase];
  if (const auto known = located.find(name); known != located.end()) return known->second;
  if (located.size() == kRemembered) located.clear();
  return located.emplace(name, FFinder.Locate(name, ignoringCase)).first->second;
}

bool PictureNames::Named(const std::string* line) {
  return line && !line->empty() && Locate(*line, false).Match != PictureMatch::None;
}

PictureLocation CheckPicture(const std::string& folder, const std::string& name,
                             PictureNames& names, LoadedPictures& loaded,
                             const LineFindings& report) {
  PictureLocation location = names.Locate(name);
  const std::string wanted = JoinPath(folder, PicturePath(Cp1251ToUtf8(name)));
  if (location.Match == PictureMatch::None) {
    if (const std::string kind = NotARegularFile(wanted); !kind.empty()) {
      // TRANSLATORS: %2$s is what the path is instead: "a folder", "a named pipe"...
      report(Finding::Level::Error,
             Format(Tr("picture %1$s is not a regular file but %2$s: the quiz says it "
                       "is not found and shows the previous picture"),
                    {QuotedName(wanted), kind}));
    } else {
      report(Finding::Level::Error,
             Format(Tr("picture %s not found: the quiz says so and shows the previous "
                       "picture"),
                    {QuotedName(wanted)}));
    }
    return location;
  }
  ReportMatch(location, wanted, report);
  auto [entry, added] = loaded.try_emplace(location.Path);
  if (added) entry->second = LoadPicture(location.Path);
  ReportLoaded(location.Path, entry->second, report);
  return location;
}

}  // namespace anthora
