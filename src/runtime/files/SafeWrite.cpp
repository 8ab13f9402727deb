// Sections: checked calls and refusals; putting an entry in place; the write loop and folder
// entries; private folders; writing a folder; one file as one step (AtomicFile); streams.
#include "runtime/files/SafeWrite.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <utility>

#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Paths.h"

namespace anthora {

namespace {

constexpr std::size_t kSuffixLength = 6;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;

mode_t Umask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// The call's value, or a WriteError naming `shown` with the call's reason in the pattern's
// words ("cannot be written: %s").
template <typename T>
T Must(ErrorOr<T> result, const std::string& shown, const char* pattern) {
  if (!result) throw WriteError(shown, Format(pattern, {result.Error().Reason()}));
  return std::move(result.Value());
}

// The same, with the name of the file or folder that failed before the reason.
template <typename T>
T Must(ErrorOr<T> result, const std::string& shown, const std::string& name) {
  if (!result)
    throw WriteError(shown,
                     Format(Tr("cannot be written: %1$s: %2$s"), {name, result.Error().Reason()}));
  return std::move(result.Value());
}

// Whether the folder open as `folder` is still the one called `name` in `parent`.
bool StillNamed(int parent, const std::string& name, int folder) {
  const ErrorOr<struct stat> named = sys::StatAt(parent, name);
  const ErrorOr<struct stat> open = sys::Stat(folder);
  return named && open && SameFile(named.Value(), open.Value());
}

void RemoveFolderEntries(int folder) {
  for (const std::string& entry : FolderEntries(folder)) RemoveEntry(folder, entry);
}

// Why the entry `name` of the open parent may not be replaced; empty when it may. Without
// markers only a regular file is replaced; with them only a folder that holds one of them and
// whose entries can be removed.
std::string Refusal(int parent, const std::string& name, const std::vector<std::string>& markers) {
  const ErrorOr<struct stat> status = sys::StatAt(parent, name);
  if (!status)
    return status.Code() == ENOENT ? std::string()
                                   : Format(Tr("cannot be reached: %s"), {status.Error().Reason()});
  if (markers.empty())
    return S_ISREG(status.Value().st_mode)
               ? std::string()
               : Tr("is there and is not a regular file; only a regular file is ever replaced");
  if (!S_ISDIR(status.Value().st_mode)) return Tr("is not a folder, and only a folder is replaced");
  const FileHandle folder = OpenFolder(parent, name);
  const bool marked = std::any_of(markers.begin(), markers.end(), [&](const std::string& marker) {
    const ErrorOr<struct stat> file = sys::StatAt(folder.Get(), marker);
    return folder && file && S_ISREG(file.Value().st_mode);
  });
  if (!marked) {
    std::string names;
    // TRANSLATORS: between the names of files a folder holds none of: "fen.ani or fru.ani".
    for (const std::string& marker : markers) names += (names.empty() ? "" : Tr(" or ")) + marker;
    return Format(Tr("holds no %s, so it is not replaced"), {names});
  }
  if (const Status access = sys::Access(parent, name, W_OK | X_OK); !access)
    return Format(Tr("cannot be replaced, since its files cannot be removed: %s"),
                  {access.Error().Reason()});
  return {};
}

// Why the regular file `to` that is there may not be replaced, asked of the very file looked at
// (through its descriptor where the system shows descriptors as paths, so that a file put in
// its place meanwhile is not what is asked about; else by its path as shown); empty when it
// may. Sets `seen` to what was looked at.
std::string FileRefusal(int toFolder, const std::string& to, const ReplaceRefusal& refusal,
                        const std::string& shown, struct stat& seen) {
  const ErrorOr<FileHandle> old = sys::Open(toFolder, to, O_PATH | O_NOFOLLOW);
  if (!old) return Refusal(toFolder, to, {});
  const ErrorOr<struct stat> status = sys::Stat(old.Value().Get());
  if (!status) return Format(Tr("cannot be reached: %s"), {status.Error().Reason()});
  seen = status.Value();
  if (!S_ISREG(seen.st_mode))
    return Tr("is there and is not a regular file; only a regular file is ever replaced");
  if (!refusal) return {};
  const std::string handle = "/proc/self/fd/" + std::to_string(old.Value().Get());
  return refusal(sys::Access(sys::kHere, handle, F_OK) ? handle : shown);
}

// Puts the entry `from` of the open folder `fromFolder` in place as `to` in `toFolder` in one
// step. Without `replace` it never replaces anything. With it, a regular file in the way is
// looked at first and replaced by one rename, so that the name never stands empty and a file
// monitor sees one file change; a folder in the way is swapped with the new one atomically, then
// looked at, and swapped back when Refusal refuses it. True when a folder was swapped out: it
// now has the name `from`. Throws WriteError naming `shown`.
bool PutInPlace(int fromFolder, const std::string& from, int toFolder, const std::string& to,
                bool replace, const std::vector<std::string>& markers, const std::string& shown,
                const ReplaceRefusal& refusal = {}) {
  const auto exists = [&] {
    return WriteError(shown, Tr("already exists; add --force to replace it"), true);
  };
  for (int attempt = 0; attempt < 3; ++attempt) {
    Status renamed = sys::Rename(fromFolder, from, toFolder, to, RENAME_NOREPLACE);
    if (renamed) return false;
    int error = renamed.Code();
    if (error == EINVAL) {
      // A file system without it: a link never replaces, and a plain rename replaces only an
      // empty folder; a replace looks at what it replaces first.
      const ErrorOr<struct stat> made = sys::StatAt(fromFolder, from);
      const bool file = made && S_ISREG(made.Value().st_mode);
      renamed = file ? sys::Link(fromFolder, from, toFolder, to)
                     : sys::Rename(fromFolder, from, toFolder, to, 0);
      if (renamed) {
        if (file) (void)sys::Remove(fromFolder, from);
        return false;
      }
      error = renamed.Code();
      if (error == ENOTEMPTY || error == EISDIR || error == ENOTDIR) error = EEXIST;
      if (error == EEXIST && replace && !markers.empty()) {
        if (const std::string refused = Refusal(toFolder, to, markers); !refused.empty())
          throw WriteError(shown, refused);
        Must(sys::Rename(fromFolder, from, toFolder, to, 0), shown, Tr("cannot be replaced: %s"));
        return false;
      }
    }
    if (error != EEXIST)
      throw WriteError(shown, Format(Tr("cannot be put in place: %s"), {SystemReason(error)}));
    if (!replace) throw exists();
    if (markers.empty()) {
      struct stat seen {};
      if (const std::string refused = FileRefusal(toFolder, to, refusal, shown, seen);
          !refused.empty())
        throw WriteError(shown, refused);
      // Renamed over only while the file looked at is still there. A file put in its place in
      // the moment between this last look and the rename would be replaced unseen: no call
      // renames on condition of what a name holds, and an exchange, which could look after,
      // shows file monitors a pair of moves that they drop from view.
      const ErrorOr<struct stat> now = sys::StatAt(toFolder, to);
      if (!now || !SameFile(now.Value(), seen)) continue;
      Must(sys::Rename(fromFolder, from, toFolder, to, 0), shown, Tr("cannot be replaced: %s"));
      return false;
    }
    const Status exchanged = sys::Rename(fromFolder, from, toFolder, to, RENAME_EXCHANGE);
    if (!exchanged && exchanged.Code() == ENOENT) continue;  // removed meanwhile
    Must(exchanged, shown, Tr("cannot be replaced: %s"));
    // What was in the way now has the name `from`: looked at after the swap, so that what is
    // looked at is what was replaced.
    if (const std::string refused = Refusal(fromFolder, from, markers); !refused.empty()) {
      (void)sys::Rename(fromFolder, from, toFolder, to, RENAME_EXCHANGE);
      throw WriteError(shown, refused);
    }
    return true;
  }
  throw WriteError(shown, Tr("cannot be put in place: it keeps changing"));
}

}  // namespace

bool WriteAll(int file, std::string_view bytes) {
  return static_cast<bool>(sys::WriteAll(file, bytes));
}

std::vector<std::string> FolderEntries(int folder) {
  ErrorOr<std::vector<std::string>> names = sys::Entries(folder);
  return names ? std::move(names.Value()) : std::vector<std::string>();
}

FileHandle OpenFolder(int parent, const std::string& name) {
  ErrorOr<FileHandle> folder = sys::OpenFolder(parent, name);
  return folder ? std::move(folder.Value()) : FileHandle();
}

void RemoveEntry(int parent, const std::string& name) {
  const Status removed = sys::Remove(parent, name);
  if (removed || removed.Code() != EISDIR) return;
  const FileHandle inner = OpenFolder(parent, name);
  if (inner) RemoveFolderEntries(inner.Get());
  (void)sys::Remove(parent, name, AT_REMOVEDIR);
}

PrivateFolder::PrivateFolder(int parent, const std::string& prefix, const std::string& shownParent)
    : FParent(parent) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const std::string shown = shownParent.empty() ? "." : shownParent;
  std::random_device device;
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (std::size_t i = 0; i < kSuffixLength; ++i) name += kLetters[pick(device)];
    const Status made = sys::MakeFolder(parent, name, 0700);
    if (!made && made.Code() == EEXIST) continue;
    Must(made, shown, Tr("cannot be written: %s"));
    FileHandle folder = OpenFolder(parent, name);
    // Another process clearing dead folders may have taken this one between its making and the
    // lock; then it is theirs to remove, and another is made.
    if (folder && sys::ChangeMode(folder.Get(), 0700) && sys::LockExclusive(folder.Get()) &&
        StillNamed(parent, name, folder.Get())) {
      FPath = JoinPath(shownParent, name);
      FName = std::move(name);
      FFolder = std::move(folder);
      return;
    }
  }
  throw WriteError(shown, Format(Tr("cannot be written: %s"), {SystemReason(EEXIST)}));
}

