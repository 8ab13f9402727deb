#include "authoring/WorkFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string_view>
#include <vector>

namespace anthora {

namespace {

constexpr std::size_t kSuffixLength = 6;

// Whether the folder open as `folder` is still the one called `name` in `parent`.
bool StillNamed(int parent, const std::string& name, int folder) {
  struct stat named {};
  struct stat open {};
  return fstatat(parent, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         fstat(folder, &open) == 0 && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

void RemoveFolderEntries(int folder) {
  for (const std::string& entry : FolderEntries(folder)) {
    if (unlinkat(folder, entry.c_str(), 0) == 0 || errno != EISDIR) continue;
    const FileHandle inner = OpenFolder(folder, entry);
    if (inner) RemoveFolderEntries(inner.Get());
    unlinkat(folder, entry.c_str(), AT_REMOVEDIR);
  }
}

}  // namespace

std::vector<std::string> FolderEntries(int folder) {
  std::vector<std::string> names;
  const int own = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (own < 0) return names;
  DIR* listing = fdopendir(own);
  if (!listing) {
    close(own);
    return names;
  }
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  closedir(listing);
  return names;
}

FileHandle OpenFolder(int parent, const std::string& name) {
  return FileHandle(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

std::optional<WorkFolder> MakeWorkFolder(int parent, const std::string& prefix) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (std::size_t i = 0; i < kSuffixLength; ++i) name += kLetters[pick(device)];
    if (mkdirat(parent, name.c_str(), 0700) != 0) {
      if (errno == EEXIST) continue;
      return std::nullopt;
    }
    FileHandle folder = OpenFolder(parent, name);
    // Another write clearing dead folders may have taken this one between its making and the
    // lock; then it is theirs to remove, and another is made.
    if (folder && fchmod(folder.Get(), 0700) == 0 && flock(folder.Get(), LOCK_EX | LOCK_NB) == 0 &&
        StillNamed(parent, name, folder.Get()))
      return WorkFolder{std::move(name), std::move(folder)};
  }
  errno = EEXIST;
  return std::nullopt;
}

void RetireDeadWorkFolders(int parent, const std::string& prefix,
                           const std::function<void(const std::string& name, int folder)>& retire) {
  for (const std::string& name : FolderEntries(parent)) {
    if (name.size() != prefix.size() + kSuffixLength || !name.starts_with(prefix)) continue;
    struct stat status {};
    if (fstatat(parent, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(status.st_mode) || status.st_uid != geteuid())
      continue;
    const FileHandle folder = OpenFolder(parent, name);
    if (folder && flock(folder.Get(), LOCK_EX | LOCK_NB) == 0 &&
        StillNamed(parent, name, folder.Get()))
      retire(name, folder.Get());
  }
}

void RemoveWorkFolder(int parent, const std::string& name) {
  const FileHandle folder = OpenFolder(parent, name);
  if (folder) RemoveFolderEntries(folder.Get());
  unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

}  // namespace anthora
