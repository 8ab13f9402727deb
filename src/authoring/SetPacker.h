#pragma once

#include <string>

namespace anthora {

// Packs the set in a folder, its ris/ and the photos' credits beside it (CREDITS.md or
// CREDITS.txt), into the set file `output`, within the bounds that unpacking keeps to. The
// file is made in a private folder beside `output` and renamed into place, so nobody ever
// sees half of it, and an existing file is replaced only when allowed. Throws SetFileError
// naming the file and the reason; nothing is left behind then. Returns the number of files.
int PackSetFolder(const std::string& setFolder, const std::string& output, bool replace);

}  // namespace anthora
