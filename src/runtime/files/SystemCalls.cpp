#include "runtime/files/SystemCalls.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace anthora {

std::string SystemReason(int code) {
  return std::strerror(code);
}

namespace sys {

namespace {

// Runs a call until a signal no longer interrupts it; the failure with errno and the name.
template <typename Call>
Status Checked(const char* name, const std::string& path, Call call) {
  int result;
  do result = call();
  while (result < 0 && errno == EINTR);
  if (result < 0) return SystemError{errno, name, path};
  return Done{};
}

ErrorOr<struct stat> StatOf(const char* call, const std::string& path, int result,
                            const struct stat& status) {
  if (result != 0) return SystemError{errno, call, path};
  return status;
}

}  // namespace

ErrorOr<FileHandle> Open(int folder, const std::string& name, int flags, mode_t mode) {
  int descriptor;
  do descriptor = openat(folder, name.c_str(), flags | O_CLOEXEC, mode);
  while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) return SystemError{errno, "openat", name};
  return FileHandle(descriptor);
}

ErrorOr<FileHandle> OpenFolder(int folder, const std::string& name) {
  return Open(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
}

ErrorOr<struct stat> StatAt(int folder, const std::string& name) {
  struct stat status {};
  return StatOf("fstatat", name, fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW),
                status);
}

ErrorOr<struct stat> Stat(int file) {
  struct stat status {};
  return StatOf("fstat", {}, fstat(file, &status), status);
}

Status MakeFolder(int folder, const std::string& name, mode_t mode) {
  return Checked("mkdirat", name, [&] { return mkdirat(folder, name.c_str(), mode); });
}

Status Remove(int folder, const std::string& name, int flags) {
  return Checked("unlinkat", name, [&] { return unlinkat(folder, name.c_str(), flags); });
}

Status Rename(int fromFolder, const std::string& from, int toFolder, const std::string& to,
              unsigned flags) {
  return Checked("renameat2", to,
                 [&] { return renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), flags); });
}

Status Link(int fromFolder, const std::string& from, int toFolder, const std::string& to) {
  return Checked("linkat", to,
                 [&] { return linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0); });
}

Status ChangeMode(int file, mode_t mode) {
  return Checked("fchmod", {}, [&] { return fchmod(file, mode); });
}

Status ChangeModeAt(int folder, const std::string& name, mode_t mode) {
  return Checked("fchmodat", name, [&] { return fchmodat(folder, name.c_str(), mode, 0); });
}

Status Access(int folder, const std::string& name, int mode) {
  return Checked("faccessat", name,
                 [&] { return faccessat(folder, name.c_str(), mode, AT_EACCESS); });
}

Status LockExclusive(int file) {
  return Checked("flock", {}, [&] { return flock(file, LOCK_EX | LOCK_NB); });
}

Status Sync(int file) {
  return Checked("fsync", {}, [&] { return fsync(file); });
}

Status WriteAll(int file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = EIO;
    if (written <= 0) return SystemError{errno, "write", {}};
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return Done{};
}

ErrorOr<std::vector<std::string>> Entries(int folder) {
  ErrorOr<FileHandle> own = Open(folder, ".", O_RDONLY | O_DIRECTORY);
  if (!own) return own.Error();
  DIR* listing = fdopendir(own.Value().Get());
  if (!listing) return SystemError{errno, "fdopendir", {}};
  own.Value().Release();
  std::vector<std::string> names;
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  closedir(listing);
  return names;
}

}  // namespace sys

}  // namespace anthora
