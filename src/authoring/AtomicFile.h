#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "authoring/WorkFolder.h"
#include "platform/posix/DeferredTermination.h"

namespace anthora {

// The path names a file already, and replacing it was not allowed.
class FileExistsError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// One file written as one step. It is made in a private folder beside its path (see
// WorkFolder, named .NAME-part-XXXXXX; those of writes that were killed are cleared first) and
// renamed into place by Commit(), so the path holds either nothing new or the whole new file.
// Only a regular file is ever replaced, and only when allowed. SIGINT, SIGTERM and SIGHUP are
// held while it lives: the work asks Interrupted() between its steps, Commit() refuses once
// one came, and the signal takes its course when the object goes, after what it made is gone.
// Throws FileExistsError, or std::runtime_error naming the path and what went wrong.
class AtomicFile {
 public:
  AtomicFile(const std::string& path, bool replace);
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();

  const std::string& Path() const { return FPath; }
  // A folder only this write uses, for files made on the way.
  const std::string& Folder() const { return FFolder; }
  // Where the file is made, under its own name; absent until the work makes it.
  std::string Made() const { return FFolder + '/' + FName; }
  static bool Interrupted() { return DeferredTermination::Pending(); }
  // Puts Made() in place with the modes the umask gives.
  void Commit();

 private:
  void CommitWithoutSwap();
  [[noreturn]] void Fail(const std::string& what, int error) const;

  const DeferredTermination FSignals;  // first made, last gone
  const std::string FPath;
  const bool FReplace;
  std::string FName;
  FileHandle FParent;
  std::optional<WorkFolder> FWork;
  std::string FFolder;
};

// Writes a file through AtomicFile with a stream whose writes fail once a termination signal
// is waiting, so that a long write stops at once.
void WriteFileAtomically(const std::string& path, bool replace,
                         const std::function<bool(std::FILE*)>& write);

}  // namespace anthora
