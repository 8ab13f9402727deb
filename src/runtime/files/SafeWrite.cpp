#include "runtime/files/SafeWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

constexpr std::size_t kSuffixLength = 6;

std::string Reason(int error) {
  return std::strerror(error);
}

mode_t Umask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// Whether the folder open as `folder` is still the one called `name` in `parent`.
bool StillNamed(int parent, const std::string& name, int folder) {
  struct stat named {};
  struct stat open {};
  return fstatat(parent, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         fstat(folder, &open) == 0 && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

void RemoveFolderEntries(int folder) {
  for (const std::string& entry : FolderEntries(folder)) RemoveEntry(folder, entry);
}

}  // namespace

bool WriteAll(int file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = EIO;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

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

void RemoveEntry(int parent, const std::string& name) {
  if (unlinkat(parent, name.c_str(), 0) == 0 || errno != EISDIR) return;
  const FileHandle inner = OpenFolder(parent, name);
  if (inner) RemoveFolderEntries(inner.Get());
  unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

PrivateFolder::PrivateFolder(int parent, const std::string& prefix, const std::string& shownParent)
    : FParent(parent) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (std::size_t i = 0; i < kSuffixLength; ++i) name += kLetters[pick(device)];
    if (mkdirat(parent, name.c_str(), 0700) != 0) {
      if (errno == EEXIST) continue;
      throw WriteError(shownParent.empty() ? "." : shownParent,
                       Format(Tr("cannot be written: %s"), {Reason(errno)}));
    }
    FileHandle folder = OpenFolder(parent, name);
    // Another process clearing dead folders may have taken this one between its making and the
    // lock; then it is theirs to remove, and another is made.
    if (folder && fchmod(folder.Get(), 0700) == 0 && flock(folder.Get(), LOCK_EX | LOCK_NB) == 0 &&
        StillNamed(parent, name, folder.Get())) {
      FPath = JoinPath(shownParent, name);
      FName = std::move(name);
      FFolder = std::move(folder);
      return;
    }
  }
  throw WriteError(shownParent.empty() ? "." : shownParent,
                   Format(Tr("cannot be written: %s"), {Reason(EEXIST)}));
}

PrivateFolder::~PrivateFolder() {
  Remove();
}

void PrivateFolder::Remove() {
  if (FName.empty()) return;
  // Only what this object made: the folder it holds open, if it still has its name.
  RemoveFolderEntries(FFolder.Get());
  if (StillNamed(FParent, FName, FFolder.Get())) unlinkat(FParent, FName.c_str(), AT_REMOVEDIR);
  FName.clear();
}

void RetireDeadFolders(int parent, const std::string& prefix,
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

std::string Refusal(int parent, const std::string& name, const std::vector<std::string>& markers) {
  struct stat status {};
  if (fstatat(parent, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? std::string() : Format(Tr("cannot be reached: %s"), {Reason(errno)});
  if (markers.empty())
    return S_ISREG(status.st_mode)
               ? std::string()
               : Tr("is there and is not a regular file; only a regular file is ever replaced");
  if (!S_ISDIR(status.st_mode)) return Tr("is not a folder, and only a folder is replaced");
  const FileHandle folder = OpenFolder(parent, name);
  const bool marked = std::any_of(markers.begin(), markers.end(), [&](const std::string& marker) {
    struct stat file {};
    return folder && fstatat(folder.Get(), marker.c_str(), &file, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(file.st_mode);
  });
  if (!marked) {
    std::string names;
    // TRANSLATORS: between the names of files a folder holds none of: "fen.ani or fru.ani".
    for (const std::string& marker : markers) names += (names.empty() ? "" : Tr(" or ")) + marker;
    return Format(Tr("holds no %s, so it is not replaced"), {names});
  }
  if (faccessat(parent, name.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return Format(Tr("cannot be replaced, since its files cannot be removed: %s"), {Reason(errno)});
  return {};
}

bool PutInPlace(int fromFolder, const std::string& from, int toFolder, const std::string& to,
                bool replace, const std::vector<std::string>& markers, const std::string& shown) {
  const char* source = from.c_str();
  const char* target = to.c_str();
  const auto exists = [&] {
    return WriteError(shown, Tr("already exists; add --force to replace it"), true);
  };
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (renameat2(fromFolder, source, toFolder, target, RENAME_NOREPLACE) == 0) return false;
    int error = errno;
    if (error == EINVAL) {
      // A file system without it: a link never replaces, and a plain rename replaces only an
      // empty folder; a replace looks at what it replaces first.
      struct stat made {};
      const bool file =
          fstatat(fromFolder, source, &made, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(made.st_mode);
      if ((file ? linkat(fromFolder, source, toFolder, target, 0)
                : renameat(fromFolder, source, toFolder, target)) == 0) {
        if (file) unlinkat(fromFolder, source, 0);
        return false;
      }
      error = errno == ENOTEMPTY || errno == EISDIR || errno == ENOTDIR ? EEXIST : errno;
      if (error == EEXIST && replace) {
        if (const std::string refusal = Refusal(toFolder, to, markers); !refusal.empty())
          throw WriteError(shown, refusal);
        if (renameat(fromFolder, source, toFolder, target) == 0) return false;
        throw WriteError(shown, Format(Tr("cannot be replaced: %s"), {Reason(errno)}));
      }
    }
    if (error != EEXIST)
      throw WriteError(shown, Format(Tr("cannot be put in place: %s"), {Reason(error)}));
    if (!replace) throw exists();
    if (renameat2(fromFolder, source, toFolder, target, RENAME_EXCHANGE) != 0) {
      if (errno == ENOENT) continue;  // removed meanwhile
      throw WriteError(shown, Format(Tr("cannot be replaced: %s"), {Reason(errno)}));
    }
    // What was in the way now has the name `from`: looked at after the swap, so that what is
    // looked at is what was replaced.
    if (const std::string refusal = Refusal(fromFolder, from, markers); !refusal.empty()) {
      renameat2(fromFolder, source, toFolder, target, RENAME_EXCHANGE);
      throw WriteError(shown, refusal);
    }
    return true;
  }
  throw WriteError(shown, Tr("cannot be put in place: it keeps changing"));
}

namespace {

// Opens the parent folder, making it and the folders above it that are missing.
FileHandle OpenParent(const std::string& named, std::vector<std::filesystem::path>& made,
                      const std::string& shown) {
  const std::filesystem::path parent = named.empty() ? "." : named;
  std::filesystem::path reached;
  for (const std::filesystem::path& part : parent) {
    reached /= part;
    if (mkdir(reached.c_str(), 0777) == 0) {
      made.push_back(reached);
    } else if (errno != EEXIST) {
      throw WriteError(
          shown, Format(Tr("cannot be written: %1$s: %2$s"), {reached.string(), Reason(errno)}));
    }
  }
  FileHandle folder(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder)
    throw WriteError(shown,
                     Format(Tr("cannot be written: %1$s: %2$s"), {parent.string(), Reason(errno)}));
  return folder;
}

// Clears an old folder: the entries the new one replaces are removed, every other entry is
// moved into the folder in place. What cannot be cleared stays in sight, never hidden.
void Retire(int parent, const FolderWrite& request, const std::string& name, int folder,
            std::vector<std::string>& warnings) {
  const FileHandle current = OpenFolder(parent, request.Name);
  for (const std::string& entry : FolderEntries(folder)) {
    struct stat status {};
    if (fstatat(folder, entry.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(status.st_mode) && request.Replaced && request.Replaced(entry)) {
      unlinkat(folder, entry.c_str(), 0);
    } else if (current) {
      renameat2(folder, entry.c_str(), current.Get(), entry.c_str(), RENAME_NOREPLACE);
    }
  }
  if (unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT) return;
  const std::string why = Reason(errno);
  std::string left = name;
  for (int n = 1; n < 100; ++n) {
    const std::string kept = request.Name + ".old" + (n == 1 ? "" : "-" + std::to_string(n));
    if (renameat2(parent, name.c_str(), parent, kept.c_str(), RENAME_NOREPLACE) == 0) {
      left = kept;
      break;
    }
    if (errno != EEXIST) break;
  }
  // TRANSLATORS: %1$s is why, %2$s the folder that holds what is left.
  warnings.push_back(Format(Tr("the old folder could not be cleared (%1$s); what is left of it is "
                               "in %2$s"),
                            {why, JoinPath(request.Parent, left)}));
}

void Fill(int fresh, const NamedFiles& files, const FolderWrite& request,
          const DeferredTermination& signals, const std::string& shown) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    const NamedFile& file = files[i];
    const FileHandle out(openat(fresh, file.Name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out || !WriteAll(out.Get(), file.Bytes) || fsync(out.Get()) != 0)
      throw WriteError(shown,
                       Format(Tr("cannot be written: %1$s: %2$s"), {file.Name, Reason(errno)}));
    if (request.AfterFile) request.AfterFile(i + 1);
    if (signals.Arrived()) throw WriteError(shown, Tr("not written: interrupted"));
  }
  const mode_t mask = Umask();
  for (const NamedFile& file : files) {
    if (fchmodat(fresh, file.Name.c_str(), 0666 & ~mask, 0) != 0)
      throw WriteError(shown,
                       Format(Tr("cannot be written: %1$s: %2$s"), {file.Name, Reason(errno)}));
  }
  if (fchmod(fresh, 0777 & ~mask) != 0 || fsync(fresh) != 0)
    throw WriteError(shown, Format(Tr("cannot be written: %s"), {Reason(errno)}));
}

}  // namespace

std::vector<std::string> WriteFolder(const FolderWrite& request, const NamedFiles& files) {
  const DeferredTermination signals;  // first made, last gone: held until everything is undone
  const std::string shown = JoinPath(request.Parent, request.Name);
  std::vector<std::filesystem::path> made;  // folders made for it, outermost first
  std::vector<std::string> warnings;
  try {
    const FileHandle parent = OpenParent(request.Parent, made, shown);
    const std::string prefix = "." + request.Name + "-new-";
    // A write that was killed left its private folder; one whose writer still runs is locked.
    RetireDeadFolders(parent.Get(), prefix, [&](const std::string& name, int folder) {
      Retire(parent.Get(), request, name, folder, warnings);
    });
    PrivateFolder fresh(parent.Get(), prefix, request.Parent);
    Fill(fresh.Get(), files, request, signals, shown);
    const std::string freshName = fresh.Name();
    const bool swapped = PutInPlace(parent.Get(), freshName, parent.Get(), request.Name,
                                    request.Replace, request.Markers, shown);
    fresh.Forget();
    made.clear();
    if (swapped) {  // the old folder has the fresh one's name
      const FileHandle old = OpenFolder(parent.Get(), freshName);
      if (old && flock(old.Get(), LOCK_EX | LOCK_NB) == 0)
        Retire(parent.Get(), request, freshName, old.Get(), warnings);
    }
    return warnings;
  } catch (const WriteError&) {
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) rmdir(folder->c_str());
    throw;
  }
}

void CheckFolderWrite(const FolderWrite& request) {
  const FileHandle parent(open(request.Parent.empty() ? "." : request.Parent.c_str(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent) return;  // made when written
  struct stat status {};
  if (fstatat(parent.Get(), request.Name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return;
  const std::string shown = JoinPath(request.Parent, request.Name);
  if (!request.Replace)
    throw WriteError(shown, Tr("already exists; add --force to replace it"), true);
  if (const std::string refusal = Refusal(parent.Get(), request.Name, request.Markers);
      !refusal.empty())
    throw WriteError(shown, refusal);
}

AtomicFile::AtomicFile(const std::string& path, bool replace, ReplaceRefusal refuse)
    : FPath(path), FReplace(replace), FRefusal(std::move(refuse)) {
  const std::filesystem::path target(path);
  FName = target.filename().string();
  if (FName.empty() || FName == "." || FName == "..")
    throw WriteError(path, Tr("names a folder, not a file"));
  const std::string parent = target.parent_path().empty() ? "." : target.parent_path().string();
  FParent = FileHandle(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!FParent)
    throw WriteError(path, Format(Tr("cannot be written: %1$s: %2$s"), {parent, Reason(errno)}));
  struct stat status {};
  if (fstatat(FParent.Get(), FName.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
    if (const std::string refusal = Refusal(FParent.Get(), FName, {}); !refusal.empty())
      throw WriteError(path, refusal);
    if (!replace) throw WriteError(path, Tr("already exists; add --force to replace it"), true);
    if (FRefusal) {
      if (const std::string refused = FRefusal(path); !refused.empty())
        throw WriteError(path, refused);
    }
  }
  const std::string prefix = "." + FName + "-part-";
  RetireDeadFolders(FParent.Get(), prefix,
                    [&](const std::string& name, int) { RemoveEntry(FParent.Get(), name); });
  FWork.emplace(FParent.Get(), prefix, target.parent_path().string());
}

FileHandle AtomicFile::Create() const {
  FileHandle file(openat(FWork->Get(), FName.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!file) throw WriteError(FPath, Format(Tr("cannot be created: %s"), {Reason(errno)}));
  return file;
}

void AtomicFile::Commit() {
  if (Interrupted()) throw WriteError(FPath, Tr("not written: interrupted"));
  {
    const FileHandle made(openat(FWork->Get(), FName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!made || fsync(made.Get()) != 0 || fchmod(made.Get(), 0666 & ~Umask()) != 0)
      throw WriteError(FPath, Format(Tr("cannot be written: %s"), {Reason(errno)}));
  }
  // Whatever was swapped out is in the private folder now, and goes with it, unless it may not
  // be replaced: then it is swapped back.
  if (PutInPlace(FWork->Get(), FName, FParent.Get(), FName, FReplace, {}, FPath) && FRefusal) {
    if (const std::string refused = FRefusal(Made()); !refused.empty()) {
      renameat2(FWork->Get(), FName.c_str(), FParent.Get(), FName.c_str(), RENAME_EXCHANGE);
      throw WriteError(FPath, refused);
    }
  }
}

namespace {

// A stream over a descriptor that refuses to write once a termination signal waits.
ssize_t WriteUnlessInterrupted(void* cookie, const char* bytes, std::size_t size) {
  if (AtomicFile::Interrupted()) return 0;
  return WriteAll(*static_cast<int*>(cookie), {bytes, size}) ? static_cast<ssize_t>(size) : -1;
}

}  // namespace

void WriteFileAtomically(const std::string& path, bool replace,
                         const std::function<bool(std::FILE*)>& write) {
  AtomicFile file(path, replace);
  if (AtomicFile::Interrupted()) throw WriteError(path, Tr("not written: interrupted"));
  FileHandle out = file.Create();
  int descriptor = out.Get();
  std::FILE* stream =
      fopencookie(&descriptor, "wb", {nullptr, WriteUnlessInterrupted, nullptr, nullptr});
  errno = 0;
  const bool written =
      stream != nullptr && write(stream) && std::fflush(stream) == 0 && !std::ferror(stream);
  const int error = errno != 0 ? errno : EIO;
  if (stream != nullptr) std::fclose(stream);
  if (AtomicFile::Interrupted()) throw WriteError(path, Tr("not written: interrupted"));
  if (!written) throw WriteError(path, Format(Tr("cannot be written: %s"), {Reason(error)}));
  file.Commit();
}

}  // namespace anthora
