#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/DeferredTermination.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/FileHandle.h"
#include "runtime/files/SystemCalls.h"

namespace anthora {

// Every file this program writes is made the same way: in a private folder, each file created
// exclusively and never through a link, relative to the folder's descriptor; then put in place
// by one rename that replaces nothing unless allowed. SIGINT, SIGTERM and SIGHUP are held while
// a write runs; what it made is removed before the signal takes its usual course.

// A write that failed or was refused: the path as the user named it, and the reason.
class WriteError : public ERefusal {
 public:
  WriteError(const std::string& path, const std::string& reason, bool exists = false)
      : ERefusal(path + ": " + reason), FPath(path), FReason(reason), FExists(exists) {}
  const std::string& Path() const { return FPath; }
  const std::string& Reason() const { return FReason; }
  // The path names something already, and replacing it was not allowed.
  bool Exists() const { return FExists; }

 private:
  std::string FPath;
  std::string FReason;
  bool FExists;
};

// Writes all the bytes, going on after a signal interrupts the write; false with errno set.
bool WriteAll(int file, std::string_view bytes);

// The names in an open folder, "." and ".." aside.
std::vector<std::string> FolderEntries(int folder);

// A folder opened without following a link.
FileHandle OpenFolder(int parent, const std::string& name);

// A folder only this process uses, made in an open parent, named PREFIX and six random
// characters, mode 0700 and locked for as long as the object lives: a folder of that name whose
// lock can be taken belongs to a process that was killed. Removed with everything in it when
// the object goes, unless it was put in place. Throws WriteError naming `shownParent`.
class PrivateFolder {
 public:
  PrivateFolder(int parent, const std::string& prefix, const std::string& shownParent);
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder();

  const std::string& Name() const { return FName; }
  // The folder's path: its parent as shown, and its name.
  const std::string& Path() const { return FPath; }
  int Get() const { return FFolder.Get(); }
  // Removes the folder now, if it is still ours and still where it was made.
  void Remove();
  // The folder was put in place under another name: it is no longer this object's to remove.
  void Forget() { FName.clear(); }

 private:
  int FParent;
  std::string FName;
  std::string FPath;
  FileHandle FFolder;  // holds the lock
};

// Hands each private folder of this user in the open parent whose process was killed to
// `retire`, locked, to be cleared; those of processes still running are left alone.
void RetireDeadFolders(int parent, const std::string& prefix,
                       const std::function<void(const std::string& name, int folder)>& retire);

// Removes an entry of an open folder with everything in it, links removed and never followed.
void RemoveEntry(int parent, const std::string& name);

// A file made in memory, to be written into a folder or packed into an archive.
struct NamedFile {
  std::string Name;  // a plain file name, no folder
  std::string Bytes;
};
using NamedFiles = std::vector<NamedFile>;

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

// Writes the files as Parent/Name, all or nothing, in a private folder .NAME-new-XXXXXX beside
// it that gets the modes the umask gives only when all files are in. An old folder is swapped
// out and cleared: the files the new one replaces are removed, the others moved into it. What a
// killed write left beside it is cleared first; folders made for it go again when it fails.
// Throws WriteError naming Parent/Name; returns warnings about an old folder that could not be
// cleared.
std::vector<std::string> WriteFolder(const FolderWrite& request, const NamedFiles& files);

// The check WriteFolder makes before it puts the folder in place, for callers that want to
// refuse before doing any work. Throws WriteError.
void CheckFolderWrite(const FolderWrite& request);

// One file written as one step. It is made in a private folder beside its path (named
// .NAME-part-XXXXXX; those of writes that were killed are cleared first) and renamed into place
// by Commit(), so the path holds either nothing new or the whole new file. Only a regular file
// is ever replaced, and only when allowed, by one rename over it; `refusal`, when given, says
// why the regular file at the path it is handed may not be replaced (empty when it may), and is
// asked before the work and again, of the file then there, just before the commit. Throws
// WriteError.
using ReplaceRefusal = std::function<std::string(const std::string& path)>;
class AtomicFile {
 public:
  AtomicFile(const std::string& path, bool replace, ReplaceRefusal refusal = {});
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& Path() const { return FPath; }
  // A folder only this write uses, for files made on the way.
  const std::string& Folder() const { return FWork->Path(); }
  // Where the file is made, under its own name; absent until the work makes it.
  std::string Made() const { return Folder() + '/' + FName; }
  // Creates Made() for writing, exclusively and never through a link.
  FileHandle Create() const;
  static bool Interrupted() { return DeferredTermination::Pending(); }
  // Puts Made() in place with the modes the umask gives.
  void Commit();
  // Clears what killed writes of the file at the path left beside it.
  static void ClearDeadWrites(const std::string& path);

 private:
  const DeferredTermination FSignals;  // first made, last gone
  const std::string FPath;
  const bool FReplace;
  const ReplaceRefusal FRefusal;
  std::string FName;
  FileHandle FParent;
  std::optional<PrivateFolder> FWork;

  static std::string PartPrefix(const std::string& name);
};

// Writes a file through AtomicFile with a stream whose writes fail once a termination signal
// is waiting, so that a long write stops at once.
void WriteFileAtomically(const std::string& path, bool replace,
                         const std::function<bool(std::FILE*)>& write);

}  // namespace anthora
