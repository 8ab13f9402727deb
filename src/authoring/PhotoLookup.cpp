#include "authoring/PhotoLookup.h"

#include <algorithm>
#include <string_view>
#include <system_error>
#include <vector>

#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Files.h"

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
    for (const char* extension : {".jpg", ".jpeg", ".png"}) {
      found = FindFilesIgnoringCase(path + extension);
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
                  shown +
                      " lies outside the source folder; a photo must be in it or in a folder "
                      "below it");
  return {};
}

std::string PhotoLookup::Find(const std::string& cell, int row) {
  const std::string shown = "photo " + QuotedName(JoinPath(FSource, cell));
  if (LeavesFolder(cell)) return Outside(shown, row);
  const std::vector<std::string> photos = FindPhotos(FSource, cell);
  if (photos.empty()) {
    std::error_code error;
    if (fs::is_directory(JoinPath(FSource, cell), error))
      FFindings.Error(
          FSheet, row,
          Format(Tr("photo %s is a folder, not a file"), {QuotedName(JoinPath(FSource, cell))}));
    else
      FFindings.Error(FSheet, row, shown + " not found");
    return {};
  }
  if (photos.size() > 1) {
    // Which one was meant cannot be told: taking either could put the wrong flower in.
    FFindings.Error(FSheet, row,
                    shown + " matches " + NamesOf(photos) +
                        ", which differ only in letter case; write the name exactly as the "
                        "photo's file has it");
    return {};
  }
  std::error_code error;
  const fs::path real = fs::canonical(photos.front(), error);
  if (error || FSourceFolder.empty() || !IsWithin(real, FSourceFolder)) return Outside(shown, row);
  return photos.front();
}

}  // namespace anthora