PrivateFolder::~PrivateFolder() {
  Remove();
}

void PrivateFolder::Remove() {
  if (FName.empty()) return;
  // Only what this object made: the folder it holds open, if it still has its name.
  RemoveFolderEntries(FFolder.Get());
  if (StillNamed(FParent, FName, FFolder.Get())) (void)sys::Remove(FParent, FName, AT_REMOVEDIR);
  FName.clear();
}

void RetireDeadFolders(int parent, const std::string& prefix,
                       const std::function<void(const std::string& name, int folder)>& retire) {
  for (const std::string& name : FolderEntries(parent)) {
    if (name.size() != prefix.size() + kSuffixLength || !name.starts_with(prefix)) continue;
    const ErrorOr<struct stat> status = sys::StatAt(parent, name);
    if (!status || !S_ISDIR(status.Value().st_mode) || status.Value().st_uid != geteuid()) continue;
    const FileHandle folder = OpenFolder(parent, name);
    if (folder && sys::LockExclusive(folder.Get()) && StillNamed(parent, name, folder.Get()))
      retire(name, folder.Get());
  }
}

namespace {

// Opens the parent folder, making it and the folders above it that are missing.
FileHandle OpenParent(const std::string& named, std::vector<std::filesystem::path>& made,
                      const std::string& shown) {
  const std::filesystem::path parent = named.empty() ? "." : named;
  std::filesystem::path reached;
  for (const std::filesystem::path& part : parent) {
    reached /= part;
    const Status folder = sys::MakeFolder(sys::kHere, reached.string(), 0777);
    if (folder) {
      made.push_back(reached);
    } else if (folder.Code() != EEXIST) {
      Must(folder, shown, reached.string());
    }
  }
  return Must(sys::Open(sys::kHere, parent.string(), O_RDONLY | O_DIRECTORY), shown,
              parent.string());
}

// Clears an old folder: the entries the new one replaces are removed, every other entry is
// moved into the folder in place. What cannot be cleared stays in sight, never hidden.
void Retire(int parent, const FolderWrite& request, const std::string& name, int folder,
            std::vector<std::string>& warnings) {
  const FileHandle current = OpenFolder(parent, request.Name);
  for (const std::string& entry : FolderEntries(folder)) {
    const ErrorOr<struct stat> status = sys::StatAt(folder, entry);
    if (!status) continue;
    if (S_ISREG(status.Value().st_mode) && request.Replaced && request.Replaced(entry)) {
      (void)sys::Remove(folder, entry);
    } else if (current) {
      (void)sys::Rename(folder, entry, current.Get(), entry, RENAME_NOREPLACE);
    }
  }
  const Status removed = sys::Remove(parent, name, AT_REMOVEDIR);
  if (removed || removed.Code() == ENOENT) return;
  std::string left = name;
  for (int n = 1; n < 100; ++n) {
    const std::string kept = request.Name + ".old" + (n == 1 ? "" : "-" + std::to_string(n));
    const Status renamed = sys::Rename(parent, name, parent, kept, RENAME_NOREPLACE);
    if (renamed) left = kept;
    if (renamed.Code() != EEXIST) break;
  }
  // TRANSLATORS: %1$s is why, %2$s the folder that holds what is left.
  warnings.push_back(Format(Tr("the old folder could not be cleared (%1$s); what is left of it is "
                               "in %2$s"),
                            {removed.Error().Reason(), JoinPath(request.Parent, left)}));
}

void Fill(int fresh, const NamedFiles& files, const FolderWrite& request,
          const DeferredTermination& signals, const std::string& shown) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    const NamedFile& file = files[i];
    const FileHandle out = Must(sys::Open(fresh, file.Name, kCreateFlags, 0600), shown, file.Name);
    Must(sys::WriteAll(out.Get(), file.Bytes), shown, file.Name);
    Must(sys::Sync(out.Get()), shown, file.Name);
    if (request.AfterFile) request.AfterFile(i + 1);
    if (signals.Arrived()) throw WriteError(shown, Tr("not written: interrupted"));
  }
  const mode_t mask = Umask();
  for (const NamedFile& file : files)
    Must(sys::ChangeModeAt(fresh, file.Name, 0666 & ~mask), shown, file.Name);
  Must(sys::ChangeMode(fresh, 0777 & ~mask), shown, Tr("cannot be written: %s"));
  Must(sys::Sync(fresh), shown, Tr("cannot be written: %s"));
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
      if (old && sys::LockExclusive(old.Get()))
        Retire(parent.Get(), request, freshName, old.Get(), warnings);
    }
    return warnings;
  } catch (const WriteError&) {
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
      (void)sys::Remove(sys::kHere, folder->string(), AT_REMOVEDIR);
    throw;
  }
}

