#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "runtime/files/FileHandle.h"

namespace anthora {

// The system's words for an errno value.
std::string SystemReason(int code);

// A system call that failed: its errno, the call's name and the name it was given.
struct SystemError {
  int Code = 0;
  const char* Call = "";
  std::string Path;
  // The system's words for the code.
  std::string Reason() const { return SystemReason(Code); }
};

// What a wrapped system call gives back: its value, or how it failed. Nothing is thrown.
template <typename T>
class [[nodiscard]] ErrorOr {
 public:
  ErrorOr(T value) : FValue(std::move(value)) {}
  ErrorOr(SystemError error) : FValue(std::move(error)) {}
  explicit operator bool() const { return FValue.index() == 0; }
  T& Value() { return std::get<0>(FValue); }
  const T& Value() const { return std::get<0>(FValue); }
  const SystemError& Error() const { return std::get<1>(FValue); }
  int Code() const { return *this ? 0 : Error().Code; }

 private:
  std::variant<T, SystemError> FValue;
};

struct Done {};
using Status = ErrorOr<Done>;

// Each system call the files layer makes, once, going on after a signal interrupts it. A name
// is relative to the open folder before it, or to the current folder for kHere.
namespace sys {

inline constexpr int kHere = -100;  // AT_FDCWD

ErrorOr<FileHandle> Open(int folder, const std::string& name, int flags, mode_t mode = 0);
// A folder opened without following a link.
ErrorOr<FileHandle> OpenFolder(int folder, const std::string& name);
// What the name is, the link itself for a link.
ErrorOr<struct stat> StatAt(int folder, const std::string& name);
ErrorOr<struct stat> Stat(int file);
Status MakeFolder(int folder, const std::string& name, mode_t mode);
// unlinkat: AT_REMOVEDIR in flags for a folder.
Status Remove(int folder, const std::string& name, int flags = 0);
// renameat2: RENAME_NOREPLACE or RENAME_EXCHANGE in flags, 0 for a plain rename.
Status Rename(int fromFolder, const std::string& from, int toFolder, const std::string& to,
              unsigned flags);
Status Link(int fromFolder, const std::string& from, int toFolder, const std::string& to);
Status ChangeMode(int file, mode_t mode);
Status ChangeModeAt(int folder, const std::string& name, mode_t mode);
// Whether this process may do `mode` (W_OK, X_OK...) to the name, by its effective ids.
Status Access(int folder, const std::string& name, int mode);
// An exclusive lock taken without waiting.
Status LockExclusive(int file);
Status Sync(int file);
// Writes all the bytes.
Status WriteAll(int file, std::string_view bytes);
// The names in an open folder, "." and ".." aside.
ErrorOr<std::vector<std::string>> Entries(int folder);

}  // namespace sys

// Whether two statuses name the same file.
inline bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace anthora
