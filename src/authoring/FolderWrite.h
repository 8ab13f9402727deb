#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/Findings.h"
#include "authoring/NamedFile.h"

namespace anthora {

// Where and how a folder of files is put in place.
struct FolderWrite {
  std::string Parent;  // as the user named it; empty for the current folder; made when missing
  std::string Name;    // the folder made in Parent
  bool Replace = false;
  // An old folder is replaced only when it holds one of these files.
  std::vector<std::string> Markers;
  // The entries of an old folder that the new one replaces; every other entry is kept and moved
  // into the new folder.
  std::function<bool(std::string_view name)> Replaced;
  // Called after each file is written, with the number written so far.
  std::function<void(std::size_t written)> AfterFile;
};

// Writes the files as Parent/Name, all or nothing:
// - they are made in a private folder beside it (mode 0700, each file created exclusively and
//   never through a link), and get the modes the umask gives only when all are in;
// - one rename puts the folder in place; it never replaces anything unless Replace is set, and
//   then swaps with the old folder atomically before the old set is removed;
// - SIGINT, SIGTERM and SIGHUP wait until the write can be undone, which it then is, and the
//   signal takes its usual course;
// - what an earlier write that was killed left beside it is cleared first, while a write that
//   is still running is left alone;
// - folders made for it are removed again when it fails.
// Problems go into the findings under Parent/Name; false when nothing was put in place.
bool WriteFolder(const FolderWrite& request, const NamedFiles& files, Findings& findings);

// The check WriteFolder makes before it puts the folder in place, for callers that want to
// refuse before doing any work: whether Parent/Name is absent, or may be replaced.
bool CanWriteFolder(const FolderWrite& request, Findings& findings);

}  // namespace anthora
