#pragma once

#include <optional>
#include <string>

#include "runtime/files/SafeWrite.h"

namespace anthora {

// The private folder that a set file is unpacked into for one run of the program, in the first
// of $XDG_RUNTIME_DIR, $TMPDIR and /tmp that other users cannot tamper with, else in a folder
// of the user's own. It is locked while the run lives and removed when it ends, also when the
// program ends through exit(). A folder passed over is named on standard error, with the
// reason. Throws WriteError when there is nowhere to make it.
class RunFolder {
 public:
  RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  ~RunFolder();

  const std::string& Path() const { return FFolder->Path(); }
  int Get() const { return FFolder->Get(); }

 private:
  std::string FParentPath;
  FileHandle FParent;
  std::optional<PrivateFolder> FFolder;
};

// Where run folders are made, opened, with its path; the folders passed over before it, each
// with the reason, in `passedOver`. Throws WriteError naming them when none is fit.
FileHandle OpenRunFolderParent(std::string& path, std::string& passedOver);

// Removes the run folders whose run ended without removing them (a crash), and leaves those of
// runs still going alone.
void RemoveAbandonedRunFolders();

}  // namespace anthora