void CheckFolderWrite(const FolderWrite& request) {
  const ErrorOr<FileHandle> parent =
      sys::Open(sys::kHere, request.Parent.empty() ? "." : request.Parent, O_RDONLY | O_DIRECTORY);
  if (!parent) return;  // made when written
  if (!sys::StatAt(parent.Value().Get(), request.Name)) return;
  const std::string shown = JoinPath(request.Parent, request.Name);
  if (!request.Replace)
    throw WriteError(shown, Tr("already exists; add --force to replace it"), true);
  if (const std::string refusal = Refusal(parent.Value().Get(), request.Name, request.Markers);
      !refusal.empty())
    throw WriteError(shown, refusal);
}

AtomicFile::AtomicFile(const std::string& path, bool replace, ReplaceRefusal refuse)
    : FPath(path), FReplace(replace), FRefusal(std::move(refuse)) {
  const PathParts parts = SplitPath(path);
  FName = parts.Name;
  if (FName.empty() || FName == "." || FName == "..")
    throw WriteError(path, Tr("names a folder, not a file"));
  const std::string parent = parts.Folder.empty() ? "." : parts.Folder;
  FParent = Must(sys::Open(sys::kHere, parent, O_RDONLY | O_DIRECTORY), path, parent);
  if (sys::StatAt(FParent.Get(), FName)) {
    if (const std::string refusal = Refusal(FParent.Get(), FName, {}); !refusal.empty())
      throw WriteError(path, refusal);
    if (!replace) throw WriteError(path, Tr("already exists; add --force to replace it"), true);
    if (FRefusal) {
      if (const std::string refused = FRefusal(path); !refused.empty())
        throw WriteError(path, refused);
    }
  }
  RetireDeadFolders(FParent.Get(), PartPrefix(FName),
                    [&](const std::string& dead, int) { RemoveEntry(FParent.Get(), dead); });
  FWork.emplace(FParent.Get(), PartPrefix(FName), parts.Folder);
}

