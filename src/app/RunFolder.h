#pragma once

#include <string>

#include "runtime/files/PrivateFolder.h"

namespace anthora {

// The private folder that a set file is unpacked into for one run of the program, under
// $XDG_RUNTIME_DIR, else the temporary folder. It is locked while the run lives and removed
// when it ends.
class RunFolder {
 public:
  RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  ~RunFolder();

  const std::string& Path() const { return FFolder.Path(); }

 private:
  PrivateFolder FFolder;
  int FLock = -1;  // held shut while the run lives
};

// Where run folders are made.
std::string RunFolderParent();

// Removes the run folders under the parent whose run ended without removing them (a crash),
// and leaves those of runs still going alone.
void RemoveAbandonedRunFolders(const std::string& parent);

}  // namespace anthora
