#include "runtime/base/System.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/MonotonicClock.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

int displayBitsPerPixel = 32;
const Clock* systemClock = nullptr;

// The folder with every link resolved; empty when it is not there.
std::string RealFolder(const std::string& folder) {
  char* resolved = realpath(folder.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string real = resolved;
  std::free(resolved);
  return real;
}

}  // namespace

int DisplayBitsPerPixel() {
  return displayBitsPerPixel;
}

void SetDisplayBitsPerPixel(int bitsPerPixel) {
  displayBitsPerPixel = bitsPerPixel;
}

const Clock& SystemClock() {
  static const MonotonicClock monotonic;
  return systemClock ? *systemClock : monotonic;
}

void SetSystemClock(const Clock* clock) {
  systemClock = clock;
}

std::string ProgramPath() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return path;
}

std::string UntrustedFolder(const std::string& folder, const std::string& programFolder) {
  std::string path = RealFolder(folder);
  if (path.empty()) return {};
  const std::string top = RealFolder(programFolder);
  for (;;) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return std::strerror(errno);
    if (status.st_uid != 0 && status.st_uid != geteuid())
      return Format(Tr("%s belongs to another user"), {QuotedName(path)});
    // A group's write counts unless the group is the user's own, as each user's is by default.
    const bool groupWrites = (status.st_mode & S_IWGRP) != 0 && status.st_gid != getegid();
    if (groupWrites || (status.st_mode & S_IWOTH) != 0)
      return Format(Tr("other users can write in %s"), {QuotedName(path)});
    if (path == "/" || path == top || top.starts_with(path + "/")) return {};
    path.erase(std::max<std::size_t>(path.rfind('/'), 1));
  }
}

}  // namespace anthora
