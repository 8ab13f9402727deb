#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/files/FileHandle.h"

namespace anthora {

// The names in an open folder, "." and ".." aside.
std::vector<std::string> FolderEntries(int folder);

// A folder opened without following a link.
FileHandle OpenFolder(int parent, const std::string& name);

// A write's private folder beside its destination, named PREFIX and six random characters,
// mode 0700 and locked for as long as the write runs: a folder of that name whose lock can be
// taken belongs to a write that was killed.
struct WorkFolder {
  std::string Name;
  FileHandle Folder;  // holds the lock
};

// Makes a work folder in the open parent; nothing, with errno set, when none can be made.
std::optional<WorkFolder> MakeWorkFolder(int parent, const std::string& prefix);

// Hands each work folder of this user in the open parent whose write was killed to `retire`,
// locked, to be cleared; those of writes still running are left alone.
void RetireDeadWorkFolders(int parent, const std::string& prefix,
                           const std::function<void(const std::string& name, int folder)>& retire);

// Removes a work folder with everything in it, links removed and never followed.
void RemoveWorkFolder(int parent, const std::string& name);

}  // namespace anthora
