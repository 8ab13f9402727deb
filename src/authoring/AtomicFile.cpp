#include "authoring/AtomicFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/posix/DeferredTermination.h"

namespace anthora {

namespace {

std::string Failed(const std::string& path, const char* what, int error) {
  return path + ": " + what + ": " + std::strerror(error);
}

}  // namespace

void WriteFileAtomically(const std::string& path, bool replace,
                         const std::function<bool(std::FILE*)>& write) {
  const DeferredTermination deferred;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = folder + "." + name + "-XXXXXX";
  const int handle = mkstemp(temporary.data());  // private: 0600, created exclusively
  if (handle < 0) throw std::runtime_error(Failed(path, "cannot be created", errno));
  std::FILE* file = fdopen(handle, "wb");
  const auto remove = [&] {
    if (file) {
      std::fclose(file);
    } else {
      close(handle);
    }
    unlink(temporary.c_str());
  };
  const auto discard = [&](const std::string& why) {
    remove();
    throw std::runtime_error(why);
  };
  if (!file) discard(Failed(path, "cannot be created", errno));
  if (!write(file) || std::fflush(file) != 0 || fsync(handle) != 0)
    discard(Failed(path, "cannot be written", errno != 0 ? errno : EIO));

  // The modes a new file gets from the umask, as any other program's new file would.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(handle, 0666 & ~mask);
  const int renamed =
      replace ? rename(temporary.c_str(), path.c_str())
              : renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
  if (renamed != 0) {
    const int error = errno;
    if (error != EEXIST) discard(Failed(path, "cannot be put in place", error));
    remove();
    throw FileExistsError(path + ": exists already");
  }
  std::fclose(file);
}

}  // namespace anthora
