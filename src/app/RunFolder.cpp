#include "app/RunFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

constexpr char kPrefix[] = "anthora-set-";

// Why the folder may not hold run folders, or empty when it may: another user who can write
// in it could take the place of a run folder with a link of theirs, unless the sticky bit
// keeps them to their own entries.
std::string Unfit(int folder) {
  struct stat status {};
  if (fstat(folder, &status) != 0) return std::strerror(errno);
  if (status.st_uid != geteuid() && status.st_uid != 0) return Tr("it belongs to another user");
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (status.st_mode & S_ISVTX) == 0)
    return Tr("other users can write in it and it is not sticky");
  if (faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) != 0) return std::strerror(errno);
  return {};
}

// The user's own folder for run folders, made when missing: $XDG_CACHE_HOME/anthora, else
// ~/.cache/anthora.
std::string OwnFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  std::string folder = cache != nullptr && cache[0] == '/' ? cache
                       : home != nullptr && home[0] == '/' ? std::string(home) + "/.cache"
                                                           : std::string();
  if (folder.empty()) return {};
  mkdir(folder.c_str(), 0700);
  folder += "/anthora";
  mkdir(folder.c_str(), 0700);
  return folder;
}

// The run folder of this process while it lives, for the exit hook: a program that ends
// through exit() (as a lost display connection makes it) does not unwind to its destructor.
PrivateFolder* gLive = nullptr;
pid_t gLiveOwner = 0;

void RemoveLiveRunFolder() {
  if (gLive != nullptr && getpid() == gLiveOwner) gLive->Remove();  // not a child's
}

}  // namespace

FileHandle OpenRunFolderParent(std::string& path, std::string& passedOver) {
  std::vector<std::pair<std::string, std::string>> candidates;  // what names it, the folder
  for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0')
      candidates.emplace_back(std::string("$") + variable + " (" + value + ")", value);
  }
  candidates.emplace_back("/tmp", "/tmp");
  passedOver.clear();
  bool ownTried = false;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const auto& [named, folder] = candidates[i];
    std::string why = Tr("it is not an absolute path");
    if (folder.front() == '/') {
      FileHandle opened(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
      why = opened ? Unfit(opened.Get()) : std::strerror(errno);
      if (why.empty()) {
        path = folder;
        return opened;
      }
    }
    passedOver += (passedOver.empty() ? "" : "; ") + named + ": " + why;
    // The user's own folder is made, and tried once, only when every other one is unfit.
    if (i + 1 == candidates.size() && !ownTried) {
      ownTried = true;
      if (std::string own = OwnFolder(); !own.empty()) candidates.emplace_back(own, own);
    }
  }
  throw WriteError(Tr("no folder to unpack a set file in"), passedOver);
}

void RemoveAbandonedRunFolders() {
  try {
    std::string path;
    std::string passedOver;
    const FileHandle parent = OpenRunFolderParent(path, passedOver);
    RetireDeadFolders(parent.Get(), kPrefix,
                      [&](const std::string& name, int) { RemoveEntry(parent.Get(), name); });
  } catch (const WriteError&) {
    // nowhere to look; a set file cannot be opened either, and that says why
  }
}

RunFolder::RunFolder() {
  std::string passedOver;
  FParent = OpenRunFolderParent(FParentPath, passedOver);
  if (!passedOver.empty())
    // TRANSLATORS: %1$s is the folder used, %2$s the folders passed over and why.
    std::fprintf(
        stderr, "anthora: %s\n",
        Format(Tr("the set file is unpacked in %1$s, not in %2$s"), {FParentPath, passedOver})
            .c_str());
  FFolder.emplace(FParent.Get(), kPrefix, FParentPath);
  static const bool hooked = std::atexit(RemoveLiveRunFolder) == 0;
  (void)hooked;
  gLive = &*FFolder;
  gLiveOwner = getpid();
}

RunFolder::~RunFolder() {
  if (gLive == &*FFolder) gLive = nullptr;
}

}  // namespace anthora
