#include "runtime/Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace anthora {

bool IsPlainPath(std::string_view path) {
  return !path.empty() && path.find('\0') == std::string_view::npos;
}

bool FileExists(std::string_view path) {
  if (!IsPlainPath(path)) return false;
  struct stat status {};
  return stat(std::string(path).c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

int OpenForSharedReading(std::string_view path, int& error) {
  const int handle = open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (handle < 0) {
    error = errno;
    return -1;
  }
  struct stat status {};
  error = 0;
  if (fstat(handle, &status) != 0) {
    error = errno;
  } else if (S_ISDIR(status.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(status.st_mode)) {
    error = kNotRegularFile;
  } else if (flock(handle, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    error = EWOULDBLOCK;
  }
  if (error != 0) {
    ::close(handle);
    return -1;
  }
  fcntl(handle, F_SETFL, fcntl(handle, F_GETFL) & ~O_NONBLOCK);
  return handle;
}

}  // namespace anthora
