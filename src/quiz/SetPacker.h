#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace anthora {

class AtomicFile;

// Packs the set in a folder, its ris/ and the photos' credits beside it (CREDITS.md or
// CREDITS.txt), into the file that `output` makes, within the bounds that unpacking keeps to,
// for the caller to commit. A symbolic link in the set, a file that cannot be read or changes
// while it is packed, and an output inside the set are refused. Throws SetFileError naming
// the file and the reason; it stops as soon as a termination signal waits. Returns the number
// of files. With `entryTime` every entry is dated then, so that the same set packs to the same
// bytes; else each file keeps its own time.
int PackSetFolder(const std::string& setFolder, const AtomicFile& output,
                  std::optional<std::time_t> entryTime = std::nullopt);

}  // namespace anthora
