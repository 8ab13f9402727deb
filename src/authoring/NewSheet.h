#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/Findings.h"
#include "sheet/SheetWriter.h"

namespace anthora {

// The name a new sheet gets unless another is asked for.
inline constexpr std::string_view kNewSheetName = "questions.ods";

// The photos in SOURCE and its folders, JPEG and PNG by their extension in any letter case, as
// paths relative to SOURCE with "/" between folders, sorted. Hidden files and folders are left
// out, and so is a photo whose name a sheet cannot hold (not UTF-8, or with a control
// character or a noncharacter), with a warning; so is a folder below SOURCE that cannot be
// read, with a warning that names it.
std::vector<std::string> PhotosForSheet(const std::string& source, Findings& findings);

// The rows of a new sheet: the header row naming every column, then one row per photo with only
// its picture cell filled; with no photos, one example row.
SheetCells NewSheetRows(const std::vector<std::string>& photos);

// The note beside the questions of a new sheet, in the user's language: only the names are
// needed, the program chooses the wrong answers.
SheetCells NewSheetNote();

// What WriteNewSheet wrote: the path, empty when nothing, and the number of photos named.
struct NewSheet {
  std::string Path;
  std::size_t Photos = 0;
};

// A small JPEG picture of each photo in SOURCE that can be read, in the rows of NewSheetRows, for
// the archive forms to show beside the photos' names; the square the set shows when the crop is
// left as it is. A photo that cannot be read gets none, and the pictures stop before their bytes
// pass the bound, so that a sheet of thousands of photos stays small enough to be read.
inline constexpr std::size_t kMaxNewSheetPictureBytes = std::size_t{8} << 20;
std::vector<SheetPicture> NewSheetPictures(const std::string& source,
                                           const std::vector<std::string>& photos,
                                           std::size_t maxBytes = kMaxNewSheetPictureBytes);

// Writes SOURCE/NAME, in the form its extension gives, with NewSheetRows of the photos in SOURCE
// and, where the form has room for them, NewSheetPictures and NewSheetNote on a sheet of its own,
// making SOURCE when it does not exist. Never writes over a sheet: when SOURCE has one in any of
// its forms, or a file appears in its place meanwhile, that is an error and nothing is written.
NewSheet WriteNewSheet(const std::string& source, const std::string& name, Findings& findings);

}  // namespace anthora
