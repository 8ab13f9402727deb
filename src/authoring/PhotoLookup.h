#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "runtime/base/Findings.h"

namespace anthora {

// A folder as the file system takes it: the current one when none is named.
std::filesystem::path FolderPath(const std::string& folder);

// Finds the photos a sheet's picture cells name in its source folder.
class PhotoLookup {
 public:
  // Problems are reported at the sheet's rows.
  PhotoLookup(const std::string& source, const std::string& sheet, Findings& findings);

  // The photo a picture cell names, in SOURCE or below it: the file of that exact name, or the
  // one file whose name differs only in letter case or in accents stored apart from their
  // letters, or in blanks at its ends; a name without an extension finds a photo file of that
  // name (JPEG first, then PNG, HEIC, HEIF and WebP). Empty, with the error at the row, when
  // there is none, more than one, or it lies outside the folder. The error for a photo not found
  // names what was likely meant: the photo of the same name in a folder below, the photo whose
  // name a spreadsheet turned into a number ("5" for 05.jpg), or the photos whose names are
  // nearest.
  std::string Find(const std::string& cell, int row);

  // The photos in the source folder and below, as paths from it, in order, listed the first
  // time they are asked for.
  const std::vector<std::string>& Photos();

 private:
  std::string Outside(const std::string& shown, int row);
  std::string NotFound(const std::string& cell, int row);

  const std::string& FSource;
  const std::string& FSheet;
  Findings& FFindings;
  std::filesystem::path FSourceFolder;  // resolved, links and all; empty when it cannot be
  std::optional<std::vector<std::string>> FPhotos;
  int FMisses = 0;  // photos not found so far
};

}  // namespace anthora
