#include "runtime/files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "platform/Utf8.h"
#include "runtime/base/Cp1251.h"

namespace anthora {

bool IsPlainPath(std::string_view path) {
  return !path.empty() && path.find('\0') == std::string_view::npos;
}

bool FileExists(std::string_view path) {
  if (!IsPlainPath(path)) return false;
  struct stat status {};
  return stat(std::string(path).c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

namespace {

// A name with letter case folded away. A name that is not well-formed UTF-8 folds only its
// ASCII letters, so that two different malformed names never fold alike.
std::u32string FoldedName(std::string_view name) {
  std::u32string folded = DecodeUtf8(name);
  if (folded.find(U'\uFFFD') != std::u32string::npos &&
      name.find("\xEF\xBF\xBD") == std::string_view::npos) {
    folded.assign(name.begin(), name.end());
    for (char32_t& c : folded) c = static_cast<unsigned char>(c);
  }
  for (char32_t& c : folded) c = cp1251::ToLower(c);
  return folded;
}

}  // namespace

std::string FindFileIgnoringCase(std::string_view path) {
  if (FileExists(path)) return std::string(path);
  if (!IsPlainPath(path)) return {};
  // The folder as written, up to and with its last "/"; empty for the current one.
  const std::string_view folder = path.substr(0, path.rfind('/') + 1);
  const std::u32string wanted = FoldedName(path.substr(folder.size()));

  const std::string listed = folder.empty() ? std::string(".") : std::string(folder);
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(listed.c_str()), closedir);
  if (!listing) return {};
  std::string best;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string_view candidate = entry->d_name;
    if (!best.empty() && candidate >= best) continue;
    if (FoldedName(candidate) != wanted) continue;
    if (FileExists(std::string(folder) += candidate)) best = candidate;
  }
  if (best.empty()) return {};
  return std::string(folder) += best;
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
