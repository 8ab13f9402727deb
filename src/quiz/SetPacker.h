#pragma once

#include <string>

namespace anthora {

class AtomicFile;

// Packs the set in a folder, its ris/ and the photos' credits beside it (CREDITS.md or
// CREDITS.txt), into the file that `output` makes, within the bounds that unpacking keeps to,
// for the caller to commit. A symbolic link in the set, a file that cannot be read or changes
// while it is packed, and an output inside the set are refused. Throws SetFileError naming
// the file and the reason; it stops as soon as a termination signal waits. Returns the number
// of files.
int PackSetFolder(const std::string& setFolder, const AtomicFile& output);

}  // namespace anthora
