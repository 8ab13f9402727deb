#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/posix/DeferredTermination.h"
#include "quiz/SetArchive.h"

namespace anthora {

class RunFolder;

// A question set named on the command line, as the folder that holds its ris/: the folder
// itself, the ris/ folder (a folder named ris holding the set files), or a set file unpacked
// into a private run folder that lives as long as this object. While a set file is open,
// termination signals wait (see Signals()) so that its folder never outlives the program.
class OpenedSet {
 public:
  // What a folder must hold: a set, or anything, for a checker that reports what is missing.
  enum class Need { Set, Anything };

  // An empty argument is the current folder, taken as it is. Throws SetFileError
  // naming the argument and what was looked for when it holds no set that is needed.
  // A set file may be named in reports by another name (`shownAs`): the name it will have.
  explicit OpenedSet(const std::string& argument, Need need = Need::Set,
                     const std::string& shownAs = {});
  OpenedSet(const OpenedSet&) = delete;
  OpenedSet& operator=(const OpenedSet&) = delete;
  ~OpenedSet();

  const std::string& Folder() const { return FFolder; }  // empty: the current folder
  // How reports name the folder: the argument, or for a set file, its name.
  const std::string& Shown() const { return FShown; }
  // Whether the set is a set file, unpacked.
  bool IsSetFile() const { return FUnpacked != nullptr; }
  // A set file's signals; nothing for a folder.
  DeferredTermination* Signals() { return FSignals ? &*FSignals : nullptr; }

 private:
  std::optional<DeferredTermination> FSignals;  // made first, so it goes last
  std::unique_ptr<RunFolder> FUnpacked;
  std::string FFolder;
  std::string FShown;
};

}  // namespace anthora