std::string AtomicFile::PartPrefix(const std::string& name) {
  return "." + name + "-part-";
}

void AtomicFile::ClearDeadWrites(const std::string& path) {
  const PathParts parts = SplitPath(path);
  const ErrorOr<FileHandle> folder =
      sys::Open(sys::kHere, parts.Folder.empty() ? "." : parts.Folder, O_RDONLY | O_DIRECTORY);
  if (!folder) return;
  const int parent = folder.Value().Get();
  RetireDeadFolders(parent, PartPrefix(parts.Name),
                    [&](const std::string& dead, int) { RemoveEntry(parent, dead); });
}

FileHandle AtomicFile::Create() const {
  return Must(sys::Open(FWork->Get(), FName, kCreateFlags, 0600), FPath,
              Tr("cannot be created: %s"));
}

void AtomicFile::Commit() {
  if (Interrupted()) throw WriteError(FPath, Tr("not written: interrupted"));
  {
    const FileHandle made = Must(sys::Open(FWork->Get(), FName, O_RDONLY | O_NOFOLLOW), FPath,
                                 Tr("cannot be written: %s"));
    Must(sys::Sync(made.Get()), FPath, Tr("cannot be written: %s"));
    Must(sys::ChangeMode(made.Get(), 0666 & ~Umask()), FPath, Tr("cannot be written: %s"));
  }
  PutInPlace(FWork->Get(), FName, FParent.Get(), FName, FReplace, {}, FPath, FRefusal);
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
  if (!written) throw WriteError(path, Format(Tr("cannot be written: %s"), {SystemReason(error)}));
  file.Commit();
}

}  // namespace anthora
