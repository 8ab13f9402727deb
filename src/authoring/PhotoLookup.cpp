#include "authoring/PhotoLookup.h"

#include <algorithm>
#include <string_view>
#include <system_error>
#include <vector>

#include "runtime/base/Cp1251.h"
#include "runtime/base/EditDistance.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"
#include "runtime/files/Paths.h"

namespace anthora {

namespace fs = std::filesystem;

namespace {

// Whether a picture cell names a file outside the folder it is read from.
bool LeavesFolder(std::string_view cell) {
  if (cell.starts_with('/')) return true;
  for (std::size_t start = 0; start <= cell.size();) {
    const std::size_t end = std::min(cell.find('/', start), cell.size());
    if (cell.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

// The files a picture cell may name under SOURCE.
std::vector<std::string> FindPhotos(const std::string& source, const std::string& cell) {
  const std::string path = JoinPath(source, cell);
  std::vector<std::string> found = FindFilesIgnoringCase(path);
  const std::string_view name = std::string_view(cell).substr(cell.rfind('/') + 1);
  if (found.empty() && name.find('.') == std::string_view::npos) {
    for (const std::string_view extension : kPhotoExtensions) {
      found = FindFilesIgnoringCase(path + std::string(extension));
      if (!found.empty()) break;
    }
  }
  return found;
}

// "'a.jpg', 'A.jpg' and 'A.JPG'", at most five of them and how many more.
std::string NamesOf(const std::vector<std::string>& photos) {
  std::vector<std::string> names;
  for (const std::string& photo : photos)
    names.push_back(QuotedName(photo.substr(photo.rfind('/') + 1)));
  return Enumerated(names, 5);
}

// Bounds on looking for what a photo not found was meant to be, so that a huge folder or a
// sheet of wrong names costs little: the photos listed, the entries looked at to find them,
// and the photos not found that get suggestions (the report keeps only the first of alike
// findings anyway).
constexpr std::size_t kMaxListedPhotos = 20'000;
constexpr std::size_t kMaxListedEntries = 200'000;
constexpr int kMaxSuggested = 2 * Findings::kMaxAlike;
constexpr std::size_t kNearestNamed = 3;

std::string_view LastName(std::string_view path) {
  return path.substr(path.rfind('/') + 1);
}

std::string_view Stem(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

// "a.jpg", "a.jpg or b.jpg", "a.jpg, b.jpg or c.jpg"
std::string Alternatives(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += i == 0 ? "" : i + 1 == names.size() ? Tr(" or ") : ", ";
    text += Printable(names[i]);
  }
  return text;
}

// The photos a cell that a spreadsheet read as a number stood for: "5" for 05.jpg or 005.png.
std::vector<std::string> AsNumber(const std::string& cell, const std::vector<std::string>& photos) {
  if (cell.empty() || cell.size() > 18 || cell.find_first_not_of("0123456789") != std::string::npos)
    return {};
  const std::string digits = cell.substr(std::min(cell.find_first_not_of('0'), cell.size() - 1));
  std::vector<std::string> found;
  for (const std::string& photo : photos) {
    const std::string_view stem = Stem(LastName(photo));
    const std::size_t zeros = stem.find_first_not_of('0');
    if (stem.size() > cell.size() && zeros != 0 && zeros != std::string_view::npos &&
        stem.substr(zeros) == digits && photo.find('/') == std::string::npos)
      found.push_back(photo);
  }
  return found;
}

// The photos of the cell's name, ignoring case, in folders below the source folder, for a
// cell that names none.
std::vector<std::string> InFolderBelow(const std::string& cell,
                                       const std::vector<std::string>& photos) {
  if (cell.find('/') != std::string::npos) return {};
  const std::string name = AsciiLower(LastName(cell));
  const bool bare = name.find('.') == std::string::npos;  // a name without its extension
  std::vector<std::string> found;
  for (const std::string& photo : photos) {
    const std::string other = AsciiLower(LastName(photo));
    if ((other == name || (bare && AsciiLower(Stem(other)) == name)) &&
        photo.find('/') != std::string::npos)
      found.push_back(photo);
  }
  return found;
}

// The photos whose paths are nearest the cell's, when near enough to be a slip: at most a
// third of the name's letters changed. A name without an extension is compared without them.
std::vector<std::string> Nearest(const std::string& cell, const std::vector<std::string>& photos) {
  const std::string wanted = AsciiLower(cell);
  const bool bare = LastName(cell).find('.') == std::string_view::npos;
  std::size_t best = std::max<std::size_t>(2, wanted.size() / 3);
  std::vector<std::string> nearest;
  for (const std::string& photo : photos) {
    const std::string_view compared =
        bare ? std::string_view(photo).substr(
                   0, photo.size() - LastName(photo).size() + Stem(LastName(photo)).size())
             : std::string_view(photo);
    const std::size_t distance = EditDistance(wanted, AsciiLower(compared), best);
    if (distance > best) continue;
    if (distance < best) nearest.clear();
    best = distance;
    if (nearest.size() < kNearestNamed) nearest.push_back(photo);
  }
  return nearest;
}

}  // namespace

fs::path FolderPath(const std::string& folder) {
  return folder.empty() ? fs::path(".") : fs::path(folder);
}

PhotoLookup::PhotoLookup(const std::string& source, const std::string& sheet, Findings& findings)
    : FSource(source), FSheet(sheet), FFindings(findings) {
  std::error_code error;
  FSourceFolder = fs::canonical(FolderPath(source), error);
}

std::string PhotoLookup::Outside(const std::string& shown, int row) {
  FFindings.Error(FSheet, row,
                  Format(Tr("photo %s lies outside the source folder; a photo must be in it or "
                            "in a folder below it"),
                         {shown}));
  return {};
}

const std::vector<std::string>& PhotoLookup::Photos() {
  if (FPhotos) return *FPhotos;
  FPhotos.emplace();
  const fs::path folder = FolderPath(FSource);
  std::error_code error;
  std::size_t entries = 0;
  for (auto entry = fs::recursive_directory_iterator(
           folder, fs::directory_options::skip_permission_denied, error);
       !error && entry != fs::recursive_directory_iterator() &&
       FPhotos->size() < kMaxListedPhotos && ++entries <= kMaxListedEntries;
       entry.increment(error)) {
    std::error_code ignored;
    const std::string name = entry->path().filename().string();
    if (entry->is_regular_file(ignored) && IsPhotoName(name))
      FPhotos->push_back(entry->path().lexically_relative(folder).generic_string());
  }
  std::sort(FPhotos->begin(), FPhotos->end());
  return *FPhotos;
}

std::string PhotoLookup::NotFound(const std::string& cell, int row) {
  const std::string shown = QuotedName(JoinPath(FSource, cell));
  if (++FMisses > kMaxSuggested) {
    FFindings.Error(FSheet, row, Format(Tr("photo %s not found"), {shown}));
    return {};
  }
  if (const std::vector<std::string> numbers = AsNumber(cell, Photos()); !numbers.empty()) {
    FFindings.Error(
        FSheet, row,
        Format(Tr("photo %s not found: the spreadsheet took the name for the number %s; did you "
                  "mean %s? Format the picture column as text and write the whole name"),
               {shown, cell, Alternatives(numbers)}));
  } else if (const std::vector<std::string> below = InFolderBelow(cell, Photos()); !below.empty()) {
    FFindings.Error(FSheet, row,
                    Format(Tr("photo %s not found: %s is in a folder below; write the name "
                              "with its folder"),
                           {shown, Alternatives(below)}));
  } else if (const std::vector<std::string> nearest = Nearest(cell, Photos()); !nearest.empty()) {
    FFindings.Error(
        FSheet, row,
        Format(Tr("photo %s not found; did you mean %s?"), {shown, Alternatives(nearest)}));
  } else {
    FFindings.Error(FSheet, row, Format(Tr("photo %s not found"), {shown}));
  }
  return {};
}

std::string PhotoLookup::Find(const std::string& cell, int row) {
  const std::string shown = QuotedName(JoinPath(FSource, cell));
  if (LeavesFolder(cell)) return Outside(shown, row);
  std::vector<std::string> photos = FindPhotos(FSource, cell);
  // A sheet drops the blanks at the ends of a cell, so a photo whose name has them is found
  // without them.
  if (photos.empty()) {
    for (const std::string& photo : Photos()) {
      const std::size_t first = photo.find_first_not_of(" \t");
      const std::size_t last = photo.find_last_not_of(" \t");
      if (first != std::string::npos && (first > 0 || last + 1 < photo.size()) &&
          std::string_view(photo).substr(first, last + 1 - first) == cell)
        photos.push_back(JoinPath(FSource, photo));
    }
  }
  if (photos.empty()) {
    std::error_code error;
    if (fs::is_directory(JoinPath(FSource, cell), error)) {
      FFindings.Error(FSheet, row, Format(Tr("photo %s is a folder, not a file"), {shown}));
      return {};
    }
    return NotFound(cell, row);
  }
  if (photos.size() > 1) {
    // Which one was meant cannot be told: taking either could put the wrong flower in.
    FFindings.Error(FSheet, row,
                    // TRANSLATORS: %2$s is a list of file names.
                    Format(Tr("photo %1$s matches %2$s, which differ only in letter case; write "
                              "the name exactly as the photo's file has it"),
                           {shown, NamesOf(photos)}));
    return {};
  }
  std::error_code error;
  const fs::path real = fs::canonical(photos.front(), error);
  if (error || FSourceFolder.empty() || !IsWithin(real, FSourceFolder)) return Outside(shown, row);
  return photos.front();
}

}  // namespace anthora
