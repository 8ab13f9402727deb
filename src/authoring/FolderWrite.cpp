#include "authoring/FolderWrite.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

#include "authoring/WorkFolder.h"
#include "platform/posix/DeferredTermination.h"

namespace anthora {

namespace {

constexpr std::string_view kFreshInfix = "-new-";

std::string Reason(int error) {
  return std::strerror(error);
}

// Why the entry `name` of the open parent may not be replaced: it must be a folder that holds
// one of the markers and whose entries can be removed. Empty when it may.
std::string Refusal(int parent, const std::string& name, const std::vector<std::string>& markers) {
  struct stat status {};
  if (fstatat(parent, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? std::string() : "cannot be reached: " + Reason(errno);
  if (!S_ISDIR(status.st_mode)) return "is not a folder, and only a folder is replaced";
  const FileHandle folder = OpenFolder(parent, name);
  const bool marked = std::any_of(markers.begin(), markers.end(), [&](const std::string& marker) {
    struct stat file {};
    return folder && fstatat(folder.Get(), marker.c_str(), &file, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(file.st_mode);
  });
  if (!marked) {
    std::string names;
    for (const std::string& marker : markers) names += (names.empty() ? "" : " or ") + marker;
    return "holds no " + names + ", so it is not replaced";
  }
  if (faccessat(parent, name.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return "cannot be replaced, since its files cannot be removed: " + Reason(errno);
  return {};
}

class Transaction {
 public:
  Transaction(const FolderWrite& request, Findings& findings)
      : FRequest(request),
        FShownName(JoinPath(request.Parent, request.Name)),
        FFindings(findings) {}
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool Run(const NamedFiles& files) {
    if (!OpenParent()) return Undo();
    ClearLeftovers();
    if (!MakeFresh() || !Fill(files) || FSignals.Arrived() || !Commit()) return Undo();
    return true;
  }

 private:
  void Error(std::string text) { FFindings.Error(FShownName, 0, std::move(text)); }

  // Opens the parent folder, making it and the folders above it that are missing.
  bool OpenParent() {
    const std::filesystem::path parent = FRequest.Parent.empty() ? "." : FRequest.Parent;
    std::filesystem::path reached;
    for (const std::filesystem::path& part : parent) {
      reached /= part;
      if (mkdir(reached.c_str(), 0777) == 0) {
        FMadeFolders.push_back(reached);
      } else if (errno != EEXIST) {
        Error("cannot be written: " + reached.string() + ": " + Reason(errno));
        return false;
      }
    }
    FParent = FileHandle(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!FParent) Error("cannot be written: " + parent.string() + ": " + Reason(errno));
    return bool(FParent);
  }

  std::string FreshPrefix() const { return "." + FRequest.Name + std::string(kFreshInfix); }

  // A write that was killed left its private folder; one whose writer still runs is locked.
  void ClearLeftovers() {
    RetireDeadWorkFolders(FParent.Get(), FreshPrefix(),
                          [this](const std::string& name, int folder) { Retire(name, folder); });
  }

  // Clears an old folder: the entries the new one replaces are removed, every other entry is
  // moved into the folder in place. What cannot be cleared stays in sight, never hidden.
  void Retire(const std::string& name, int folder) {
    const FileHandle current = OpenFolder(FParent.Get(), FRequest.Name);
    for (const std::string& entry : FolderEntries(folder)) {
      struct stat status {};
      if (fstatat(folder, entry.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (S_ISREG(status.st_mode) && FRequest.Replaced && FRequest.Replaced(entry)) {
        unlinkat(folder, entry.c_str(), 0);
      } else if (current) {
        renameat2(folder, entry.c_str(), current.Get(), entry.c_str(), RENAME_NOREPLACE);
      }
    }
    if (unlinkat(FParent.Get(), name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT) return;
    const std::string why = Reason(errno);
    for (int n = 1; n < 100; ++n) {
      const std::string kept = FRequest.Name + ".old" + (n == 1 ? "" : "-" + std::to_string(n));
      if (renameat2(FParent.Get(), name.c_str(), FParent.Get(), kept.c_str(), RENAME_NOREPLACE) ==
          0) {
        FFindings.Warning(FShownName, 0,
                          "the old folder could not be cleared (" + why +
                              "); what is left of it is in " + JoinPath(FRequest.Parent, kept));
        return;
      }
      if (errno != EEXIST) break;
    }
    FFindings.Warning(FShownName, 0,
                      "the old folder could not be cleared (" + why +
                          "); what is left of it is in " + JoinPath(FRequest.Parent, name));
  }

  // A private folder beside the destination, locked for as long as this write runs.
  bool MakeFresh() {
    std::optional<WorkFolder> fresh = MakeWorkFolder(FParent.Get(), FreshPrefix());
    if (!fresh) {
      Error("cannot be written: " + Reason(errno));
      return false;
    }
    FFreshName = std::move(fresh->Name);
    FFresh = std::move(fresh->Folder);
    return true;
  }

  bool Fill(const NamedFiles& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (!WriteFile(files[i])) return false;
      if (FRequest.AfterFile) FRequest.AfterFile(i + 1);
      if (FSignals.Arrived()) return false;
    }
    const mode_t mask = umask(0);
    umask(mask);
    for (const NamedFile& file : files) {
      if (fchmodat(FFresh.Get(), file.Name.c_str(), 0666 & ~mask, 0) != 0) {
        Error("cannot be written: " + file.Name + ": " + Reason(errno));
        return false;
      }
    }
    if (fchmod(FFresh.Get(), 0777 & ~mask) != 0 || fsync(FFresh.Get()) != 0) {
      Error("cannot be written: " + Reason(errno));
      return false;
    }
    return true;
  }

  bool WriteFile(const NamedFile& file) {
    const FileHandle out(openat(FFresh.Get(), file.Name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    std::string_view rest = file.Bytes;
    while (out && !rest.empty()) {
      const ssize_t written = write(out.Get(), rest.data(), rest.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) break;
      rest.remove_prefix(static_cast<std::size_t>(written));
    }
    if (out && rest.empty() && fsync(out.Get()) == 0) return true;
    Error("cannot be written: " + file.Name + ": " + Reason(errno));
    return false;
  }

  // Puts the fresh folder in place: beside nothing, or in an old folder's place, swapped with it
  // in one step so that the name never stands empty.
  bool Commit() {
    const int parent = FParent.Get();
    const char* fresh = FFreshName.c_str();
    const char* name = FRequest.Name.c_str();
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (renameat2(parent, fresh, parent, name, RENAME_NOREPLACE) == 0) return Committed();
      int error = errno;
      if (error ==
          EINVAL) {  // a file system without it: a plain rename replaces only an empty folder
        if (renameat(parent, fresh, parent, name) == 0) return Committed();
        error = errno == ENOTEMPTY || errno == EISDIR || errno == ENOTDIR ? EEXIST : errno;
      }
      if (error != EEXIST) {
        Error("cannot be put in place: " + Reason(error));
        return false;
      }
      if (!FRequest.Replace) {
        Error("already exists; add --force to replace it");
        return false;
      }
      if (renameat2(parent, fresh, parent, name, RENAME_EXCHANGE) != 0) {
        if (errno == ENOENT) continue;  // removed meanwhile
        Error("cannot be replaced: " + Reason(errno));
        return false;
      }
      // The old folder now has the fresh one's name; the new one is in place.
      if (const std::string refusal = Refusal(parent, FFreshName, FRequest.Markers);
          !refusal.empty()) {
        renameat2(parent, fresh, parent, name, RENAME_EXCHANGE);
        Error(refusal);
        return false;
      }
      const std::string oldName = FFreshName;
      Committed();
      const FileHandle old = OpenFolder(parent, oldName);
      if (old && flock(old.Get(), LOCK_EX | LOCK_NB) == 0) Retire(oldName, old.Get());
      return true;
    }
    Error("cannot be put in place: it keeps changing");
    return false;
  }

  bool Committed() {
    FFreshName.clear();
    FMadeFolders.clear();
    return true;
  }

  // Removes what this write made; false, for the caller to return.
  bool Undo() {
    if (!FFreshName.empty()) {
      for (const std::string& entry : FolderEntries(FFresh.Get()))
        unlinkat(FFresh.Get(), entry.c_str(), 0);
      unlinkat(FParent.Get(), FFreshName.c_str(), AT_REMOVEDIR);
    }
    FParent = FileHandle();
    for (auto made = FMadeFolders.rbegin(); made != FMadeFolders.rend(); ++made)
      rmdir(made->c_str());
    if (FSignals.Arrived() && FFindings.Count(Finding::Level::Error) == 0)
      Error("not written: the build was interrupted");
    return false;
  }

  const DeferredTermination FSignals;  // first made, last gone: held until everything is undone
  const FolderWrite& FRequest;
  const std::string FShownName;
  Findings& FFindings;
  FileHandle FParent;
  std::vector<std::filesystem::path> FMadeFolders;  // outermost first
  std::string FFreshName;                           // while it is this write's to remove
  FileHandle FFresh;
};

}  // namespace

bool WriteFolder(const FolderWrite& request, const NamedFiles& files, Findings& findings) {
  return Transaction(request, findings).Run(files);
}

bool CanWriteFolder(const FolderWrite& request, Findings& findings) {
  const FileHandle parent(open(request.Parent.empty() ? "." : request.Parent.c_str(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent) return true;  // made when written
  struct stat status {};
  if (fstatat(parent.Get(), request.Name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return true;
  const std::string shown = JoinPath(request.Parent, request.Name);
  if (!request.Replace) {
    findings.Error(shown, 0, "already exists; add --force to replace it");
    return false;
  }
  const std::string refusal = Refusal(parent.Get(), request.Name, request.Markers);
  if (!refusal.empty()) findings.Error(shown, 0, refusal);
  return refusal.empty();
}

}  // namespace anthora
