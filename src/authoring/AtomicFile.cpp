#include "authoring/AtomicFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace anthora {

namespace {

std::string Refusal(const struct stat& status) {
  return S_ISREG(status.st_mode)
             ? std::string()
             : "is there and is not a regular file; only a regular file is ever replaced";
}

// A stream over a descriptor that refuses to write once a termination signal waits.
ssize_t WriteUnlessInterrupted(void* cookie, const char* bytes, std::size_t size) {
  const int descriptor = *static_cast<int*>(cookie);
  if (AtomicFile::Interrupted()) return 0;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t written = write(descriptor, bytes + done, size - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    done += static_cast<std::size_t>(written);
  }
  return static_cast<ssize_t>(done);
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path, bool replace) : FPath(path), FReplace(replace) {
  const std::filesystem::path target(path);
  FName = target.filename().string();
  if (FName.empty() || FName == "." || FName == "..") Fail("names a folder, not a file", 0);
  const std::string parent = target.parent_path().empty() ? "." : target.parent_path().string();
  FParent = FileHandle(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!FParent) Fail("cannot be written: " + parent, errno);
  struct stat status {};
  if (fstatat(FParent.Get(), FName.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
    if (const std::string refusal = Refusal(status); !refusal.empty()) Fail(refusal, 0);
    if (!replace) throw FileExistsError(path + ": already exists; add --force to replace it");
  }
  const std::string prefix = "." + FName + "-part-";
  RetireDeadWorkFolders(FParent.Get(), prefix, [&](const std::string& name, int) {
    RemoveWorkFolder(FParent.Get(), name);
  });
  FWork = MakeWorkFolder(FParent.Get(), prefix);
  if (!FWork) Fail("cannot be written", errno);
  FFolder = (target.parent_path() / FWork->Name).string();
}

AtomicFile::~AtomicFile() {
  if (FWork) RemoveWorkFolder(FParent.Get(), FWork->Name);
}

void AtomicFile::Fail(const std::string& what, int error) const {
  throw std::runtime_error(FPath + ": " + what +
                           (error != 0 ? ": " + std::string(std::strerror(error)) : ""));
}

void AtomicFile::Commit() {
  if (Interrupted()) Fail("not written: interrupted", 0);
  const int work = FWork->Folder.Get();
  const int parent = FParent.Get();
  {
    const FileHandle made(openat(work, FName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    const mode_t mask = umask(0);
    umask(mask);
    if (!made || fsync(made.Get()) != 0 || fchmod(made.Get(), 0666 & ~mask) != 0)
      Fail("cannot be written", errno);
  }
  if (renameat2(work, FName.c_str(), parent, FName.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno == EINVAL) return CommitWithoutSwap();  // a file system without it
  if (errno != EEXIST) Fail("cannot be put in place", errno);
  if (!FReplace) throw FileExistsError(FPath + ": already exists; add --force to replace it");
  // Swapped in one step, so that the name never stands empty; what it named is looked at after
  // the swap, and put back unless it is a regular file.
  if (renameat2(work, FName.c_str(), parent, FName.c_str(), RENAME_EXCHANGE) != 0)
    Fail("cannot be replaced", errno);
  struct stat old {};
  const std::string refusal = fstatat(work, FName.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0
                                  ? Refusal(old)
                                  : std::string("changed while it was written");
  if (refusal.empty()) return;
  renameat2(work, FName.c_str(), parent, FName.c_str(), RENAME_EXCHANGE);
  Fail(refusal, 0);
}

// A link that fails on an existing name puts the file in place without replacing; a replace
// looks at what it replaces first.
void AtomicFile::CommitWithoutSwap() {
  const int work = FWork->Folder.Get();
  const int parent = FParent.Get();
  if (linkat(work, FName.c_str(), parent, FName.c_str(), 0) == 0) return;
  if (errno != EEXIST) Fail("cannot be put in place", errno);
  if (!FReplace) throw FileExistsError(FPath + ": already exists; add --force to replace it");
  struct stat old {};
  if (fstatat(parent, FName.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0)
    if (const std::string refusal = Refusal(old); !refusal.empty()) Fail(refusal, 0);
  if (renameat(work, FName.c_str(), parent, FName.c_str()) != 0) Fail("cannot be replaced", errno);
}

void WriteFileAtomically(const std::string& path, bool replace,
                         const std::function<bool(std::FILE*)>& write) {
  AtomicFile file(path, replace);
  if (AtomicFile::Interrupted()) throw std::runtime_error(path + ": not written: interrupted");
  int descriptor =
      open(file.Made().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0)
    throw std::runtime_error(path + ": cannot be created: " + std::strerror(errno));
  std::FILE* stream =
      fopencookie(&descriptor, "wb", {nullptr, WriteUnlessInterrupted, nullptr, nullptr});
  errno = 0;
  const bool written =
      stream != nullptr && write(stream) && std::fflush(stream) == 0 && !std::ferror(stream);
  const int error = errno != 0 ? errno : EIO;
  if (stream != nullptr) std::fclose(stream);
  close(descriptor);
  if (AtomicFile::Interrupted()) throw std::runtime_error(path + ": not written: interrupted");
  if (!written) throw std::runtime_error(path + ": cannot be written: " + std::strerror(error));
  file.Commit();
}

}  // namespace anthora
